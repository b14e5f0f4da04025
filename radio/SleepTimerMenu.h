// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMenu>

class QActionGroup;
class SleepTimer;

// The sleep timer's choices as a menu ("Off", 15 to 90 minutes); its title shows the time left.
class SleepTimerMenu : public QMenu {
    Q_OBJECT
public:
    explicit SleepTimerMenu(SleepTimer& timer, QWidget* parent = nullptr);

private:
    void showTimer();

    SleepTimer& timer_;
    QActionGroup* choices_;
};
