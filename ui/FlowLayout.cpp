// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FlowLayout.h"

#include <QWidget>

FlowLayout::FlowLayout(QWidget* parent) : QLayout(parent) {}

FlowLayout::~FlowLayout() {
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void FlowLayout::setSpacings(int horizontal, int vertical) {
    horizontal_ = horizontal;
    vertical_ = vertical;
    invalidate();
}

void FlowLayout::addItem(QLayoutItem* item) {
    items_.append(item);
    invalidate();
}

QLayoutItem* FlowLayout::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem* FlowLayout::takeAt(int index) {
    if (index < 0 || index >= items_.size())
        return nullptr;
    invalidate();
    return items_.takeAt(index);
}

int FlowLayout::heightForWidth(int width) const {
    return arrange(QRect(0, 0, width, 0), false);
}

QSize FlowLayout::minimumSize() const {
    // Items shrink to the available width, so no item sets a minimum width.
    const QMargins m = contentsMargins();
    return QSize(m.left() + m.right() + 1, m.top() + m.bottom());
}

QSize FlowLayout::sizeHint() const {
    const int width = 240;
    return QSize(width, heightForWidth(width));
}

void FlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int FlowLayout::arrange(const QRect& rect, bool place) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int maxWidth = qMax(1, area.width());
    int x = area.x();
    int y = area.y();
    int rowHeight = 0;
    for (QLayoutItem* item : items_) {
        if (item->isEmpty())
            continue;
        const QSize hint = item->sizeHint();
        const int width = qMin(hint.width(), maxWidth);
        if (x > area.x() && x + width > area.x() + maxWidth) {
            x = area.x();
            y += rowHeight + vertical_;
            rowHeight = 0;
        }
        if (place)
            item->setGeometry(QRect(x, y, width, hint.height()));
        x += width + horizontal_;
        rowHeight = qMax(rowHeight, hint.height());
    }
    return y + rowHeight - rect.y() + contentsMargins().bottom();
}
