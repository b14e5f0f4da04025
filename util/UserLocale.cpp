// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/UserLocale.h"

#include <cstdlib>
#include <string>

namespace userlocale {

icu::Locale current() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value)
            continue;
        std::string id(value);
        // "de_DE.UTF-8@euro" -> "de_DE": ICU wants neither the encoding nor the modifier.
        id = id.substr(0, id.find_first_of(".@"));
        if (id == "C" || id == "POSIX" || id.empty())
            break;
        return icu::Locale::createCanonical(id.c_str());
    }
    return icu::Locale::getUS();
}

QString regionCode() {
    // Copied at once: the text belongs to the temporary locale.
    const QString region = QString::fromLatin1(current().getCountry()).toUpper();
    // Only a two-letter region is a country; "419" (Latin America) is not one.
    if (region.size() != 2 || !region.at(0).isLetter() || !region.at(1).isLetter())
        return QStringLiteral("US");
    return region;
}

} // namespace userlocale
