// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <unicode/locid.h>

// Numbers, sizes, durations and paths as the interface shows them.
namespace displaytext {

// Line feed, vertical tab, form feed, carriage return, NEL, line and paragraph separators.
inline constexpr QStringView kNewlineCharacters = u"\n\v\f\r\u0085\u2028\u2029";

// Every character of `set` replaced on its own by `replacement` (so CR LF gives two).
QString stringByReplacingCharactersInSet(QStringView s, QStringView set, QStringView replacement);

// Lower-case Roman numerals for 1 to 9999 (2024 -> "mmxxiv", thousands as repeated "m");
// "" outside that range.
QString romanFromNumber(qint64 number);

// A count cut short for a badge: "999", "1K" (1999 too), "10K+", "100K+", "1M+".
QString stringWithKInteger(quint64 count);

// Decimal units: "999 bytes", "1.50 KB", "1.00 MB" for 999999; "" beyond the terabytes.
QString stringWithFileSize(quint64 size);

// "00:05", "12:34", "1:02:05"; without zero padding "5", "12:34", "1:2:5".
QString stringWithDurationFromSeconds(qint64 seconds, bool zeroPad = true);

// The padded duration of the whole seconds and the milliseconds: "01:15.500".
QString stringWithDecimalDurationFromSeconds(double seconds);

// An existing item's path by its components; for a missing one the path without a leading
// "/Volumes/".
QString stringWithDisplayPath(const QString& path);

// Full month name (1 to 12) in the locale, as dates write it; "" for other numbers.
QString monthName(qint64 month, const icu::Locale& locale);

} // namespace displaytext
