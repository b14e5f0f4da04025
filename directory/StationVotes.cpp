// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/StationVotes.h"

#include "util/UserDefaults.h"

#include <QVariantMap>

qint64 StationVotes::secondsUntilNextVote(const QString& stationUUID, qint64 nowSecs) const {
    const QVariantMap votes = defaults_->value(settingskeys::kStationVotes).toMap();
    const auto last = votes.constFind(stationUUID);
    if (last == votes.constEnd())
        return 0;
    const qint64 elapsed = nowSecs - last->toLongLong();
    // A clock set back makes `elapsed` negative: wait no longer than one interval.
    return elapsed < 0 ? kIntervalSeconds : qMax<qint64>(0, kIntervalSeconds - elapsed);
}

void StationVotes::recordVote(const QString& stationUUID, qint64 nowSecs) {
    QVariantMap votes = defaults_->value(settingskeys::kStationVotes).toMap();
    for (auto it = votes.begin(); it != votes.end();) { // only recent votes matter
        const qint64 age = nowSecs - it->toLongLong();
        it = age >= kIntervalSeconds || age < 0 ? votes.erase(it) : std::next(it);
    }
    votes.insert(stationUUID, nowSecs);
    defaults_->setValue(settingskeys::kStationVotes, votes);
}
