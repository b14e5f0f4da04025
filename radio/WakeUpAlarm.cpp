// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/WakeUpAlarm.h"

#include "radio/PlaybackSession.h"
#include "util/SettingsKeys.h"
#include "util/UserDefaults.h"

#include <QLoggingCategory>
#include <algorithm>

Q_LOGGING_CATEGORY(lcAlarm, "ostrel.radio.alarm", QtInfoMsg)

namespace {
constexpr int kAllDays = 0x7f;
const QString kTimeFormat = QStringLiteral("HH:mm");
} // namespace

WakeUpAlarm::Schedule WakeUpAlarm::Schedule::load(const UserDefaults& defaults) {
    Schedule s;
    s.enabled = defaults.value(settingskeys::kAlarmEnabled).toBool();
    if (const QTime time = QTime::fromString(defaults.string(settingskeys::kAlarmTime), kTimeFormat); time.isValid())
        s.time = time;
    if (defaults.contains(settingskeys::kAlarmWeekdays))
        s.weekdays = int(defaults.integer(settingskeys::kAlarmWeekdays)) & kAllDays;
    s.stationUuid = defaults.string(settingskeys::kAlarmStation);
    return s;
}

void WakeUpAlarm::Schedule::save(UserDefaults& defaults) const {
    defaults.setValue(settingskeys::kAlarmEnabled, enabled);
    defaults.setValue(settingskeys::kAlarmTime, time.toString(kTimeFormat));
    defaults.setValue(settingskeys::kAlarmWeekdays, weekdays);
    defaults.setValue(settingskeys::kAlarmStation, stationUuid);
}

WakeUpAlarm::WakeUpAlarm(UserDefaults& defaults, PlaybackSession& session, Hooks hooks, Clock clock,
                         QObject* parent)
    : QObject(parent)
    , defaults_(defaults)
    , session_(session)
    , hooks_(std::move(hooks))
    , clock_(std::move(clock))
    , schedule_(Schedule::load(defaults)) {
    if (!clock_)
        clock_ = [] { return QDateTime::currentDateTime(); };
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &WakeUpAlarm::tick);
    connect(&session_, &PlaybackSession::stateChanged, this, &WakeUpAlarm::stateChanged);
    checkedUntil_ = clock_();
    schedule(checkedUntil_);
}

void WakeUpAlarm::setSchedule(const Schedule& schedule) {
    schedule_ = schedule;
    schedule_.weekdays &= kAllDays;
    schedule_.save(defaults_);
    if (!schedule_.enabled && ringing_)
        endRinging();
    checkedUntil_ = std::max(checkedUntil_, clock_()); // a time set for this very minute waits a day
    this->schedule(checkedUntil_);
    Q_EMIT changed();
}

QDateTime WakeUpAlarm::nextDue(const Schedule& schedule, const QDateTime& after) {
    if (!schedule.enabled || !(schedule.weekdays & kAllDays) || !schedule.time.isValid())
        return {};
    const QDate today = after.date();
    for (int days = 0; days <= 7; ++days) {
        const QDate date = today.addDays(days);
        if (!schedule.isOn(Qt::DayOfWeek(date.dayOfWeek())))
            continue;
        QDateTime due(date, schedule.time);
        if (!due.isValid()) // the hour skipped when daylight-saving time starts: the hour after
            due = QDateTime(date, schedule.time.addSecs(3600));
        if (due > after)
            return due;
    }
    return {};
}

QDateTime WakeUpAlarm::nextDue() const {
    return nextDue(schedule_, checkedUntil_);
}

void WakeUpAlarm::tick() {
    const QDateTime now = clock_();
    if (ringing_) {
        if (rangAt_.secsTo(now) >= kRingMinutes * 60) {
            qCInfo(lcAlarm, "Wake-up alarm: left ringing for %d minutes, ended", kRingMinutes);
            endRinging();
        } else {
            if (fadeFrom_.isValid())
                setFade(std::min(1.0, fadeFrom_.msecsTo(now) / (kFadeSeconds * 1000.0)));
            if (silentSince_.isValid() && silentSince_.secsTo(now) >= kSilenceSeconds && !tone_) {
                qCInfo(lcAlarm, "Wake-up alarm: no sound for %d s, sounding the tone", kSilenceSeconds);
                setTone(true);
            }
        }
    }
    const QDateTime due = nextDue();
    // Never back: a clock set back a little must not ring the same alarm twice.
    checkedUntil_ = std::max(checkedUntil_, now);
    if (due.isValid() && due <= now) {
        if (due.secsTo(now) > kLateMinutes * 60)
            qCInfo(lcAlarm, "Wake-up alarm of %s missed (the machine was asleep)", qPrintable(due.toString(Qt::ISODate)));
        else if (!ringing_)
            ring(now);
    }
    schedule(now);
}

void WakeUpAlarm::schedule(const QDateTime& now) {
    if (ringing_) {
        timer_.start(fadeFrom_.isValid() && fade_ < 1.0 ? 250 : 1000); // small fade steps sound smooth
        return;
    }
    const QDateTime due = nextDue();
    if (!due.isValid()) {
        timer_.stop();
        return;
    }
    // Checked at least once a minute: the timer does not count while the machine sleeps.
    timer_.start(int(std::clamp<qint64>(now.msecsTo(due), 0, 60'000)));
}

void WakeUpAlarm::ring(const QDateTime& now) {
    const Station station = hooks_.favourite ? hooks_.favourite(schedule_.stationUuid) : Station();
    ringing_ = true;
    rangAt_ = silentSince_ = now;
    fadeFrom_ = QDateTime();
    Q_EMIT changed();
    if (station.isNull()) {
        qCInfo(lcAlarm, "Wake-up alarm: its station is no favourite any more, sounding the tone");
        setTone(true);
        return;
    }
    if (session_.state() == PlaybackSession::State::Playing &&
        station.string(Station::Key::StationUuid) == session_.station().string(Station::Key::StationUuid)) {
        fadeFrom_ = now; // already heard: nothing to fade in
        setFade(1.0);
        return;
    }
    qCInfo(lcAlarm, "Wake-up alarm: playing %s", qPrintable(station.string(Station::Key::Name)));
    setFade(0.0);
    starting_ = true;
    if (hooks_.play)
        hooks_.play(station);
    starting_ = false;
    if (!session_.isActive() && session_.state() != PlaybackSession::State::Failed) {
        qCInfo(lcAlarm, "Wake-up alarm: the station cannot be played, sounding the tone");
        setTone(true);
    }
}

void WakeUpAlarm::stateChanged() {
    if (!ringing_)
        return;
    using State = PlaybackSession::State;
    switch (session_.state()) {
    case State::Playing:
        silentSince_ = QDateTime();
        setTone(false);
        if (!fadeFrom_.isValid()) // the fade starts with the first sound, however long loading took
            fadeFrom_ = clock_();
        schedule(clock_());
        break;
    case State::Loading:
        if (!starting_)
            endRinging(); // the listener plays something: the alarm has done its work
        break;
    case State::Reconnecting:
    case State::Failed:
        if (!silentSince_.isValid())
            silentSince_ = clock_();
        break;
    case State::Stopped:
        // A failing stream passes through Stopped on its way to Failed; only a stop that stays
        // is the listener's.
        if (!starting_)
            QTimer::singleShot(0, this, [this] {
                if (ringing_ && session_.state() == PlaybackSession::State::Stopped)
                    endRinging();
            });
        break;
    }
}

void WakeUpAlarm::endRinging() {
    ringing_ = false;
    silentSince_ = fadeFrom_ = QDateTime();
    setTone(false);
    setFade(1.0);
    schedule(clock_());
    Q_EMIT changed();
}

void WakeUpAlarm::setFade(double factor) {
    if (factor == fade_)
        return;
    fade_ = factor;
    if (hooks_.setFade)
        hooks_.setFade(factor);
}

void WakeUpAlarm::setTone(bool on) {
    if (on == tone_)
        return;
    tone_ = on;
    if (hooks_.setTone)
        hooks_.setTone(on);
}
