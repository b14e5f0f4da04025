// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/WakeUpAlarmView.h"

#include "radio/WakeUpAlarm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QSignalBlocker>
#include <QTimeEdit>

WakeUpAlarmView::WakeUpAlarmView(WakeUpAlarm& alarm, Favourites favourites, QWidget* parent)
    : QGroupBox(tr("Wake-up alarm"), parent), alarm_(alarm), favourites_(std::move(favourites)) {
    const QLocale locale;
    enabled = new QCheckBox(tr("Wake me at"), this);
    enabled->setToolTip(tr("Plays a favourite at this time on the chosen days, fading in over 30 seconds. "
                           "Ostrel Radio must be running, in the tray at least."));
    time = new QTimeEdit(this);
    time->setAccessibleName(tr("Alarm time"));
    time->setDisplayFormat(locale.timeFormat(QLocale::ShortFormat));
    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(enabled);
    timeRow->addWidget(time);
    timeRow->addStretch(1);

    auto* dayRow = new QHBoxLayout;
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day) {
        auto* box = new QCheckBox(locale.dayName(day, QLocale::ShortFormat), this);
        box->setAccessibleName(locale.dayName(day));
        days.append(box);
    }
    // The user's week: Sunday first in the United States, Monday first in most of Europe.
    for (int i = 0; i < 7; ++i)
        dayRow->addWidget(days.at((locale.firstDayOfWeek() - 1 + i) % 7));
    dayRow->addStretch(1);

    station = new QComboBox(this);
    station->setAccessibleName(tr("Alarm station"));
    auto* stationRow = new QHBoxLayout;
    stationRow->addWidget(new QLabel(tr("Station"), this));
    stationRow->addWidget(station, 1);
    next = new QLabel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(timeRow);
    layout->addLayout(dayRow);
    layout->addLayout(stationRow);
    layout->addWidget(next);

    connect(enabled, &QCheckBox::toggled, this, &WakeUpAlarmView::store);
    connect(time, &QTimeEdit::timeChanged, this, &WakeUpAlarmView::store);
    for (QCheckBox* box : days)
        connect(box, &QCheckBox::toggled, this, &WakeUpAlarmView::store);
    connect(station, &QComboBox::activated, this, &WakeUpAlarmView::store);
    connect(&alarm_, &WakeUpAlarm::changed, this, &WakeUpAlarmView::showSchedule);
    showSchedule();
    refreshStations();
}

void WakeUpAlarmView::showEvent(QShowEvent* event) {
    refreshStations();
    QGroupBox::showEvent(event);
}

void WakeUpAlarmView::refreshStations() {
    const QString chosen = alarm_.schedule().stationUuid;
    const QSignalBlocker block(station);
    station->clear();
    for (const Station& favourite : favourites_ ? favourites_() : StationList())
        station->addItem(favourite.string(Station::Key::Name), favourite.string(Station::Key::StationUuid));
    if (station->count() == 0) {
        station->addItem(tr("No favourites yet"));
        station->setEnabled(false);
        return;
    }
    station->setEnabled(true);
    if (chosen.isEmpty()) {
        store(); // the first favourite, as shown
        return;
    }
    if (station->findData(chosen) < 0)
        station->addItem(tr("A removed favourite (only a tone rings)"), chosen);
    station->setCurrentIndex(station->findData(chosen));
}

void WakeUpAlarmView::store() {
    WakeUpAlarm::Schedule schedule;
    schedule.enabled = enabled->isChecked();
    schedule.time = time->time();
    schedule.weekdays = 0;
    for (int i = 0; i < days.size(); ++i)
        schedule.weekdays |= days.at(i)->isChecked() ? 1 << i : 0;
    schedule.stationUuid = station->currentData().toString();
    if (schedule.stationUuid.isEmpty()) // no favourites: keep the one chosen before
        schedule.stationUuid = alarm_.schedule().stationUuid;
    if (!(schedule == alarm_.schedule()))
        alarm_.setSchedule(schedule);
}

void WakeUpAlarmView::showSchedule() {
    const WakeUpAlarm::Schedule schedule = alarm_.schedule();
    {
        const QSignalBlocker blockEnabled(enabled), blockTime(time);
        enabled->setChecked(schedule.enabled);
        time->setTime(schedule.time);
    }
    for (int i = 0; i < days.size(); ++i) {
        const QSignalBlocker block(days.at(i));
        days.at(i)->setChecked(schedule.weekdays & (1 << i));
    }
    const QDateTime due = alarm_.nextDue();
    const QLocale locale;
    if (!schedule.enabled)
        next->clear();
    else if (!due.isValid())
        next->setText(tr("Choose the days it rings."));
    else
        next->setText(tr("Next alarm: %1 at %2")
                          .arg(locale.dayName(due.date().dayOfWeek()), locale.toString(due.time(), QLocale::ShortFormat)));
}
