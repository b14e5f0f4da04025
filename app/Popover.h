#pragma once

#include <QWidget>

// The panel that holds the popover's content: a borderless popup anchored to the tray icon
// that closes when the user clicks elsewhere, or, once detached, a normal window.
class Popover : public QWidget {
    Q_OBJECT
public:
    explicit Popover(QWidget* content, QWidget* parent = nullptr);

    bool isDetached() const { return detached_; }
    bool isShown() const { return isVisible(); }

    // Shows the panel attached, next to `anchor` (the icon's geometry) or, without one, at the
    // pointer; always inside the screen.
    void showRelativeTo(const QRect& anchor);
    // Turns the panel into a normal window where it is.
    void detach();
    // Where an attached panel of `size` goes for an icon at `anchor` on a screen `available`.
    static QPoint placement(const QRect& anchor, const QPoint& pointer, const QSize& size, const QRect& available);

Q_SIGNALS:
    void aboutToShow();
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool detached_ = false;
};
