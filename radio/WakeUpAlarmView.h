// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QGroupBox>
#include <QList>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QTimeEdit;
class WakeUpAlarm;

// The wake-up alarm's part of the "General" tab: on or off, the time, the weekdays (in the
// order of the user's week) and the favourite it plays, and when it rings next.
class WakeUpAlarmView : public QGroupBox {
    Q_OBJECT
public:
    using Favourites = std::function<StationList()>;

    WakeUpAlarmView(WakeUpAlarm& alarm, Favourites favourites, QWidget* parent = nullptr);

    // The favourites may have changed since the tab was last shown.
    void refreshStations();

    QCheckBox* enabled;
    QTimeEdit* time;
    QList<QCheckBox*> days; // Monday first, whatever order they are shown in
    QComboBox* station;
    QLabel* next;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void store();
    void showSchedule();

    WakeUpAlarm& alarm_;
    Favourites favourites_;
};
