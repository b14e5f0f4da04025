// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/SortMenu.h"

#include "util/SettingsKeys.h"
#include "util/UserDefaults.h"

#include <QActionGroup>

SortMenu::SortMenu(UserDefaults& defaults, QWidget* parent) : QMenu(parent), defaults_(defaults) {
    auto* group = new QActionGroup(this);
    const QString titles[] = {tr("Most votes"), tr("Most played"), tr("Name"), tr("Tags")};
    for (int order = 0; order < 4; ++order) {
        QAction* item = addAction(titles[order]);
        item->setCheckable(true);
        item->setData(order);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, order] {
            defaults_.setValue(settingskeys::kRadioStationsSortBy, order);
            Q_EMIT sortChanged();
        });
    }
    connect(this, &QMenu::aboutToShow, this, &SortMenu::showStored);
}

void SortMenu::showStored() {
    const qint64 stored = defaults_.integer(settingskeys::kRadioStationsSortBy);
    for (QAction* item : actions())
        item->setChecked(item->data().toLongLong() == stored);
}
