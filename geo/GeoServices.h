// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "geo/CountryOutlines.h"
#include "geo/Location.h"

#include <optional>
#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

// The country service: code checks, codes for names written in the country's own language or
// the user's, flags, and the country that contains a location. One object per process; its
// caches fill on first need and are never refreshed. Use it from one thread at a time.
class GeoServices {
public:
    static GeoServices& sharedServices();

    GeoServices(const GeoServices&) = delete;
    GeoServices& operator=(const GeoServices&) = delete;

    // True when the code is a key of the native-names table (exact, so "de" is not).
    bool isValidCountryCode(QStringView code) const;
    // The code whose native names, or whose name in the user's language, equal the given name
    // ignoring case but not accents. The user's names are taken once, on the first call.
    QString countryCodeForCountryName(QStringView name);
    // The country's name in the user's language; null when ICU has none.
    QString countryNameForCountryCode(QStringView code) const;
    // The flag of an ICU country code from a cache filled on the first call; null for codes
    // ICU does not list (such as lower-case ones).
    QString emojiFlagForCountryCode(QStringView code);
    bool hasEmojis() const { return hasEmojis_; }

    // The country whose outline contains the location; null at sea or when the outline
    // resource cannot be read. The outlines are read on the first call.
    QString countryCodeUsingPolygonsForLocation(const Location& location);
    const CountryOutlines& countryPaths();

private:
    GeoServices();

    struct CountryAttributes {
        QString emoji;
    };

    void setupLookupTable();
    void _setupEmojis();
    static CountryOutlines _prepareCountryPaths();

    std::optional<CountryOutlines> countrypaths_;
    std::optional<QMap<QString, QStringList>> nameLookup_;
    QHash<QString, CountryAttributes> lookupTable_;
    bool hasEmojis_ = false;
};
