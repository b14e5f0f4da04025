// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <unicode/unistr.h>

// Conversions between Qt and ICU strings; both are UTF-16, so these are plain copies.
namespace icutext {

inline icu::UnicodeString toIcu(QStringView s) {
    return icu::UnicodeString(reinterpret_cast<const UChar*>(s.utf16()), int32_t(s.size()));
}

inline QString fromIcu(const icu::UnicodeString& s) {
    return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}

// Title case as the word-break rules of the root locale give it: the first letter of each
// word upper case, every other letter lower case ("80S rock" -> "80s Rock").
QString capitalized(QStringView s);

// Case folded, decomposed, and with combining marks removed: the form in which texts are
// matched when case and accents must not matter ("Café" and "CAFE" fold alike).
QString foldedForSearch(QStringView s);

} // namespace icutext
