// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/SleepTimer.h"

#include <algorithm>
#include <QElapsedTimer>
#include <memory>

SleepTimer::SleepTimer(Hooks hooks, Clock clock, QObject* parent)
    : QObject(parent)
    , hooks_(std::move(hooks))
    , clock_(std::move(clock)) {
    if (!clock_) {
        auto elapsed = std::make_shared<QElapsedTimer>();
        elapsed->start();
        clock_ = [elapsed] { return elapsed->elapsed(); };
    }
    connect(&timer_, &QTimer::timeout, this, &SleepTimer::tick);
}

void SleepTimer::start(int minutes) {
    minutes_ = std::max(0, minutes);
    deadline_ = clock_() + qint64(minutes_) * 60'000;
    setFade(1.0); // a restart during the fade brings the volume back
    if (isActive())
        timer_.start(1000);
    else
        timer_.stop();
    shownText_ = remainingText();
    Q_EMIT changed();
}

qint64 SleepTimer::remainingMs() const {
    return isActive() ? std::max<qint64>(0, deadline_ - clock_()) : 0;
}

QString SleepTimer::remainingText() const {
    if (!isActive())
        return QString();
    const qint64 left = remainingMs();
    if (left < 60'000)
        return tr("%1 s left").arg((left + 999) / 1000);
    return tr("%1 min left").arg((left + 59'999) / 60'000);
}

void SleepTimer::tick() {
    if (!isActive())
        return;
    const qint64 left = remainingMs();
    if (left == 0) {
        // Stop while still silent, then give the volume back for the next start.
        minutes_ = 0;
        timer_.stop();
        if (hooks_.stop)
            hooks_.stop();
        setFade(1.0);
        shownText_.clear();
        Q_EMIT changed();
        return;
    }
    if (left <= kFadeSeconds * 1000) {
        setFade(double(left) / (kFadeSeconds * 1000));
        timer_.setInterval(250); // small steps, so the fade sounds smooth
    }
    if (const QString text = remainingText(); text != shownText_) {
        shownText_ = text;
        Q_EMIT changed();
    }
}

void SleepTimer::setFade(double factor) {
    if (factor == fade_)
        return;
    fade_ = factor;
    if (hooks_.setFade)
        hooks_.setFade(factor);
}
