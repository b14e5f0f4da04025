// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>

// What the listener has loaded and hears: the station, the playback state and why it failed,
// the stream's current title and format, the volume. The controller drives it from the player;
// the panel, the tray icon, MPRIS, `--status`, notifications and the sleep timer read it, so no
// one has to read a widget's text to know what plays. Main thread; every setter signals only
// a change.
class PlaybackSession : public QObject {
    Q_OBJECT
public:
    enum class State {
        Stopped,      // nothing asked for, or stopped by the listener
        Loading,      // the stream is being opened; no sound yet
        Playing,      // sound comes out
        Reconnecting, // the stream dropped after playing and is being opened again
        Failed,       // the stream could not be played; reason() says why
    };
    Q_ENUM(State)

    using QObject::QObject;

    Station station() const { return station_; }
    // A new station: stopped, without title or format.
    void setStation(const Station& station);

    State state() const { return state_; }
    // Why the stream failed, in a few words: while Failed, and while Loading again after it.
    QString reason() const { return reason_; }
    void setState(State state, const QString& reason = QString());
    // Playing, or on the way to it: the listener wants to hear the station.
    bool isActive() const { return state_ == State::Loading || state_ == State::Playing || state_ == State::Reconnecting; }

    // While Reconnecting: when the player tries next; expired while a try is under way, and
    // outside Reconnecting.
    QDeadlineTimer nextRetry() const { return nextRetry_; }
    // Reconnecting, with the next try in `delay`.
    void setReconnecting(std::chrono::milliseconds delay);

    // The stream's current title, as sent; empty while it has sent none (or cleared it).
    QString title() const { return title_; }
    void setTitle(const QString& title);

    // "44.1kHz - 2ch" once the stream is ready, empty before and after.
    QString format() const { return format_; }
    void setFormat(const QString& format);

    // 0 to 1: the listener's setting, not the sleep timer's fade.
    double volume() const { return volume_; }
    void setVolume(double volume);

Q_SIGNALS:
    void stationChanged(const Station& station);
    void stateChanged(PlaybackSession::State state, const QString& reason);
    void titleChanged(const QString& title);
    void formatChanged(const QString& format);
    void volumeChanged(double volume);

private:
    Station station_;
    State state_ = State::Stopped;
    QString reason_;
    QDeadlineTimer nextRetry_{0};
    QString title_;
    QString format_;
    double volume_ = 1.0;
};
