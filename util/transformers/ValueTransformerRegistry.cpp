// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/transformers/ValueTransformerRegistry.h"

#include "util/transformers/FlagTransformers.h"
#include "util/transformers/TextTransformers.h"

namespace valuetransformers {

const QList<ValueTransformer>& coreValueTransformers() {
    using K = TransformedValueClass;
    static const QList<ValueTransformer> list{
        {"Is_0", K::Number, Is_0},
        {"Is_1", K::Number, Is_1},
        {"Is_2", K::Number, Is_2},
        {"Is_3", K::Number, Is_3},
        {"Is_4", K::Number, Is_4},
        {"Is_5", K::Number, Is_5},
        {"IsNot_0", K::Number, IsNot_0},
        {"IsNot_1", K::Number, IsNot_1},
        {"IsNot_2", K::Number, IsNot_2},
        {"IsNot_3", K::Number, IsNot_3},
        {"IsNot_4", K::Number, IsNot_4},
        {"IsNot_5", K::Number, IsNot_5},
        {"Is_Neg1", K::Number, Is_Neg1},
        {"IsNot_Neg1", K::Number, IsNot_Neg1},
        {"NumberPlusOne", K::Number, NumberPlusOne},
        {"ValidString", K::Number, ValidString},
        {"InvalidString", K::Number, InvalidString},
        {"CapitalizedString", K::String, CapitalizedString},
        {"UppercaseString", K::String, UppercaseString},
        {"UnwrappedString", K::String, UnwrappedString},
        {"PathToDisplayPathString", K::String, PathToDisplayPathString},
        {"URLToString", K::String, URLToString},
        {"ArrayToString", K::String, ArrayToString},
        {"IntegerToString", K::String, IntegerToString},
        {"NumberToRomanString", K::String, NumberToRomanString},
        {"AbbreviatedNumberString", K::String, AbbreviatedNumberString},
        {"FileSizeNumberToString", K::String, FileSizeNumberToString},
        {"DataRateNumberToString", K::String, DataRateNumberToString},
        {"CountryCodeToFlagString", K::String, CountryCodeToFlagString},
        {"CountryCodeToCountryString", K::String, CountryCodeToCountryString},
        {"VideoDurationToString", K::String, VideoDurationToString},
        {"AudioDurationToString", K::String, AudioDurationToString},
        {"AudioDecimalDurationToString", K::String, AudioDecimalDurationToString},
        {"CMTimeToTimeString", K::String, CMTimeToTimeString},
        {"NumberStringToMonthString", K::String, NumberStringToMonthString},
        {"ArrayCountToBadgeString", K::String, ArrayCountToBadgeString},
        {"ArrayCountToString", K::String, ArrayCountToString},
        {"ArrayCountIsNotZero", K::Number, ArrayCountIsNotZero},
        {"ArrayCountIsZero", K::Number, ArrayCountIsZero},
        {"ArrayOfMany", K::Number, ArrayOfMany},
        {"NotArrayOfMany", K::Number, NotArrayOfMany},
    };
    return list;
}

const ValueTransformer* valueTransformerForName(QStringView name, const QList<ValueTransformer>& transformers) {
    for (const ValueTransformer& t : transformers) {
        if (name == QLatin1String(t.name))
            return &t;
    }
    return nullptr;
}

} // namespace valuetransformers
