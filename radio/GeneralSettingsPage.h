// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <functional>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class SleepTimer;
class UserDefaults;
class WakeUpAlarm;
class WakeUpAlarmView;

// The "General" tab: start at login, notifications of new titles, splitting recordings, the
// sleep timer and the wake-up alarm.
class GeneralSettingsPage : public QWidget {
    Q_OBJECT
public:
    struct Hooks {
        std::function<bool()> startsAtLogin;
        std::function<bool(bool on, QString* error)> setStartAtLogin;
        std::function<void(bool on)> setNotify;
        std::function<StationList()> favourites; // the stations the alarm may play
    };

    GeneralSettingsPage(SleepTimer& timer, UserDefaults& defaults, Hooks hooks, WakeUpAlarm* alarm = nullptr,
                        QWidget* parent = nullptr);

    QCheckBox* startAtLogin;
    QCheckBox* notifyOnNewTitle;
    QCheckBox* splitRecordings;
    QComboBox* sleepChoice;
    QLabel* sleepLeft;
    WakeUpAlarmView* alarmView = nullptr; // with an alarm only
    QLabel* status;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showTimer();

    SleepTimer& timer_;
    UserDefaults& defaults_;
    Hooks hooks_;
};
