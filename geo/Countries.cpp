// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/Countries.h"

#include "util/IcuText.h"
#include "util/UserLocale.h"

#include <array>
#include <unicode/locid.h>

namespace countries {

namespace {

// U+1F1E6 REGIONAL INDICATOR SYMBOL LETTER A minus 'A'.
constexpr char32_t kRegionalIndicatorOffset = 0x1F1A5;

constexpr std::array<const char*, 218> kDirectoryCountries{
    "AD", "AE", "AF", "AG", "AL", "AM", "AO", "AQ", "AR", "AS", "AT", "AU", "AW", "AX", "AZ", "BA", "BB",
    "BD", "BE", "BF", "BG", "BH", "BI", "BJ", "BM", "BN", "BO", "BQ", "BR", "BS", "BT", "BW", "BY", "BZ",
    "CA", "CC", "CD", "CF", "CG", "CH", "CI", "CK", "CL", "CM", "CN", "CO", "CR", "CU", "CV", "CW", "CY",
    "CZ", "DE", "DK", "DM", "DO", "DZ", "EC", "EE", "EG", "ES", "ET", "FI", "FJ", "FK", "FO", "FR", "GA",
    "GB", "GD", "GE", "GF", "GG", "GH", "GI", "GL", "GN", "GP", "GQ", "GR", "GS", "GT", "GU", "GW", "GY",
    "HK", "HN", "HR", "HT", "HU", "ID", "IE", "IL", "IM", "IN", "IO", "IQ", "IR", "IS", "IT", "JM", "JO",
    "JP", "KE", "KG", "KH", "KM", "KN", "KP", "KR", "KW", "KY", "KZ", "LB", "LC", "LK", "LS", "LT", "LU",
    "LV", "LY", "MA", "MC", "MD", "ME", "MG", "MK", "ML", "MM", "MN", "MO", "MQ", "MT", "MU", "MW", "MX",
    "MY", "MZ", "NA", "NC", "NE", "NF", "NG", "NI", "NL", "NO", "NP", "NZ", "OM", "PA", "PE", "PF", "PG",
    "PH", "PK", "PL", "PM", "PR", "PS", "PT", "PY", "QA", "RE", "RO", "RS", "RU", "RW", "SA", "SB", "SC",
    "SD", "SE", "SG", "SH", "SI", "SJ", "SK", "SL", "SM", "SN", "SO", "SR", "ST", "SV", "SY", "SZ", "TC",
    "TD", "TF", "TG", "TH", "TJ", "TM", "TN", "TO", "TR", "TT", "TW", "TZ", "UA", "UG", "UM", "US", "UY",
    "UZ", "VA", "VC", "VE", "VI", "VN", "VU", "WF", "XK", "YE", "YT", "ZA", "ZM", "ZW",
};

} // namespace

QString stringFlagForCountryCode(QStringView code) {
    if (code.size() != 2)
        return {};
    // The directory and locales write codes in either case; flags exist for capitals only.
    const char32_t flag[2] = {code[0].toUpper().unicode() + kRegionalIndicatorOffset,
                              code[1].toUpper().unicode() + kRegionalIndicatorOffset};
    return QString::fromUcs4(flag, 2);
}

QString stringCountryForCountryCode(QStringView code) {
    if (code.isEmpty())
        return {};
    // ICU would read separators as further locale fields ("DE_AT").
    for (QChar c : code) {
        if (c.unicode() > 0x7F || !c.isLetterOrNumber())
            return {};
    }
    icu::UnicodeString name;
    icu::Locale("", code.toLatin1().constData()).getDisplayCountry(userlocale::current(), name);
    const QString result = icutext::fromIcu(name);
    // Without a name ICU answers with the code itself.
    if (result.isEmpty() || result.compare(code, Qt::CaseInsensitive) == 0)
        return {};
    return result;
}

QStringList allCountryCodes() {
    static const QStringList codes = [] {
        QStringList list;
        list.reserve(qsizetype(kDirectoryCountries.size()));
        for (const char* code : kDirectoryCountries)
            list.append(QString::fromLatin1(code));
        return list;
    }();
    return codes;
}

QStringList isoCountryCodes() {
    QStringList list;
    for (const char* const* code = icu::Locale::getISOCountries(); *code; ++code)
        list.append(QString::fromLatin1(*code));
    return list;
}

} // namespace countries
