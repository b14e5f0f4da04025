// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/transformers/FlagTransformers.h"

#include "util/transformers/ValueReading.h"

#include <limits>

namespace valuetransformers {

using namespace valuereading;

namespace {

qsizetype countOf(const QVariant& value) {
    const auto array = arrayOf(value);
    return array ? array->size() : 0;
}

} // namespace

QVariant Is_0(const QVariant& value) { return integerValue(value) == 0; }
QVariant Is_1(const QVariant& value) { return integerValue(value) == 1; }
QVariant Is_2(const QVariant& value) { return integerValue(value) == 2; }
QVariant Is_3(const QVariant& value) { return integerValue(value) == 3; }
QVariant Is_4(const QVariant& value) { return integerValue(value) == 4; }
QVariant Is_5(const QVariant& value) { return integerValue(value) == 5; }
QVariant IsNot_0(const QVariant& value) { return integerValue(value) != 0; }
QVariant IsNot_1(const QVariant& value) { return integerValue(value) != 1; }
QVariant IsNot_2(const QVariant& value) { return integerValue(value) != 2; }
QVariant IsNot_3(const QVariant& value) { return integerValue(value) != 3; }
QVariant IsNot_4(const QVariant& value) { return integerValue(value) != 4; }
QVariant IsNot_5(const QVariant& value) { return integerValue(value) != 5; }
QVariant Is_Neg1(const QVariant& value) { return integerValue(value) == -1; }
QVariant IsNot_Neg1(const QVariant& value) { return integerValue(value) != -1; }

QVariant NumberPlusOne(const QVariant& value) {
    if (isAbsent(value))
        return qint64(0);
    // Saturates: the largest integer has no successor.
    const qint64 n = integerValue(value);
    return n == std::numeric_limits<qint64>::max() ? n : n + 1;
}

QVariant ValidString(const QVariant& value) {
    return isString(value) && !value.toString().isEmpty();
}

QVariant InvalidString(const QVariant& value) {
    return !ValidString(value).toBool();
}

QVariant ArrayCountIsNotZero(const QVariant& value) { return countOf(value) > 0; }
QVariant ArrayCountIsZero(const QVariant& value) { return countOf(value) == 0; }
QVariant ArrayOfMany(const QVariant& value) { return countOf(value) >= 2; }
QVariant NotArrayOfMany(const QVariant& value) { return countOf(value) < 2; }

} // namespace valuetransformers
