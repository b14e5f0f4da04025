#include "app/StatusItem.h"

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
}

void StatusItem::show() {
    tray_.show();
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
        frames_.append(QIcon(QStringLiteral(":/icons/tray/a%1").arg(i)));
    idle_ = QIcon(QStringLiteral(":/icons/tray/0"));
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

void StatusItem::setImage(const QString& name, const QIcon& icon) {
    currentImage_ = name;
    tray_.setIcon(icon);
}
