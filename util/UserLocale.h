// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <unicode/locid.h>

namespace userlocale {

// The user's language and region, read from LC_ALL, LC_MESSAGES and LANG in that order (the
// first one set). The C and POSIX locales, and no locale at all, read as American English: a
// bare root locale would show country codes instead of names. Read on every call, so a change
// of those variables takes effect at once.
icu::Locale current();

// The region of current() as an upper-case ISO code; "US" when the locale names none. The one
// place the program's idea of "my country" comes from.
QString regionCode();

} // namespace userlocale
