// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QVariant>

// Value transformers that yield a number: a true/false flag, or an integer for NumberPlusOne.
// Each takes one value and returns one; absent reads as 0 where an integer is read.
namespace valuetransformers {

QVariant Is_0(const QVariant& value);
QVariant Is_1(const QVariant& value);
QVariant Is_2(const QVariant& value);
QVariant Is_3(const QVariant& value);
QVariant Is_4(const QVariant& value);
QVariant Is_5(const QVariant& value);
QVariant IsNot_0(const QVariant& value);
QVariant IsNot_1(const QVariant& value);
QVariant IsNot_2(const QVariant& value);
QVariant IsNot_3(const QVariant& value);
QVariant IsNot_4(const QVariant& value);
QVariant IsNot_5(const QVariant& value);
QVariant Is_Neg1(const QVariant& value);
QVariant IsNot_Neg1(const QVariant& value);

// Absent gives 0, anything else its integer plus one.
QVariant NumberPlusOne(const QVariant& value);

// A string of at least one character; InvalidString is the opposite.
QVariant ValidString(const QVariant& value);
QVariant InvalidString(const QVariant& value);

// Absent and values that are no list count as empty lists.
QVariant ArrayCountIsNotZero(const QVariant& value);
QVariant ArrayCountIsZero(const QVariant& value);
QVariant ArrayOfMany(const QVariant& value);    // 2 or more elements
QVariant NotArrayOfMany(const QVariant& value); // 0 or 1

} // namespace valuetransformers
