#pragma once

#include <unicode/locid.h>

namespace userlocale {

// The user's language and region, read from LC_ALL, LC_MESSAGES and LANG in that order
// (the first one set and not "C"/"POSIX"); the root locale when none is. Read on every call,
// so a change of those variables takes effect at once.
icu::Locale current();

} // namespace userlocale
