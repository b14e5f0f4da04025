// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QVariant>
#include <QVariantList>
#include <optional>

// How transformers read the values they are given. Absent is an invalid QVariant (or a null
// pointer); an empty string is a string, not absent. Numbers are the bool, integer and floating
// point types; a string is read by its leading characters ("12 dB" reads as 12).
namespace valuereading {

bool isAbsent(const QVariant& value);
bool isNumber(const QVariant& value);
bool isString(const QVariant& value);

// The elements of a list value; absent for anything that is not a list.
std::optional<QVariantList> arrayOf(const QVariant& value);

// 0 for absent values and for values that are neither numbers nor strings. Floating point
// numbers are truncated towards zero; out-of-range values are clamped.
qint64 integerValue(const QVariant& value);
double doubleValue(const QVariant& value);
// Numbers: not zero. Strings: true when the first character after blanks, a sign and leading
// zeros is one of Y, y, T, t or a digit 1 to 9.
bool boolValue(const QVariant& value);

} // namespace valuereading
