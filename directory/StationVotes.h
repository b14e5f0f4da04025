// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class UserDefaults;

// The directory counts one vote per station and listener every ten minutes. Remembering our
// own votes (across restarts) spares the directory requests it would refuse anyway.
class StationVotes {
public:
    static constexpr qint64 kIntervalSeconds = 600;

    explicit StationVotes(UserDefaults* defaults) : defaults_(defaults) {}

    // Seconds until a vote for the station counts again; 0 when it counts now.
    qint64 secondsUntilNextVote(const QString& stationUUID, qint64 nowSecs) const;
    void recordVote(const QString& stationUUID, qint64 nowSecs);

private:
    UserDefaults* defaults_;
};
