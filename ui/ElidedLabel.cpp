// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ElidedLabel.h"

#include <QPainter>
#include <QStyle>

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText); // names and tags come from the directory
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

QString ElidedLabel::shownText() const {
    QString line = text();
    line.replace(u'\n', u' ').replace(u'\r', u' ');
    return fontMetrics().elidedText(line, Qt::ElideRight, contentsRect().width());
}

QSize ElidedLabel::sizeHint() const {
    const QMargins m = contentsMargins();
    return QSize(fontMetrics().horizontalAdvance(text()) + m.left() + m.right(),
                 fontMetrics().height() + m.top() + m.bottom());
}

QSize ElidedLabel::minimumSizeHint() const {
    return QSize(0, sizeHint().height());
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), int(alignment() | Qt::TextSingleLine), palette(), isEnabled(),
                          shownText(), foregroundRole());
}
