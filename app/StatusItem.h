// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

class QMenu;

// The tray icon: tooltip "Ostrel Radio", the idle image "0", and while a stream plays the
// frames "a0".."a19", one a second, drawn in the palette's text colour with an outline in its
// window colour. It reports clicks, middle clicks and the mouse wheel.
class StatusItem : public QObject {
    Q_OBJECT
public:
    static constexpr int kFrameCount = 20;

    explicit StatusItem(QObject* parent = nullptr);

    void setContextMenu(QMenu* menu) { tray_.setContextMenu(menu); }
    void show();
    // The icon's place on screen; empty where the tray host does not tell (StatusNotifierItem).
    QRect geometry() const { return tray_.geometry(); }
    // The tray host has put the icon into its panel. Until then the icon is a window of its own
    // where it was made, at the top left of the screen, and its geometry tells nothing.
    bool isPlaced() const;

    // Starting twice keeps one timer; stopping shows the idle image.
    void statusItemAnimates(bool animate);
    bool isAnimating() const { return timer_.isActive(); }
    // The frame the next tick shows.
    int framePosition() const { return position_; }
    QString currentImageName() const { return currentImage_; }
    QIcon icon() const { return tray_.icon(); }
    // Draws the icon again in the application's new palette.
    void paletteChanged();

Q_SIGNALS:
    void clicked();
    void middleClicked();
    // The wheel turned over the icon, in notches: positive away from the user. A tray host
    // speaking StatusNotifierItem sends no wheel to Qt 6 (its Scroll call is dropped there); the
    // XEmbed icon is a window of ours and gets the wheel.
    void scrolled(int notches);
    // The host has placed the icon (once after show). The toolkit does not say when, so the
    // geometry is watched for a while.
    void placed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kPlacementChecks = 300; // 30 s, as long as a login waits for the tray

    void loadFrames();
    void watchPlacement();
    void tick();
    void setImage(const QString& name, const QIcon& icon);

    QSystemTrayIcon tray_;
    QList<QIcon> frames_;
    QIcon idle_;
    QTimer timer_;
    QTimer placement_;
    int placementChecks_ = 0;
    QRect unplaced_; // where the icon was before the host took it
    int position_ = 0;
    QString currentImage_;
    int wheelDelta_ = 0; // eighths of a degree not yet a whole notch (touchpads, smooth wheels)
};
