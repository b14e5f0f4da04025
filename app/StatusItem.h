#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

class QMenu;

// The tray icon: tooltip "Ostrel Radio", the idle image "0", and while a stream plays the
// frames "a0".."a19", one a second.
class StatusItem : public QObject {
    Q_OBJECT
public:
    static constexpr int kFrameCount = 20;

    explicit StatusItem(QObject* parent = nullptr);

    void setContextMenu(QMenu* menu) { tray_.setContextMenu(menu); }
    void show() { tray_.show(); }
    // The icon's place on screen; empty where the tray host does not tell (StatusNotifierItem).
    QRect geometry() const { return tray_.geometry(); }

    // Starting twice keeps one timer; stopping shows the idle image.
    void statusItemAnimates(bool animate);
    bool isAnimating() const { return timer_.isActive(); }
    // The frame the next tick shows.
    int framePosition() const { return position_; }
    QString currentImageName() const { return currentImage_; }

Q_SIGNALS:
    void clicked();
    void middleClicked();

private:
    void loadFrames();
    void tick();
    void setImage(const QString& name, const QIcon& icon);

    QSystemTrayIcon tray_;
    QList<QIcon> frames_;
    QIcon idle_;
    QTimer timer_;
    int position_ = 0;
    QString currentImage_;
};
