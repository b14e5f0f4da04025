// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// The kind of value a transformer yields.
enum class TransformedValueClass { Number, String, Color, Image };

// One value transformer as an interface finds it: by the name it is known under.
struct ValueTransformer {
    const char* name;
    TransformedValueClass transformedValueClass;
    QVariant (*transformedValue)(const QVariant& value);

    // Every transformer works one way only.
    static constexpr bool allowsReverseTransformation = false;
};

namespace valuetransformers {

// The transformers that need no GUI; GuiValueTransformers.h adds the colour and image ones.
const QList<ValueTransformer>& coreValueTransformers();

// The transformer of that name in the list; null when there is none.
const ValueTransformer* valueTransformerForName(QStringView name,
                                                const QList<ValueTransformer>& transformers = coreValueTransformers());

} // namespace valuetransformers
