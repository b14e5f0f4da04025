// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

class PlaybackSession;

// The panel's now-playing line, made from the session: the stream's title, "Live Broadcast"
// while it sends none, a warning, or the wait before the next try while reconnecting, counted
// down each second.
class NowPlayingLine : public QObject {
    Q_OBJECT
public:
    // `session` must outlive the line.
    explicit NowPlayingLine(const PlaybackSession& session, QObject* parent = nullptr);

    static QString liveBroadcastText() { return tr("Live Broadcast"); }
    static inline const QString kWarningPrefix = QStringLiteral("⚠️ ");
    // The line for a session as it is now.
    static QString textFor(const PlaybackSession& session);

    QString text() const { return text_; }
    // Makes the line anew from the session; `changed` when it reads otherwise.
    void update();

Q_SIGNALS:
    void changed(const QString& text);

private:
    const PlaybackSession& session_;
    QString text_;
    QTimer countdown_; // while reconnecting: "next try in N s"
};
