// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QDateTime>
#include <QObject>
#include <QTime>
#include <QTimer>
#include <functional>

class PlaybackSession;
class UserDefaults;

// Wakes the listener: at a time of day, on chosen weekdays, it plays a favourite and fades it in
// from silence to the set volume. The stream retries as any playback does; when no sound has come
// for a minute (the stream failed, or never started), a local tone sounds instead, until the
// station plays or the listener stops or starts playback. The schedule lives in the settings; the
// clock is injected so the alarm can be checked without waiting for the morning.
class WakeUpAlarm : public QObject {
    Q_OBJECT
public:
    static constexpr int kFadeSeconds = 30;
    static constexpr int kSilenceSeconds = 60; // without sound, then the tone
    // Later than this (the machine slept through the time) the alarm waits for its next day.
    static constexpr int kLateMinutes = 10;
    // Left alone, a ringing alarm (and its tone) ends after an hour.
    static constexpr int kRingMinutes = 60;

    struct Schedule {
        bool enabled = false;
        QTime time{7, 0};
        int weekdays = 0x1f; // bit (day - 1) for Qt::Monday (1) to Qt::Sunday (7): Monday to Friday
        QString stationUuid; // a favourite's "stationuuid"

        static Schedule load(const UserDefaults& defaults);
        void save(UserDefaults& defaults) const;
        bool isOn(Qt::DayOfWeek day) const { return weekdays & (1 << (day - 1)); }
        bool operator==(const Schedule&) const = default;
    };

    struct Hooks {
        std::function<Station(const QString& uuid)> favourite; // null when it is no favourite (now)
        std::function<void(const Station& station)> play;
        std::function<void(double factor)> setFade; // 1 = the set volume, 0 = silent
        std::function<void(bool on)> setTone;
    };
    using Clock = std::function<QDateTime()>; // local time

    WakeUpAlarm(UserDefaults& defaults, PlaybackSession& session, Hooks hooks, Clock clock = {},
                QObject* parent = nullptr);

    Schedule schedule() const { return schedule_; }
    // Stores the schedule; turning the alarm off also ends it while it rings.
    void setSchedule(const Schedule& schedule);
    // The first time the schedule goes off after `after` (local date and time, so a change of
    // daylight-saving time moves nothing); invalid when it never does.
    static QDateTime nextDue(const Schedule& schedule, const QDateTime& after);
    QDateTime nextDue() const;

    bool isRinging() const { return ringing_; }
    bool isToneOn() const { return tone_; }

    // Catches up with the clock; the internal timer calls it.
    void tick();

Q_SIGNALS:
    // The schedule changed, or the alarm started or stopped ringing.
    void changed();

private:
    void ring(const QDateTime& now);
    void stateChanged();
    void endRinging();
    void setFade(double factor);
    void setTone(bool on);
    void schedule(const QDateTime& now);

    UserDefaults& defaults_;
    PlaybackSession& session_;
    Hooks hooks_;
    Clock clock_;
    QTimer timer_;
    Schedule schedule_;
    QDateTime checkedUntil_; // due times up to here have been handled

    bool ringing_ = false;
    bool starting_ = false; // the alarm itself is asking for the station
    bool tone_ = false;
    double fade_ = 1.0;
    QDateTime rangAt_;
    QDateTime silentSince_; // invalid while the station sounds
    QDateTime fadeFrom_;    // when the station's sound first came; invalid before
};
