// SPDX-License-Identifier: GPL-3.0-or-later
// Writes geo/NativeCountryNames.cpp: for every code of the table, every name under which the
// country's people know it, as CLDR (through ICU) gives them. A row starts with the region's
// name in its most likely language (the likely subtags of "und_XX" give the language; English
// stands in where ICU has no data for it), followed by its name in each official and de-facto
// official language of the territory (CLDR's territory information). A few rows are fixed by
// hand: their names come first, then the CLDR ones they lack.
//
// A name that CLDR gives to two countries (one language's word for a neighbour) stays only
// where it is the first name or fixed by hand. Usage: geo_native_names OUTPUT.cpp. Exits with
// an error, writing nothing, when a name would still occur in two rows or a row does not fit.

#include "geo/CountryTables.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unicode/ures.h>

#include <algorithm>
#include <memory>
#include <tuple>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const kCodes[] = {
    "AD", "AE", "AF", "AG", "AI", "AL", "AM", "AO", "AQ", "AR", "AS", "AT", "AU", "AW", "AX", "AZ", "BA",
    "BB", "BD", "BE", "BF", "BG", "BH", "BI", "BJ", "BL", "BM", "BN", "BO", "BQ", "BR", "BS", "BT", "BV",
    "BW", "BY", "BZ", "CA", "CC", "CD", "CF", "CG", "CH", "CI", "CK", "CL", "CM", "CN", "CO", "CR", "CU",
    "CV", "CW", "CX", "CY", "CZ", "DE", "DJ", "DK", "DM", "DO", "DZ", "EC", "EE", "EG", "EH", "ER", "ES",
    "ET", "FI", "FJ", "FK", "FM", "FO", "FR", "GA", "GB", "GD", "GE", "GF", "GG", "GH", "GI", "GL", "GM",
    "GN", "GP", "GQ", "GR", "GS", "GT", "GU", "GW", "GY", "HK", "HM", "HN", "HR", "HT", "HU", "ID", "IE",
    "IL", "IM", "IN", "IO", "IQ", "IR", "IS", "IT", "JE", "JM", "JO", "JP", "KE", "KG", "KH", "KI", "KM",
    "KN", "KP", "KR", "KW", "KY", "KZ", "LA", "LB", "LC", "LI", "LK", "LR", "LS", "LT", "LU", "LV", "LY",
    "MA", "MC", "MD", "ME", "MF", "MG", "MH", "MK", "ML", "MM", "MN", "MO", "MP", "MQ", "MR", "MS", "MT",
    "MU", "MW", "MX", "MZ", "NA", "NC", "NE", "NF", "NG", "NI", "NL", "NO", "NR", "NU", "NZ", "OM", "PA",
    "PE", "PF", "PG", "PH", "PK", "PL", "PM", "PN", "PR", "PS", "PT", "PW", "PY", "QA", "RE", "RO", "RS",
    "RU", "RW", "SA", "SB", "SC", "SD", "SE", "SG", "SH", "SI", "SJ", "SK", "SL", "SM", "SN", "SO", "SR",
    "SS", "ST", "SV", "SX", "SY", "SZ", "TC", "TD", "TF", "TG", "TH", "TJ", "TK", "TL", "TM", "TN", "TO",
    "TR", "TT", "TV", "TW", "TZ", "UA", "UG", "UM", "US", "UY", "VA", "VC", "VE", "VG", "VI", "VN", "VU",
    "WF", "WS", "YE", "YT", "ZA", "ZM", "ZW",
};

// Rows with several names, and rows whose CLDR name is not the one people write.
const std::map<std::string, std::vector<std::string>> kFixedRows = {
    {"AQ", {"Antarctica", "Antártico", "Antarctique", "Антарктике"}},
    {"AT", {"Österreich"}},
    {"BE", {"België", "Belgique", "Belgien"}},
    {"BO", {"Bolivia", "Bulibiya", "Volívia", "Wuliwya"}},
    {"CD", {"République Démocratique du Congo", "Zaire"}},
    {"CG", {"République du Congo", "Congo"}},
    {"CH", {"Schweiz", "Suisse", "Svizzera", "Svizra"}},
    {"CY", {"Κύπρος", "Kibris"}},
    {"DE", {"Deutschland"}},
    {"ES", {"España"}},
    {"GB", {"United Kingdom", "England", "Scotland", "Wales", "Northern Ireland", "Great Britain"}},
    {"HK", {"香港", "Hong Kong"}},
    {"IN", {"भारत", "India"}},
    {"JP", {"日本"}},
    {"LU", {"Lëtzebuerg", "Luxembourg", "Luxemburg"}},
    {"MA", {"Maroc", "ⵍⵎⵖⵔⵉⴱ", "المغرب"}},
    {"NO", {"Norge", "Noreg"}},
    {"RU", {"Россия"}},
    {"US", {"United States of America", "USA", "U.S.A."}},
};

std::string utf8(const icu::UnicodeString& s) {
    std::string out;
    s.toUTF8String(out);
    return out;
}

bool hasLocaleData(const char* language) {
    int32_t count = 0;
    const icu::Locale* available = icu::Locale::getAvailableLocales(count);
    for (int32_t i = 0; i < count; ++i) {
        if (std::string(available[i].getLanguage()) == language)
            return true;
    }
    return false;
}

std::string nativeName(const std::string& code) {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale likely(("und_" + code).c_str());
    likely.addLikelySubtags(status);
    // The script matters where a language is written in several (Chinese in Taiwan and Macao).
    const std::string id = std::string(likely.getLanguage()) + "_" + likely.getScript();
    const icu::Locale language = U_SUCCESS(status) && hasLocaleData(likely.getLanguage())
                                     ? icu::Locale::createFromName(id.c_str())
                                     : icu::Locale::getEnglish();
    icu::UnicodeString name;
    icu::Locale("", code.c_str()).getDisplayCountry(language, name);
    if (utf8(name) == code)
        icu::Locale("", code.c_str()).getDisplayCountry(icu::Locale::getEnglish(), name);
    return utf8(name);
}

// The languages with official or de-facto official status in the territory, most spoken first.
std::vector<std::string> officialLanguages(const std::string& code) {
    struct Closer {
        void operator()(UResourceBundle* bundle) const { ures_close(bundle); }
    };
    using Bundle = std::unique_ptr<UResourceBundle, Closer>;
    UErrorCode status = U_ZERO_ERROR;
    const Bundle supplemental(ures_openDirect(nullptr, "supplementalData", &status));
    const Bundle territories(ures_getByKey(supplemental.get(), "territoryInfo", nullptr, &status));
    const Bundle territory(ures_getByKey(territories.get(), code.c_str(), nullptr, &status));
    if (U_FAILURE(status))
        return {};
    std::vector<std::pair<double, std::string>> found;
    for (int32_t i = 0; i < ures_getSize(territory.get()); ++i) {
        UErrorCode entryStatus = U_ZERO_ERROR;
        const Bundle language(ures_getByIndex(territory.get(), i, nullptr, &entryStatus));
        if (U_FAILURE(entryStatus) || ures_getType(language.get()) != URES_TABLE)
            continue;
        int32_t length = 0;
        const UChar* official = ures_getStringByKey(language.get(), "officialStatus", &length, &entryStatus);
        if (U_FAILURE(entryStatus))
            continue;
        const std::string value = utf8(icu::UnicodeString(official, length));
        if (value != "official" && value != "de_facto_official")
            continue;
        double share = 0;
        UErrorCode shareStatus = U_ZERO_ERROR;
        const Bundle population(ures_getByKey(language.get(), "populationShareF", nullptr, &shareStatus));
        if (U_SUCCESS(shareStatus))
            share = ures_getInt(population.get(), &shareStatus);
        found.emplace_back(share, ures_getKey(language.get()));
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> languages;
    for (const auto& entry : found)
        languages.push_back(entry.second);
    return languages;
}

// The region's name in one of its languages, in the script the language is written in there;
// empty where ICU has no name in that language.
std::string nameInLanguage(const std::string& code, const std::string& language) {
    if (!hasLocaleData(language.c_str()))
        return {};
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale likely((language + "_" + code).c_str());
    likely.addLikelySubtags(status);
    const std::string id = language + "_" + (U_SUCCESS(status) ? likely.getScript() : "");
    icu::UnicodeString name;
    icu::Locale("", code.c_str()).getDisplayCountry(icu::Locale::createFromName(id.c_str()), name);
    const std::string text = utf8(name);
    return text == code ? std::string() : text; // without a name ICU answers with the code
}

std::string cString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp\n", argv[0]);
        return 2;
    }
    constexpr size_t kSlots = std::tuple_size_v<decltype(countries::NativeNamesRow::names)>;
    struct Row {
        std::string code;
        std::vector<std::string> names;
        size_t kept; // names before this index are the first name or fixed by hand
    };
    std::vector<Row> table;
    std::map<std::string, std::set<std::string>> owners; // name -> codes
    for (const char* code : kCodes) {
        Row row{code, {}, 1};
        if (auto fixed = kFixedRows.find(code); fixed != kFixedRows.end()) {
            row.names = fixed->second;
            row.kept = row.names.size();
        } else {
            row.names = {nativeName(code)};
        }
        for (const std::string& language : officialLanguages(code)) {
            const std::string name = nameInLanguage(code, language);
            if (!name.empty() && std::find(row.names.begin(), row.names.end(), name) == row.names.end())
                row.names.push_back(name);
        }
        for (const std::string& name : row.names)
            owners[name].insert(code);
        table.push_back(std::move(row));
    }

    std::map<std::string, std::string> owner; // name -> code
    std::vector<std::string> rows;
    int multiple = 0;
    for (Row& row : table) {
        std::vector<std::string> names;
        for (size_t i = 0; i < row.names.size(); ++i) {
            if (i >= row.kept && owners[row.names[i]].size() > 1) {
                std::fprintf(stderr, "\"%s\" left out of %s: other countries have it too\n", row.names[i].c_str(),
                             row.code.c_str());
                continue;
            }
            names.push_back(row.names[i]);
        }
        if (names.size() > kSlots) {
            std::fprintf(stderr, "the row %s has %zu names, the table holds %zu\n", row.code.c_str(), names.size(), kSlots);
            return 1;
        }
        std::string line = "    {\"" + row.code + "\", {";
        for (size_t i = 0; i < names.size(); ++i) {
            auto [it, inserted] = owner.emplace(names[i], row.code);
            if (!inserted) {
                std::fprintf(stderr, "\"%s\" is in the rows %s and %s\n", names[i].c_str(), it->second.c_str(),
                             row.code.c_str());
                return 1;
            }
            line += (i ? ", " : "") + cString(names[i]);
        }
        rows.push_back(line + "}},");
        multiple += names.size() > 1;
    }

    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out,
                 "// Generated by tools/geo/native_names.cpp from ICU %s (CLDR) data and the rows fixed\n"
                 "// there. Do not edit by hand: change the tool and run it again.\n"
                 "#include \"geo/CountryTables.h\"\n\n#include <array>\n\nnamespace countries {\n\n"
                 "namespace {\n\nconstexpr std::array<NativeNamesRow, %zu> kRows{{\n",
                 U_ICU_VERSION, rows.size());
    for (const std::string& row : rows)
        std::fprintf(out, "%s\n", row.c_str());
    std::fprintf(
        out,
        "}};\n\n} // namespace\n\nstd::span<const NativeNamesRow> nativeNames() {\n    return kRows;\n}\n\n"
        "} // namespace countries\n");
    std::fclose(out);
    std::fprintf(stderr, "%zu rows, %d with more than one name\n", rows.size(), multiple);
    return 0;
}
