// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "util/transformers/ValueTransformerRegistry.h"

// Value transformers that yield colours and images, so need Qt GUI; in the widgets library.
namespace valuetransformers {

// A number that reads as true gives the palette's text colour; anything else the disabled one.
QVariant LabelColorForBoolean(const QVariant& value);

// A QImage gives a QPixmap of it at the image's own pixel size; absent and anything else absent.
QVariant NSImageFromCGImageRef(const QVariant& value);

// Every transformer: the core ones and these.
const QList<ValueTransformer>& allValueTransformers();

} // namespace valuetransformers
