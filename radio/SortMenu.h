// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMenu>

class UserDefaults;

// The sort button's menu: most votes, most played, name, tags. The choice is stored in
// "radioStationsSortBy" (0 to 3); the menu shows the stored one each time it opens.
class SortMenu : public QMenu {
    Q_OBJECT
public:
    // `defaults` must outlive the menu.
    explicit SortMenu(UserDefaults& defaults, QWidget* parent = nullptr);

    // Checks the stored order's item.
    void showStored();

Q_SIGNALS:
    // The user chose an order; it is stored.
    void sortChanged();

private:
    UserDefaults& defaults_;
};
