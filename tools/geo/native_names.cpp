// Writes geo/NativeCountryNames.cpp: for every code of the table, the country's names in its
// own language. A few rows are fixed by hand (several official languages, well-known other
// names); every other row is the region's name in its most likely language, as CLDR (through
// ICU) gives it: the likely subtags of "und_XX" give the language, and the region's display
// name in that language is the native name. Where ICU has no data for that language the
// English name stands in.
//
// Usage: geo_native_names OUTPUT.cpp. Exits with an error, writing nothing, when a name would
// occur in two rows.

#include <unicode/locid.h>
#include <unicode/unistr.h>

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
    std::map<std::string, std::string> owner; // name -> code
    std::vector<std::string> rows;
    int multiple = 0;
    for (const char* code : kCodes) {
        auto fixed = kFixedRows.find(code);
        const std::vector<std::string> names =
            fixed != kFixedRows.end() ? fixed->second : std::vector<std::string>{nativeName(code)};
        if (names.empty() || names.size() > 6) {
            std::fprintf(stderr, "the row %s must have one to six names\n", code);
            return 1;
        }
        std::string row = std::string("    {\"") + code + "\", {";
        for (size_t i = 0; i < names.size(); ++i) {
            auto [it, inserted] = owner.emplace(names[i], code);
            if (!inserted) {
                std::fprintf(stderr, "\"%s\" is in the rows %s and %s\n", names[i].c_str(),
                             it->second.c_str(), code);
                return 1;
            }
            row += (i ? ", " : "") + cString(names[i]);
        }
        rows.push_back(row + "}},");
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
