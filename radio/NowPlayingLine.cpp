// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/NowPlayingLine.h"

#include "radio/PlaybackSession.h"

NowPlayingLine::NowPlayingLine(const PlaybackSession& session, QObject* parent) : QObject(parent), session_(session) {
    countdown_.setInterval(1000);
    connect(&countdown_, &QTimer::timeout, this, &NowPlayingLine::update);
    connect(&session, &PlaybackSession::stateChanged, this, &NowPlayingLine::update);
    connect(&session, &PlaybackSession::titleChanged, this, &NowPlayingLine::update);
    connect(&session, &PlaybackSession::stationChanged, this, &NowPlayingLine::update);
}

QString NowPlayingLine::textFor(const PlaybackSession& session) {
    // A warning or "Reconnecting…" stays until sound comes again.
    if (!session.reason().isEmpty())
        return kWarningPrefix + session.reason();
    if (session.state() == PlaybackSession::State::Reconnecting) {
        // Whole seconds, rounded up: "in 0 s" would read as a try already under way.
        const qint64 ms = session.nextRetry().remainingTime();
        return ms > 0 ? tr("Reconnecting… next try in %1 s").arg((ms + 999) / 1000) : tr("Reconnecting…");
    }
    if (session.station().isNull())
        return QString();
    return session.title().isEmpty() ? liveBroadcastText() : session.title();
}

void NowPlayingLine::update() {
    const bool waiting = session_.state() == PlaybackSession::State::Reconnecting && !session_.nextRetry().hasExpired();
    if (waiting && !countdown_.isActive())
        countdown_.start();
    else if (!waiting)
        countdown_.stop();
    const QString text = textFor(session_);
    if (text == text_)
        return;
    text_ = text;
    Q_EMIT changed(text);
}
