// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QWidget>

// The panel that holds the popover's content: a borderless panel anchored to the tray icon
// that closes on Escape and when the user turns to another window or clicks elsewhere, or,
// once detached, a normal window. It is a tool window, not a popup: assistive technology does
// not see popups, so the popup's closing rules are kept here by hand.
class Popover : public QWidget {
    Q_OBJECT
public:
    explicit Popover(QWidget* content, QWidget* parent = nullptr);

    bool isDetached() const { return detached_; }
    bool isShown() const { return isVisible(); }

    // Shows the panel attached, next to `anchor` (the icon's geometry) or, without one, at the
    // pointer; always inside the screen.
    void showRelativeTo(const QRect& anchor);
    // Moves the panel as showRelativeTo places it, without showing it.
    void placeRelativeTo(const QRect& anchor);
    // Turns the panel into a normal window where it is.
    void detach();
    // The program's window where no tray holds the panel: framed, resizable, at the place and
    // size of `geometry` (from saveGeometry()) or a comfortable size of its own; hidden.
    void becomeWindow(const QByteArray& geometry);
    // Where an attached panel of `size` goes for an icon at `anchor` on a screen `available`.
    static QPoint placement(const QRect& anchor, const QPoint& pointer, const QSize& size, const QRect& available);

    // Closed by losing the focus within the last moment: a click on the tray icon that took
    // the focus should close the panel, not open it again.
    bool justClosedByFocusLoss() const;

Q_SIGNALS:
    void aboutToShow();
    void closed();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    static constexpr Qt::WindowFlags kAttachedFlags =
        Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;

    static constexpr QSize kWindowSize{480, 720};

    bool detached_ = false;
    QElapsedTimer closedByFocusLoss_;
};
