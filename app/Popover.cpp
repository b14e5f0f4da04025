#include "app/Popover.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

Popover::Popover(QWidget* content, QWidget* parent) : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Ostrel Radio"));
    setAttribute(Qt::WA_AlwaysShowToolTips);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(content);
    setAutoFillBackground(true);
}

QPoint Popover::placement(const QRect& anchor, const QPoint& pointer, const QSize& size, const QRect& available) {
    QPoint at;
    if (anchor.isValid() && !anchor.isEmpty()) {
        // Under a top panel's icon, over a bottom panel's; centred on the icon.
        at.setX(anchor.center().x() - size.width() / 2);
        const bool roomBelow = anchor.bottom() + size.height() <= available.bottom();
        at.setY(roomBelow ? anchor.bottom() + 4 : anchor.top() - size.height() - 4);
    } else {
        at = QPoint(pointer.x() - size.width() / 2, pointer.y() + 8);
        if (at.y() + size.height() > available.bottom())
            at.setY(pointer.y() - size.height() - 8);
    }
    at.setX(qBound(available.left(), at.x(), qMax(available.left(), available.right() - size.width() + 1)));
    at.setY(qBound(available.top(), at.y(), qMax(available.top(), available.bottom() - size.height() + 1)));
    return at;
}

void Popover::showRelativeTo(const QRect& anchor) {
    if (detached_) {
        detached_ = false;
        hide();
        setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    }
    adjustSize();
    const QPoint pointer = QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(anchor.isValid() ? anchor.center() : pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QSize size = sizeHint().boundedTo(screen->availableGeometry().size());
    resize(size);
    move(placement(anchor, pointer, size, screen->availableGeometry()));
    show();
    raise();
    activateWindow();
}

void Popover::detach() {
    if (detached_)
        return;
    const QPoint at = pos();
    detached_ = true;
    hide();
    setWindowFlags(Qt::Window);
    move(at);
    show();
}

void Popover::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !detached_) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Popover::showEvent(QShowEvent* event) {
    Q_EMIT aboutToShow();
    QWidget::showEvent(event);
}

void Popover::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    Q_EMIT closed();
}
