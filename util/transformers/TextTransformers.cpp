// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/transformers/TextTransformers.h"

#include "geo/Countries.h"
#include "util/IcuText.h"
#include "util/UserLocale.h"
#include "util/transformers/DisplayText.h"
#include "util/transformers/MediaTime.h"
#include "util/transformers/NumberFormatters.h"
#include "util/transformers/ValueReading.h"

#include <QStringList>

namespace valuetransformers {

using namespace valuereading;

namespace {

// A string result, or absent when the function gives a null string.
QVariant orAbsent(const QString& s) {
    return s.isNull() ? QVariant() : QVariant(s);
}

qsizetype countOf(const QVariant& value) {
    const auto array = arrayOf(value);
    return array ? array->size() : 0;
}

} // namespace

QVariant CapitalizedString(const QVariant& value) {
    return isString(value) ? QVariant(icutext::capitalized(value.toString())) : QVariant();
}

QVariant UppercaseString(const QVariant& value) {
    return isString(value) ? QVariant(value.toString().toUpper()) : QVariant();
}

QVariant UnwrappedString(const QVariant& value) {
    if (!isString(value))
        return {};
    return displaytext::stringByReplacingCharactersInSet(value.toString(), displaytext::kNewlineCharacters,
                                                         u" \u00AC ");
}

QVariant PathToDisplayPathString(const QVariant& value) {
    return isString(value) ? QVariant(displaytext::stringWithDisplayPath(value.toString())) : QVariant();
}

QVariant URLToString(const QVariant& value) {
    return value;
}

QVariant ArrayToString(const QVariant& value) {
    const auto array = arrayOf(value);
    if (!array || array->isEmpty())
        return {};
    QString text;
    for (const QVariant& element : *array) {
        if (!text.isEmpty())
            text += QStringLiteral(", ");
        if (element.typeId() == QMetaType::Bool)
            text += element.toBool() ? u'1' : u'0'; // numbers in their plain form
        else
            text += element.toString();
    }
    return text;
}

QVariant IntegerToString(const QVariant& value) {
    if (isAbsent(value))
        return QStringLiteral("");
    return numberformatters::integerString(integerValue(value));
}

QVariant NumberToRomanString(const QVariant& value) {
    const qint64 n = integerValue(value);
    return n >= 1 && n <= 9999 ? displaytext::romanFromNumber(n) : QStringLiteral("-");
}

QVariant AbbreviatedNumberString(const QVariant& value) {
    if (isAbsent(value))
        return QStringLiteral("");
    return displaytext::stringWithKInteger(quint64(integerValue(value)));
}

QVariant FileSizeNumberToString(const QVariant& value) {
    if (!isNumber(value))
        return QStringLiteral("");
    return displaytext::stringWithFileSize(quint64(integerValue(value)));
}

QVariant DataRateNumberToString(const QVariant& value) {
    if (isAbsent(value))
        return QStringLiteral("");
    const float megabits = float(doubleValue(value)) / 1000000.0f;
    return numberformatters::fractionString(double(megabits), 2) + QStringLiteral(" mbs");
}

QVariant CountryCodeToFlagString(const QVariant& value) {
    return isString(value) ? orAbsent(countries::stringFlagForCountryCode(value.toString())) : QVariant();
}

QVariant CountryCodeToCountryString(const QVariant& value) {
    return isString(value) ? orAbsent(countries::stringCountryForCountryCode(value.toString())) : QVariant();
}

QVariant VideoDurationToString(const QVariant& value) {
    return isNumber(value) ? QVariant(displaytext::stringWithDurationFromSeconds(integerValue(value))) : QVariant();
}

QVariant AudioDurationToString(const QVariant& value) {
    return VideoDurationToString(value);
}

QVariant AudioDecimalDurationToString(const QVariant& value) {
    return isNumber(value) ? QVariant(displaytext::stringWithDecimalDurationFromSeconds(doubleValue(value)))
                           : QVariant();
}

QVariant CMTimeToTimeString(const QVariant& value) {
    if (value.metaType() != QMetaType::fromType<MediaTime>())
        return {};
    const auto time = value.value<MediaTime>();
    if (!time.isValid())
        return {};
    const QString text = displaytext::stringWithDurationFromSeconds(time.seconds());
    return text.size() == 8 ? text : u'0' + text;
}

QVariant NumberStringToMonthString(const QVariant& value) {
    // The month names of the locale current when they are first asked for.
    static const QStringList names = [] {
        QStringList list;
        const icu::Locale locale = userlocale::current();
        for (int month = 1; month <= 12; ++month)
            list.append(displaytext::monthName(month, locale));
        return list;
    }();
    if (isAbsent(value))
        return QStringLiteral("");
    const qint64 month = integerValue(value);
    return month >= 1 && month <= 12 ? names[month - 1] : QStringLiteral("");
}

QVariant ArrayCountToBadgeString(const QVariant& value) {
    const qsizetype count = countOf(value);
    return count > 0 ? QStringLiteral("-%1-").arg(count) : QStringLiteral("");
}

QVariant ArrayCountToString(const QVariant& value) {
    const qsizetype count = countOf(value);
    return count > 0 ? QString::number(count) : QStringLiteral("");
}

} // namespace valuetransformers
