// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QTextDocument>
#include <QWidget>

namespace views {

// The view's frame moved to the origin: (0, 0, width, height).
inline QRect frameAtZero(const QWidget& view) {
    return QRect(QPoint(0, 0), view.size());
}

// A tooltip that shows `text` as it is. Qt takes tooltips that look like markup for rich text,
// so a station named "<img src=…>" would draw (and load) an image.
inline QString plainToolTip(const QString& text) {
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

} // namespace views
