// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/transformers/NumberFormatters.h"

#include "util/IcuText.h"
#include "util/UserLocale.h"

#include <unicode/numberformatter.h>

namespace numberformatters {

namespace {

using icu::number::LocalizedNumberFormatter;
using icu::number::NumberFormatter;
using icu::number::Precision;

QString format(const LocalizedNumberFormatter& formatter, double value) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString text = formatter.formatDouble(value, status).toString(status);
    return U_SUCCESS(status) ? icutext::fromIcu(text) : QString::number(value);
}

const icu::Locale& formatterLocale() {
    static const icu::Locale locale = userlocale::current();
    return locale;
}

} // namespace

QString integerString(qint64 value) {
    static const LocalizedNumberFormatter formatter =
        NumberFormatter::with().grouping(UNUM_GROUPING_AUTO).precision(Precision::integer()).locale(formatterLocale());
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString text = formatter.formatInt(value, status).toString(status);
    return U_SUCCESS(status) ? icutext::fromIcu(text) : QString::number(value);
}

QString fractionString(double value, int decimals) {
    static LocalizedNumberFormatter formatter =
        NumberFormatter::with().grouping(UNUM_GROUPING_AUTO).precision(Precision::minMaxFraction(0, 3)).locale(
            formatterLocale());
    static int currentDecimals = -1;
    if (decimals >= 0 && decimals != currentDecimals) {
        formatter = NumberFormatter::with()
                        .grouping(UNUM_GROUPING_AUTO)
                        .precision(Precision::fixedFraction(decimals))
                        .locale(formatterLocale());
        currentDecimals = decimals;
    }
    return format(formatter, value);
}

} // namespace numberformatters
