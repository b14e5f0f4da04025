// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/HoverView.h"

#include <QCursor>
#include <QGraphicsOpacityEffect>
#include <QMetaMethod>
#include <QPropertyAnimation>

HoverView::HoverView(QWidget* parent) : QWidget(parent) {}

HoverView::~HoverView() {
    if (animation_)
        animation_->stop();
}

void HoverView::setTarget(QObject* target) {
    target_ = target;
}

void HoverView::setTargetView(QWidget* targetView) {
    if (animation_)
        animation_->stop();
    targetView_ = targetView;
    opacity_ = nullptr;
}

void HoverView::mouseEntered() {
    if (targetView_) {
        // A companion on show gets no new fade-in. One that is fading out stays shown: the
        // fade-out is called off rather than left to hide it under the pointer.
        if (targetView_->isHidden())
            fade(true);
        else if (fadingOut())
            keepShown();
        return;
    }
    tellTarget("mouseEnteredAction(HoverView*)", "mouseEntered()");
}

void HoverView::mouseExited() {
    if (targetView_) {
        if (!targetView_->isHidden() && !fadingOut())
            fade(false);
        return;
    }
    tellTarget("mouseExitedAction(HoverView*)", "mouseExited()");
}

void HoverView::tellTarget(const char* action, const char* fallback) {
    QObject* target = target_;
    if (!target)
        return;
    const QMetaObject* meta = target->metaObject();
    if (const int i = meta->indexOfMethod(QMetaObject::normalizedSignature(action)); i >= 0) {
        meta->method(i).invoke(target, Qt::DirectConnection, Q_ARG(HoverView*, this));
        return;
    }
    if (const int i = meta->indexOfMethod(fallback); i >= 0)
        meta->method(i).invoke(target, Qt::DirectConnection);
}

bool HoverView::fadingOut() const {
    return animation_ && animation_->endValue().toReal() == 0.0;
}

void HoverView::keepShown() {
    animation_->stop();
    if (opacity_)
        opacity_->setOpacity(1.0);
}

void HoverView::fade(bool in) {
    QWidget* view = targetView_;
    if (animation_)
        animation_->stop();
    if (!opacity_ || view->graphicsEffect() != opacity_) {
        opacity_ = new QGraphicsOpacityEffect(view);
        view->setGraphicsEffect(opacity_);
    }
    // An exit during the fade-in continues from where the fade stands.
    const qreal from = in && view->isHidden() ? 0.0 : opacity_->opacity();
    if (in) {
        opacity_->setOpacity(from);
        view->show();
    }
    auto* animation = new QPropertyAnimation(opacity_, "opacity", this);
    animation->setDuration(kFadeDurationMs);
    animation->setStartValue(from);
    animation->setEndValue(in ? 1.0 : 0.0);
    if (!in)
        connect(animation, &QPropertyAnimation::finished, view, &QWidget::hide);
    animation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void HoverView::updateTrackingAreas() {
    trackingAreasAdded();
}

void HoverView::trackingAreasAdded() {
    if (!isVisible())
        return;
    if (rect().contains(mapFromGlobal(QCursor::pos())))
        mouseEntered();
    else
        mouseExited();
}

void HoverView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    mouseEntered();
}

void HoverView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    mouseExited();
}

void HoverView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateTrackingAreas();
}

void HoverView::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    updateTrackingAreas();
}

void HoverView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateTrackingAreas();
}
