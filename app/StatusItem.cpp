// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StatusItem.h"

#include "ui/ThemeIcons.h"

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>

StatusItem::StatusItem(QObject* parent) : QObject(parent) {
    Q_INIT_RESOURCE(tray); // the images live in a static library
    tray_.setToolTip(QStringLiteral("Ostrel Radio"));
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &StatusItem::tick);
    placement_.setInterval(100);
    connect(&placement_, &QTimer::timeout, this, &StatusItem::watchPlacement);
    connect(&tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            Q_EMIT clicked();
        else if (reason == QSystemTrayIcon::MiddleClick)
            Q_EMIT middleClicked();
    });
    // The XEmbed icon's window hands its wheel events to the QSystemTrayIcon.
    tray_.installEventFilter(this);
}

bool StatusItem::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched != &tray_ &&
        static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
        Q_EMIT middleClicked();
        return true;
    }
    if (watched != &tray_ || event->type() != QEvent::Wheel)
        return QObject::eventFilter(watched, event);
    wheelDelta_ += static_cast<QWheelEvent*>(event)->angleDelta().y();
    const int notches = wheelDelta_ / QWheelEvent::DefaultDeltasPerStep;
    wheelDelta_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0)
        Q_EMIT scrolled(notches);
    return true;
}

void StatusItem::show() {
    tray_.show();
    // The XEmbed icon's window turns a second middle click in quick succession into a double
    // click and drops it: each click should toggle.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("QSystemTrayIconSys"))
            window->installEventFilter(this);
    unplaced_ = tray_.geometry();
    placementChecks_ = 0;
    placement_.start();
}

bool StatusItem::isPlaced() const {
    const QRect now = tray_.geometry();
    return !now.isEmpty() && now != unplaced_;
}

void StatusItem::watchPlacement() {
    if (isPlaced()) {
        placement_.stop();
        Q_EMIT placed();
    } else if (++placementChecks_ >= kPlacementChecks) {
        placement_.stop(); // a host that never tells where the icon is
    }
}

void StatusItem::loadFrames() {
    if (!frames_.isEmpty())
        return;
    for (int i = 0; i < kFrameCount; ++i)
        frames_.append(themeicons::twoToneIcon(QStringLiteral(":/icons/tray/a%1").arg(i)));
    idle_ = themeicons::twoToneIcon(QStringLiteral(":/icons/tray/0"));
}

void StatusItem::statusItemAnimates(bool animate) {
    loadFrames();
    if (animate) {
        if (timer_.isActive())
            return;
        position_ = 0;
        timer_.start(); // the icon keeps its image until the first tick
        return;
    }
    timer_.stop();
    setImage(QStringLiteral("0"), idle_);
}

void StatusItem::tick() {
    setImage(QStringLiteral("a%1").arg(position_), frames_.value(position_));
    position_ = position_ == kFrameCount - 1 ? 0 : position_ + 1;
}

void StatusItem::paletteChanged() {
    // The icons draw in the palette's colours; the tray keeps the pixels it was given.
    if (!currentImage_.isEmpty())
        tray_.setIcon(currentImage_ == QLatin1String("0") ? idle_ : frames_.value(currentImage_.mid(1).toInt()));
}

void StatusItem::setImage(const QString& name, const QIcon& icon) {
    currentImage_ = name;
    tray_.setIcon(icon);
}
