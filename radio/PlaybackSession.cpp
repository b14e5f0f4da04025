// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/PlaybackSession.h"

#include <algorithm>

void PlaybackSession::setStation(const Station& station) {
    if (station == station_)
        return;
    station_ = station;
    setState(State::Stopped);
    setTitle(QString());
    setFormat(QString());
    Q_EMIT stationChanged(station_);
}

void PlaybackSession::setState(State state, const QString& reason) {
    // A retry keeps the failure's reason until sound comes or the listener stops.
    const QString why = state == State::Failed ? reason : state == State::Loading ? reason_ : QString();
    if (state == state_ && why == reason_)
        return;
    state_ = state;
    if (state_ != State::Reconnecting)
        nextRetry_ = QDeadlineTimer(0);
    reason_ = why;
    if (state_ != State::Playing && state_ != State::Reconnecting)
        setFormat(QString()); // only a stream that plays has one
    Q_EMIT stateChanged(state_, reason_);
}

void PlaybackSession::setReconnecting(std::chrono::milliseconds delay) {
    nextRetry_ = QDeadlineTimer(delay);
    if (state_ == State::Reconnecting)
        Q_EMIT stateChanged(state_, reason_); // the same state, a new time to show
    else
        setState(State::Reconnecting);
}

void PlaybackSession::setTitle(const QString& title) {
    if (title == title_)
        return;
    title_ = title;
    Q_EMIT titleChanged(title_);
}

void PlaybackSession::setFormat(const QString& format) {
    if (format == format_)
        return;
    format_ = format;
    Q_EMIT formatChanged(format_);
}

void PlaybackSession::setVolume(double volume) {
    volume = std::clamp(volume, 0.0, 1.0);
    if (volume == volume_)
        return;
    volume_ = volume;
    Q_EMIT volumeChanged(volume_);
}
