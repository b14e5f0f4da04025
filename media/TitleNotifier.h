// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

class PlaybackControl;

// "Notify on new title": a desktop notification (org.freedesktop.Notifications) each time the
// stream's now-playing title changes, with the station's name and picture. Each notification
// replaces the previous one, so a long evening leaves one bubble, not a pile. Placeholders
// and warnings are no title (the control reports them empty) and never notify.
class TitleNotifier : public QObject {
    Q_OBJECT
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
    static inline const QString kAppIcon = QStringLiteral("org.ostrel.Radio");

    explicit TitleNotifier(PlaybackControl& playback, QDBusConnection bus = QDBusConnection::sessionBus(),
                           QObject* parent = nullptr);

    // Off by default. Turning it on notifies from the next change, not for what plays now.
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool isEnabled() const { return enabled_; }

private:
    void playbackChanged();
    void send();

    PlaybackControl& playback_;
    QDBusConnection bus_;
    bool enabled_ = false;
    QString station_;
    QString title_;
    uint shownId_ = 0;     // the notification on screen, to be replaced by the next one
    bool waiting_ = false; // a Notify call has not answered yet
    bool queued_ = false;  // a newer title arrived meanwhile
};
