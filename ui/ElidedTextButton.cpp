// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ElidedTextButton.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {
constexpr int kFocusMargin = 2;

// Line breaks in a stream title would hide everything after them on a one-line widget.
QString oneLine(QString text) {
    for (QChar& c : text)
        if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    return text;
}
} // namespace

ElidedTextButton::ElidedTextButton(QWidget* parent)
    : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setForegroundRole(QPalette::WindowText);
}

void ElidedTextButton::setText(const QString& text) {
    if (text == text_ && !text.isNull())
        return;
    text_ = text;
    setToolTip(text_);
    // The name is the content, and assistive technology hears of each change.
    setAccessibleName(text_);
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    update();
}

QString ElidedTextButton::shownText() const {
    return fontMetrics().elidedText(oneLine(text_), Qt::ElideRight, qMax(0, width() - 2 * kFocusMargin));
}

QSize ElidedTextButton::sizeHint() const {
    return QSize(fontMetrics().averageCharWidth() * 20, fontMetrics().height() + 2 * kFocusMargin);
}

QSize ElidedTextButton::minimumSizeHint() const {
    return QSize(0, sizeHint().height());
}

void ElidedTextButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect().adjusted(kFocusMargin, 0, -kFocusMargin, 0);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   isDown() ? QPalette::LinkVisited : foregroundRole()));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownText());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.backgroundColor = palette().color(QPalette::Window);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void ElidedTextButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}
