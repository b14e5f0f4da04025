// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QVariant>

// Value transformers that yield a string. Absent is an invalid QVariant; where a rule gives
// "absent" for values of the wrong kind, it gives an invalid QVariant too.
namespace valuetransformers {

// Strings only; absent stays absent.
QVariant CapitalizedString(const QVariant& value); // each word's first letter upper case, the rest lower
QVariant UppercaseString(const QVariant& value);
QVariant UnwrappedString(const QVariant& value);   // every line break replaced by " ¬ "
QVariant PathToDisplayPathString(const QVariant& value);

// The value as it is.
QVariant URLToString(const QVariant& value);

// The elements joined with ", "; absent for absent, empty or no list. Leading empty strings add
// nothing: ["", "a"] gives "a", ["a", "", "b"] gives "a, , b".
QVariant ArrayToString(const QVariant& value);

QVariant IntegerToString(const QVariant& value);         // "1,234"; "" for absent
QVariant NumberToRomanString(const QVariant& value);     // 1..9999 in lower-case Roman numerals, else "-"
QVariant AbbreviatedNumberString(const QVariant& value); // "10K+"; "" for absent
QVariant FileSizeNumberToString(const QVariant& value);  // numbers only: "1.50 KB"; else ""
QVariant DataRateNumberToString(const QVariant& value);  // bits per second: "0.13 mbs" for 128000; "" for absent

// Strings only: the flag or the country name of a country code; absent when there is none.
QVariant CountryCodeToFlagString(const QVariant& value);
QVariant CountryCodeToCountryString(const QVariant& value);

// Numbers only, else absent: "00:59", "01:00", "1:00:00".
QVariant VideoDurationToString(const QVariant& value);
QVariant AudioDurationToString(const QVariant& value);
// Numbers only, else absent: "01:15.500".
QVariant AudioDecimalDurationToString(const QVariant& value);
// A valid MediaTime, else absent: always at least 8 characters wide with a leading "0",
// "000:45", "02:00:00", "10:00:00".
QVariant CMTimeToTimeString(const QVariant& value);

// The month's full name in the user's locale for 1 to 12; "" otherwise.
QVariant NumberStringToMonthString(const QVariant& value);

// Lists only: "-3-" and "3" for three elements; "" for absent, empty or no list.
QVariant ArrayCountToBadgeString(const QVariant& value);
QVariant ArrayCountToString(const QVariant& value);

} // namespace valuetransformers
