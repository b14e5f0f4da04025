// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class PopoverView;
class RadioBrowser;

// The server tab's choice of the directory server: the directory's own name for any server
// first, then the servers it lists, and a warning item for a current server it does not list.
class ServerChoice : public QObject {
    Q_OBJECT
public:
    // Both must outlive the choice.
    ServerChoice(RadioBrowser& api, PopoverView& view, QObject* parent = nullptr);

    // Asks for the servers and fills the list, the current one chosen.
    void refresh();
    // Uses `server` from now on (an empty one, the warning item's, changes nothing).
    void choose(const QString& server);

private:
    RadioBrowser& api_;
    PopoverView& view_;
};
