// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/SleepTimerMenu.h"

#include "radio/SleepTimer.h"

#include <QActionGroup>

SleepTimerMenu::SleepTimerMenu(SleepTimer& timer, QWidget* parent)
    : QMenu(parent)
    , timer_(timer)
    , choices_(new QActionGroup(this)) {
    QList<int> minutes{0};
    minutes += SleepTimer::kChoices;
    for (int m : minutes) {
        QAction* action = addAction(m == 0 ? tr("Off") : tr("%1 minutes").arg(m));
        action->setCheckable(true);
        action->setData(m);
        choices_->addAction(action);
        connect(action, &QAction::triggered, this, [this, m] { timer_.start(m); });
    }
    connect(&timer_, &SleepTimer::changed, this, &SleepTimerMenu::showTimer);
    showTimer();
}

void SleepTimerMenu::showTimer() {
    const QString left = timer_.remainingText();
    setTitle(left.isEmpty() ? tr("Sleep timer") : tr("Sleep timer (%1)").arg(left));
    for (QAction* action : choices_->actions())
        action->setChecked(action->data().toInt() == timer_.minutes());
}
