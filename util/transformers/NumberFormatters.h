// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The number formatters the transformers share. Each is made on first use in the user's locale
// of that moment and kept for the life of the process. Not thread-safe: one thread at a time.
namespace numberformatters {

// Decimal style without fraction digits: 1234 -> "1,234" in English.
QString integerString(qint64 value);

// Decimal style with exactly `decimals` fraction digits (half-even rounding). The setting is
// kept: a call with negative `decimals` formats with the digits of the last call (at first 0 to 3).
QString fractionString(double value, int decimals);

} // namespace numberformatters
