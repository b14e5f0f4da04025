// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/StationFields.h"

#include "geo/Countries.h"
#include "util/CharacterSet.h"
#include "util/Collections.h"
#include "util/IcuText.h"
#include "util/TextUtils.h"

#include <QSet>

using Key = Station::Key;

bool StationFields::stationIsEqualTo(const Station& a, const Station& b) {
    if (a.isNull() || b.isNull())
        return false;
    if (a.isSameObject(b))
        return true;
    const StationValue ua = a.value(Key::StationUuid);
    const StationValue ub = b.value(Key::StationUuid);
    return ua.isString() && ub.isString() && ua.utf8() == ub.utf8();
}

QStringList StationFields::tagsForStation(const Station& station) {
    const QString tags = station.string(Key::Tags);
    if (tags.isEmpty())
        return {kVarietyTag};
    const CharacterSet& trim = CharacterSet::nameTrim();
    const QString capitalized = icutext::capitalized(tags);
    QStringList result;
    QSet<QString> seen;
    for (QStringView piece : QStringView(capitalized).split(u',')) {
        QString tag = trim.trimmed(piece);
        if (tag.size() < 3 || tag.size() > 31 || seen.contains(tag))
            continue;
        seen.insert(tag);
        result.append(std::move(tag));
    }
    if (result.isEmpty())
        result.append(kVarietyTag);
    return result;
}

QString StationFields::soundQualityForStation(const Station& station) {
    const qint64 bitrate = station.value(Key::Bitrate).toInteger();
    QString text = station.string(Key::Codec);
    if (text.isNull())
        text = QStringLiteral("");
    if (bitrate != 0)
        text += QStringLiteral("%1%2 kbps").arg(text.isEmpty() ? QString() : QStringLiteral(" - ")).arg(bitrate);
    return text;
}

QString StationFields::locationForStation(const Station& station) {
    QString state = station.string(Key::State);
    if (state.isNull())
        state = QStringLiteral("");
    const StationValue code = station.value(Key::CountryCode);
    if (!code.isString())
        return state;
    const QString countryCode = code.toString();
    const QString flag = countries::stringFlagForCountryCode(countryCode);
    if (flag.isEmpty())
        return QString();
    QString country = countries::stringCountryForCountryCode(countryCode);
    if (country.isEmpty())
        country = countryCode; // a code the locale data has no name for still says something
    return flag + u' ' + state + (state.isEmpty() ? QString() : QStringLiteral(", ")) + country;
}

QString StationFields::languageForStation(const Station& station) {
    const QString language = station.string(Key::Language);
    if (language.isEmpty())
        return kNoLanguage;
    return collections::stringWithDelim(icutext::capitalized(language).split(u','), u", ");
}

QString StationFields::iconPathForStation(const Station& station) {
    const QString favicon = station.string(Key::Favicon);
    return text::stringStrartsWith(favicon, u"http") ? favicon : QString();
}

QString StationFields::truncatedNameForStation(const Station& station) {
    const QStringList words =
        text::componentsSeparatedByCharactersInSetTrimmed(station.string(Key::Name), CharacterSet::whitespace());
    return words.mid(0, 3).join(u'\r');
}
