// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// What the machine does that a stream waiting to reconnect cares about: the network coming back
// (Qt's network information, NetworkManager's on Linux) and sleep (logind's PrepareForSleep on
// the system bus). Without either service it stays silent. Main thread.
class SystemWatcher : public QObject {
    Q_OBJECT
public:
    explicit SystemWatcher(QObject* parent = nullptr);

Q_SIGNALS:
    // The machine is online again after it was not.
    void networkUp();
    void aboutToSleep();
    void resumed();

private Q_SLOTS:
    void prepareForSleep(bool sleeping);
};
