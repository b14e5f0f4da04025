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
        if (id == "C" || id == "POSIX")
            return icu::Locale::getRoot();
        return icu::Locale::createCanonical(id.c_str());
    }
    return icu::Locale::getRoot();
}

} // namespace userlocale
