// SPDX-License-Identifier: GPL-3.0-or-later
#include "panels/TagsCollectionViewItem.h"

#include "ui/ViewExtensions.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>
#include <cmath>

TagsCollectionViewItem::TagsCollectionViewItem(const QString& tag, QWidget* parent)
    : QAbstractButton(parent), tag_(tag) {
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setText(tag);
    setAccessibleName(tag);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

int TagsCollectionViewItem::padding() const {
    return fontMetrics().height() / 2 + 2;
}

QSize TagsCollectionViewItem::sizeHint() const {
    // Fractional advances, rounded up: the elision below measures the same way.
    const QFontMetricsF metrics(font());
    const int text = int(std::ceil(metrics.horizontalAdvance(tag_))) + 1;
    return QSize(text + 2 * padding(), fontMetrics().height() + 6);
}

QSize TagsCollectionViewItem::minimumSizeHint() const {
    return QSize(2 * padding() + fontMetrics().averageCharWidth() * 2, sizeHint().height());
}

void TagsCollectionViewItem::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    // The whole tag stays readable when the chip has to cut it.
    setToolTip(width() < sizeHint().width() ? views::plainToolTip(tag_) : QString());
}

void TagsCollectionViewItem::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    update();
}

void TagsCollectionViewItem::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    update();
}

void TagsCollectionViewItem::keyPressEvent(QKeyEvent* event) {
    // Arrows walk the cloud in reading order (the panel keeps the focus chain in that order).
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        focusPreviousChild();
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
        focusNextChild();
        return;
    default:
        QAbstractButton::keyPressEvent(event);
    }
}

void TagsCollectionViewItem::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    const QPalette& colors = palette();
    const bool on = isChecked();

    QColor fill = on ? colors.color(group, QPalette::Highlight) : colors.color(group, QPalette::Button);
    QColor border = on ? fill : colors.color(group, QPalette::Mid);
    if (isDown())
        fill = fill.darker(115);
    else if (underMouse() && isEnabled())
        fill = on ? fill.lighter(110) : colors.color(group, QPalette::Midlight);

    const QRectF chip = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal radius = chip.height() / 2;
    painter.setPen(QPen(border, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(chip, radius, radius);
    if (hasFocus()) {
        painter.setPen(QPen(colors.color(group, QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(chip.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    }

    const QRect textArea = rect().adjusted(padding(), 0, -padding(), 0);
    painter.setPen(colors.color(group, on ? QPalette::HighlightedText : QPalette::ButtonText));
    painter.drawText(textArea, Qt::AlignCenter, fontMetrics().elidedText(tag_, Qt::ElideRight, textArea.width()));
}
