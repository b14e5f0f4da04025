// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/GeneralSettingsPage.h"

#include "radio/SleepTimer.h"
#include "radio/StreamRecorder.h"
#include "radio/WakeUpAlarmView.h"
#include "util/UserDefaults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

GeneralSettingsPage::GeneralSettingsPage(SleepTimer& timer, UserDefaults& defaults, Hooks hooks,
                                         WakeUpAlarm* alarm, QWidget* parent)
    : QWidget(parent)
    , timer_(timer)
    , defaults_(defaults)
    , hooks_(std::move(hooks)) {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(4, 12, 4, 4);
    startAtLogin = new QCheckBox(tr("Start at login"), this);
    startAtLogin->setToolTip(tr("Ostrel Radio starts quietly in the tray when you log in"));
    notifyOnNewTitle = new QCheckBox(tr("Notify on new title"), this);
    notifyOnNewTitle->setToolTip(tr("A desktop notification each time the song or show changes"));
    notifyOnNewTitle->setChecked(defaults_.value(settingskeys::kNotifyOnNewTitle).toBool());
    splitRecordings = new QCheckBox(tr("Split recordings at each new title"), this);
    splitRecordings->setToolTip(tr("Each song or show gets a file of its own, named after its title"));
    splitRecordings->setChecked(StreamRecorder::splitsAtTitles(defaults_));
    root->addWidget(startAtLogin);
    root->addWidget(notifyOnNewTitle);
    root->addWidget(splitRecordings);

    auto* sleepRow = new QHBoxLayout;
    sleepChoice = new QComboBox(this);
    sleepChoice->setAccessibleName(tr("Sleep timer"));
    sleepChoice->addItem(tr("Off"), 0);
    for (int minutes : SleepTimer::kChoices)
        sleepChoice->addItem(tr("%1 minutes").arg(minutes), minutes);
    sleepLeft = new QLabel(this);
    sleepRow->addWidget(new QLabel(tr("Sleep timer"), this));
    sleepRow->addWidget(sleepChoice);
    sleepRow->addWidget(sleepLeft, 1);
    root->addLayout(sleepRow);
    if (alarm) {
        alarmView = new WakeUpAlarmView(*alarm, hooks_.favourites, this);
        root->addWidget(alarmView);
    }
    status = new QLabel(this);
    status->setWordWrap(true);
    root->addWidget(status);
    root->addStretch(1);

    connect(startAtLogin, &QCheckBox::toggled, this, [this](bool on) {
        QString error;
        if (hooks_.setStartAtLogin && !hooks_.setStartAtLogin(on, &error)) {
            status->setText(error);
            const QSignalBlocker block(startAtLogin);
            startAtLogin->setChecked(!on);
            return;
        }
        status->clear();
    });
    connect(notifyOnNewTitle, &QCheckBox::toggled, this, [this](bool on) {
        defaults_.setValue(settingskeys::kNotifyOnNewTitle, on);
        if (hooks_.setNotify)
            hooks_.setNotify(on);
    });
    connect(splitRecordings, &QCheckBox::toggled, this,
            [this](bool on) { defaults_.setValue(settingskeys::kSplitRecordingsAtTitles, on); });
    connect(sleepChoice, &QComboBox::activated, this,
            [this](int index) { timer_.start(sleepChoice->itemData(index).toInt()); });
    connect(&timer_, &SleepTimer::changed, this, &GeneralSettingsPage::showTimer);
    showTimer();
}

void GeneralSettingsPage::showEvent(QShowEvent* event) {
    // The file may have been removed by hand or by the desktop's own settings meanwhile.
    const QSignalBlocker block(startAtLogin);
    startAtLogin->setChecked(hooks_.startsAtLogin && hooks_.startsAtLogin());
    QWidget::showEvent(event);
}

void GeneralSettingsPage::showTimer() {
    sleepChoice->setCurrentIndex(std::max(0, sleepChoice->findData(timer_.minutes())));
    sleepLeft->setText(timer_.remainingText());
}
