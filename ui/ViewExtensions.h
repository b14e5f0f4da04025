#pragma once

#include <QRect>
#include <QWidget>

namespace views {

// The view's frame moved to the origin: (0, 0, width, height).
inline QRect frameAtZero(const QWidget& view) {
    return QRect(QPoint(0, 0), view.size());
}

} // namespace views
