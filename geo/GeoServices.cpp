// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/GeoServices.h"

#include "geo/Countries.h"
#include "geo/CountryTables.h"
#include "util/Collation.h"

#include <algorithm>
#include <QFile>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcGeo, "ostrel.geo")

// Resources of a static library are registered only when something refers to them.
static void initOutlineResource() {
    Q_INIT_RESOURCE(geo_outlines);
}

GeoServices& GeoServices::sharedServices() {
    static GeoServices services;
    return services;
}

GeoServices::GeoServices() {
    setupLookupTable();
}

void GeoServices::setupLookupTable() {
    const QStringList codes = countries::isoCountryCodes();
    lookupTable_.reserve(codes.size());
    for (const QString& code : codes)
        lookupTable_.insert(code, {});
    hasEmojis_ = false;
}

bool GeoServices::isValidCountryCode(QStringView code) const {
    const auto rows = countries::nativeNames();
    const auto it = std::lower_bound(
        rows.begin(), rows.end(), code,
        [](const countries::NativeNamesRow& row, QStringView c) { return QLatin1StringView(row.code) < c; });
    return it != rows.end() && QLatin1StringView(it->code) == code;
}

QString GeoServices::countryCodeForCountryName(QStringView name) {
    if (name.isEmpty())
        return {};
    if (!nameLookup_) {
        QMap<QString, QStringList> lookup;
        for (const countries::NativeNamesRow& row : countries::nativeNames()) {
            const QString code = QString::fromLatin1(row.code);
            QStringList names;
            for (const char* n : row.names) {
                if (n)
                    names.append(QString::fromUtf8(n));
            }
            const QString local = countryNameForCountryCode(code);
            if (!local.isEmpty() && !names.contains(local))
                names.append(local);
            lookup.insert(code, names);
        }
        nameLookup_ = std::move(lookup);
    }
    const Collation collation(Collation::Mode::CaseInsensitive);
    for (auto it = nameLookup_->cbegin(); it != nameLookup_->cend(); ++it) {
        for (const QString& candidate : it.value()) {
            if (collation.compare(candidate, name) == 0)
                return it.key();
        }
    }
    return {};
}

QString GeoServices::countryNameForCountryCode(QStringView code) const {
    return countries::stringCountryForCountryCode(code);
}

QString GeoServices::emojiFlagForCountryCode(QStringView code) {
    if (code.size() != 2)
        return {};
    if (!hasEmojis_)
        _setupEmojis();
    const auto it = lookupTable_.constFind(code.toString());
    return it == lookupTable_.cend() ? QString() : it->emoji;
}

void GeoServices::_setupEmojis() {
    for (auto it = lookupTable_.begin(); it != lookupTable_.end(); ++it) {
        QString flag = countries::stringFlagForCountryCode(it.key());
        if (flag.isEmpty())
            flag = QStringLiteral("\U0001F3F3\uFE0F"); // white flag
        it->emoji = flag;
    }
    hasEmojis_ = true;
}

QString GeoServices::countryCodeUsingPolygonsForLocation(const Location& location) {
    return countryPaths().countryCodeAt(location.longitude(), location.latitude());
}

const CountryOutlines& GeoServices::countryPaths() {
    if (!countrypaths_)
        countrypaths_ = _prepareCountryPaths();
    return *countrypaths_;
}

CountryOutlines GeoServices::_prepareCountryPaths() {
    initOutlineResource();
    QFile file(QStringLiteral(":/geo/ne-countries-50m.geojson"));
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcGeo, "%s [%s]", "country outlines", qPrintable(file.errorString()));
        return {};
    }
    CountryOutlines outlines = CountryOutlines::fromGeoJson(file.readAll());
    if (outlines.isEmpty())
        qCWarning(lcGeo, "%s [%s]", "country outlines", "no outlines in the resource");
    return outlines;
}
