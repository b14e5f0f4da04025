// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/transformers/GuiValueTransformers.h"

#include "util/transformers/ValueReading.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>

namespace valuetransformers {

QVariant LabelColorForBoolean(const QVariant& value) {
    const bool enabled = valuereading::isNumber(value) && valuereading::boolValue(value);
    return QGuiApplication::palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
}

QVariant NSImageFromCGImageRef(const QVariant& value) {
    if (value.metaType() != QMetaType::fromType<QImage>())
        return {};
    QPixmap pixmap = QPixmap::fromImage(value.value<QImage>());
    pixmap.setDevicePixelRatio(1.0); // one pixel of the bitmap is one pixel on screen
    return pixmap;
}

const QList<ValueTransformer>& allValueTransformers() {
    static const QList<ValueTransformer> list = [] {
        QList<ValueTransformer> all = coreValueTransformers();
        all.append({"LabelColorForBoolean", TransformedValueClass::Color, LabelColorForBoolean});
        all.append({"NSImageFromCGImageRef", TransformedValueClass::Image, NSImageFromCGImageRef});
        return all;
    }();
    return list;
}

} // namespace valuetransformers
