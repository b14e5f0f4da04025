// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/transformers/ValueReading.h"

#include <QSequentialIterable>
#include <cmath>
#include <limits>

namespace valuereading {

namespace {

QStringView skipBlanks(QStringView s) {
    qsizetype i = 0;
    while (i < s.size() && s[i].isSpace())
        ++i;
    return s.sliced(i);
}

qint64 integerOfString(QStringView s) {
    s = skipBlanks(s);
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'+' || s.front() == u'-')) {
        negative = s.front() == u'-';
        s = s.sliced(1);
    }
    // Accumulate negatively: the negative range is one larger.
    constexpr qint64 min = std::numeric_limits<qint64>::min();
    qint64 value = 0;
    for (const QChar c : s) {
        if (c < u'0' || c > u'9')
            break;
        const int digit = c.unicode() - u'0';
        if (value < (min + digit) / 10)
            return negative ? min : std::numeric_limits<qint64>::max();
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    return value == min ? std::numeric_limits<qint64>::max() : -value;
}

double doubleOfString(QStringView s) {
    s = skipBlanks(s);
    // The longest prefix of the form [+-]digits[.digits][e[+-]digits].
    qsizetype end = 0;
    auto digits = [&] {
        const qsizetype start = end;
        while (end < s.size() && s[end] >= u'0' && s[end] <= u'9')
            ++end;
        return end > start;
    };
    if (end < s.size() && (s[end] == u'+' || s[end] == u'-'))
        ++end;
    bool any = digits();
    if (end < s.size() && s[end] == u'.') {
        ++end;
        any = digits() || any;
    }
    if (!any)
        return 0;
    if (end < s.size() && (s[end] == u'e' || s[end] == u'E')) {
        const qsizetype mantissaEnd = end;
        ++end;
        if (end < s.size() && (s[end] == u'+' || s[end] == u'-'))
            ++end;
        if (!digits())
            end = mantissaEnd;
    }
    return s.first(end).toDouble();
}

qint64 clampedInteger(double d) {
    if (std::isnan(d))
        return 0;
    if (d >= 9223372036854775807.0)
        return std::numeric_limits<qint64>::max();
    if (d <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    return qint64(d); // truncates towards zero
}

bool isFloating(const QVariant& value) {
    const int type = value.typeId();
    return type == QMetaType::Double || type == QMetaType::Float;
}

} // namespace

bool isAbsent(const QVariant& value) {
    return !value.isValid() || value.typeId() == QMetaType::Nullptr;
}

bool isNumber(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

bool isString(const QVariant& value) {
    return value.typeId() == QMetaType::QString;
}

std::optional<QVariantList> arrayOf(const QVariant& value) {
    if (value.typeId() == QMetaType::QVariantList)
        return value.toList();
    if (value.typeId() == QMetaType::QStringList) {
        QVariantList list;
        for (const QString& s : value.toStringList())
            list.append(s);
        return list;
    }
    // Other registered containers (QList<int>, ...), but not texts, which Qt can also iterate.
    if (!isString(value) && value.typeId() != QMetaType::QByteArray && value.canConvert<QSequentialIterable>()) {
        QVariantList list;
        for (const QVariant& element : value.value<QSequentialIterable>())
            list.append(element);
        return list;
    }
    return std::nullopt;
}

qint64 integerValue(const QVariant& value) {
    if (isString(value))
        return integerOfString(value.toString());
    if (!isNumber(value))
        return 0;
    if (isFloating(value))
        return clampedInteger(value.toDouble());
    if (value.typeId() == QMetaType::ULongLong || value.typeId() == QMetaType::ULong)
        return qint64(value.toULongLong()); // wraps, as a 64-bit integer reading of it would
    return value.toLongLong();
}

double doubleValue(const QVariant& value) {
    if (isString(value))
        return doubleOfString(value.toString());
    if (!isNumber(value))
        return 0;
    return value.toDouble();
}

bool boolValue(const QVariant& value) {
    if (isNumber(value))
        return isFloating(value) ? value.toDouble() != 0 : integerValue(value) != 0;
    if (!isString(value))
        return false;
    const QString text = value.toString();
    QStringView s = skipBlanks(text);
    while (!s.isEmpty() && (s.front() == u'+' || s.front() == u'-'))
        s = s.sliced(1);
    while (!s.isEmpty() && s.front() == u'0')
        s = s.sliced(1);
    if (s.isEmpty())
        return false;
    const QChar c = s.front();
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}

} // namespace valuereading
