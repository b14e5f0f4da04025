// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Popover.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

Popover::Popover(QWidget* content, QWidget* parent)
    : QWidget(parent, kAttachedFlags) {
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
        setWindowFlags(kAttachedFlags);
    }
    placeRelativeTo(anchor);
    show();
    raise();
    activateWindow();
}

void Popover::placeRelativeTo(const QRect& anchor) {
    adjustSize();
    const QPoint pointer = QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(anchor.isValid() ? anchor.center() : pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QSize size = sizeHint().boundedTo(screen->availableGeometry().size());
    resize(size);
    move(placement(anchor, pointer, size, screen->availableGeometry()));
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

void Popover::becomeWindow(const QByteArray& geometry) {
    detached_ = true;
    hide();
    setWindowFlags(Qt::Window);
    setWindowIcon(QIcon::fromTheme(QStringLiteral("org.ostrel.Radio"))); // the installed icon, for the task bar
    // A window has a frame of its own: no border line, and the content reaches its edges.
    layout()->setContentsMargins(0, 0, 0, 0);
    setMinimumSize(minimumSizeHint().expandedTo(QSize(360, 480)));
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(kWindowSize.expandedTo(minimumSize()));
}

bool Popover::event(QEvent* event) {
    // Losing the focus to another window closes the attached panel, as a click outside closes a
    // popup; the panel's own menus and pop-up lists take the focus without closing it.
    if (event->type() == QEvent::WindowDeactivate && !detached_ && isVisible() &&
        !QApplication::activePopupWidget() && !QApplication::activeModalWidget()) {
        QTimer::singleShot(0, this, [this] {
            if (!detached_ && isVisible() && !isActiveWindow() && !QApplication::activePopupWidget()) {
                closedByFocusLoss_.start();
                hide();
            }
        });
    }
    return QWidget::event(event);
}

bool Popover::justClosedByFocusLoss() const {
    return closedByFocusLoss_.isValid() && closedByFocusLoss_.elapsed() < 400;
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
