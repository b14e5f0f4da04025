// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "util/CharacterSet.h"

#include <QFlags>
#include <QString>
#include <QStringList>

// Text operations shared by the display code.
namespace text {

enum class CompareOption {
    CaseInsensitive = 0x1,
    Literal = 0x2,
    DiacriticInsensitive = 0x80,
};
Q_DECLARE_FLAGS(CompareOptions, CompareOption)

// Percent-encoded for a URL query: letters, digits and -._~!$&'()*+,;=:@/? stay as they are;
// every other character is written as its UTF-8 bytes, "%" and two upper-case hex digits each.
QString URLEncodedString(QStringView s);

// "1,234 Stations": the count formatted with the user's grouping, a space and the singular word
// for exactly 1, the plural word otherwise.
QString countOf(qint64 count, const QString& one, const QString& many);

// "1.0 (1)": short version and build number.
QString appVersion();

// The pieces between members of `separators`, trimmed of whitespace, empty pieces dropped.
QStringList componentsSeparatedByCharactersInSetTrimmed(QStringView s, const CharacterSet& separators);

// True when `s` begins with `prefix` under the options; an empty prefix never matches.
bool stringStrartsWith(QStringView s, QStringView prefix, CompareOptions options = {});

} // namespace text

Q_DECLARE_OPERATORS_FOR_FLAGS(text::CompareOptions)
