// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <QList>
#include <QObject>
#include <QTimer>

// Stops playback after a chosen number of minutes. The last kFadeSeconds lower the player's
// volume step by step; once playback has stopped the volume goes back to the user's setting,
// so the next start is as loud as before. The clock is injected so the fade can be checked
// without waiting.
class SleepTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int kFadeSeconds = 30;
    static inline const QList<int> kChoices = {15, 30, 60, 90}; // minutes offered, besides "Off"

    struct Hooks {
        std::function<void(double factor)> setFade; // 1 = the user's volume, 0 = silent
        std::function<void()> stop;
    };
    using Clock = std::function<qint64()>; // milliseconds, monotonic

    explicit SleepTimer(Hooks hooks, Clock clock = {}, QObject* parent = nullptr);

    // Starts (or restarts) the countdown; 0 minutes turns the timer off.
    void start(int minutes);
    void cancel() { start(0); }
    bool isActive() const { return minutes_ > 0; }
    int minutes() const { return minutes_; }
    qint64 remainingMs() const;
    // "25 min left", "40 s left", or empty when off.
    QString remainingText() const;

    // Advances the countdown to the clock's time; the internal timer calls it.
    void tick();

Q_SIGNALS:
    // Started, stopped, or the remaining text changed.
    void changed();

private:
    void setFade(double factor);

    Hooks hooks_;
    Clock clock_;
    QTimer timer_;
    int minutes_ = 0;
    qint64 deadline_ = 0;
    double fade_ = 1.0;
    QString shownText_;
};
