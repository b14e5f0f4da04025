// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class QGraphicsOpacityEffect;
class QPropertyAnimation;

// A view that notices the pointer entering and leaving it, and then fades a companion view
// (`targetView`) in and out, or else tells a `target`.
//
// Qt reports entering and leaving only when the pointer moves; a view that moves or resizes
// under a still pointer re-checks where the pointer is (updateTrackingAreas) and hears about
// entering or leaving again.
class HoverView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFadeDurationMs = 250;

    explicit HoverView(QWidget* parent = nullptr);
    ~HoverView() override;

    // Held weakly; told of entering and leaving when there is no target view, through its
    // invokable `mouseEnteredAction(HoverView*)` and `mouseExitedAction(HoverView*)` when it
    // has them, else its invokable `mouseEntered()` and `mouseExited()`.
    QObject* target() const { return target_; }
    void setTarget(QObject* target);
    // Held weakly; shown and faded in while the pointer is over this view.
    QWidget* targetView() const { return targetView_; }
    void setTargetView(QWidget* targetView);

protected:
    virtual void mouseEntered();
    virtual void mouseExited();
    // After every change of geometry or visibility: brings the hover state in line with where
    // the pointer is now.
    virtual void updateTrackingAreas();
    void trackingAreasAdded();

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fade(bool in);
    bool fadingOut() const;
    void keepShown();
    void tellTarget(const char* action, const char* fallback);

    QPointer<QObject> target_;
    QPointer<QWidget> targetView_;
    QPointer<QGraphicsOpacityEffect> opacity_;
    QPointer<QPropertyAnimation> animation_;
};
