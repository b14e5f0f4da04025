// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QDateTime>
#include <QObject>

class RadioBrowser;
class UserDefaults;

// Once a day, at start, brings the favourite and recent stations up to date from the directory:
// names, addresses, icons and tags change in place. A station the directory no longer lists is
// kept and marked, never deleted: the listener chose it.
class ListRefresher : public QObject {
    Q_OBJECT
public:
    // The key of the mark, a number 1; list files keep it, so it travels with the lists.
    static constexpr std::string_view kUnlistedKey = "ostrel_unlisted";

    ListRefresher(RadioBrowser* api, UserDefaults* defaults, QObject* parent = nullptr);

    // Asks the directory unless that was done successfully less than a day before `now`; after
    // the launch's cloud fetch, when that is still out.
    void refreshIfDue(const QDateTime& now);

    static bool isUnlisted(const Station& station);
    // `list` with each station replaced by its copy in `fresh` (same "stationuuid"), unless that
    // copy is unusable, and the stations missing from `fresh` marked unlisted. The user's own
    // stations stay as they are.
    static StationList refreshed(const StationList& list, const StationList& fresh);

Q_SIGNALS:
    void finished(bool ok);

private:
    RadioBrowser* api_;
    UserDefaults* defaults_;
};
