// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Country codes (ISO 3166-1 alpha-2, upper case) turned into what people read. Pure functions,
// safe on any thread.
namespace countries {

// The flag emoji of a code: the two regional-indicator symbols of its letters, in either case.
// Nothing else checks the letters, so a code that is not two ASCII letters gives two code
// points that are not a flag. Null unless the code is exactly two UTF-16 units long.
QString stringFlagForCountryCode(QStringView code);

// The country's name in the user's language, asked of ICU on every call, so it follows a
// change of language. Null when ICU knows no name for the code.
QString stringCountryForCountryCode(QStringView code);

// The countries the station directory is browsed by: 218 codes in ascending order.
QStringList allCountryCodes();

// Every ISO 3166-1 alpha-2 code that ICU knows.
QStringList isoCountryCodes();

} // namespace countries
