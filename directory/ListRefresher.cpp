// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/ListRefresher.h"

#include "directory/OwnStations.h"
#include "directory/RadioBrowser.h"
#include "directory/StationValidation.h"
#include "util/UserDefaults.h"

#include <QHash>
#include <QSet>
#include <QLoggingCategory>
#include <QPointer>

Q_DECLARE_LOGGING_CATEGORY(lcDirectory)

namespace {
constexpr qint64 kDaySecs = 24 * 60 * 60;
} // namespace

ListRefresher::ListRefresher(RadioBrowser* api, UserDefaults* defaults, QObject* parent)
    : QObject(parent), api_(api), defaults_(defaults) {}

bool ListRefresher::isUnlisted(const Station& station) {
    return station.value(kUnlistedKey).toInteger() != 0;
}

StationList ListRefresher::refreshed(const StationList& list, const StationList& fresh) {
    QSet<QString> listed;
    QHash<QString, Station> usable;
    for (const Station& station : fresh) {
        const QString uuid = station.string(Station::Key::StationUuid).toLower();
        listed.insert(uuid);
        // Checked one by one: two favourites of one name and bit rate are no duplicates here.
        const StationList valid = stationvalidation::validatedStations({station});
        if (!valid.isEmpty())
            usable.insert(uuid, valid.first());
    }
    StationList result;
    result.reserve(list.size());
    for (const Station& station : list) {
        const QString uuid = station.string(Station::Key::StationUuid).toLower();
        if (OwnStations::isOwn(station)) {
            result.append(station); // the directory does not know it, and must not mark it
        } else if (const auto found = usable.constFind(uuid); found != usable.constEnd()) {
            result.append(*found);
        } else if (listed.contains(uuid) || isUnlisted(station)) {
            result.append(station); // a new copy that is unusable: keep the one that works
        } else {
            Station::Builder marked(station);
            marked.setInteger(kUnlistedKey, 1);
            result.append(marked.build());
        }
    }
    return result;
}

void ListRefresher::refreshIfDue(const QDateTime& now) {
    if (api_->isCloudFetchPending()) {
        // The lists to refresh are the ones the cloud may be about to hand over.
        connect(api_, &RadioBrowser::cloudFetchEnded, this, [this, now] { refreshIfDue(now); },
                Qt::SingleShotConnection);
        return;
    }
    const qint64 last = defaults_->integer(settingskeys::kLastListRefresh);
    const qint64 nowSecs = now.toSecsSinceEpoch();
    if (last > 0 && nowSecs - last >= 0 && nowSecs - last < kDaySecs)
        return;
    QStringList uuids;
    for (const StationList& list : {api_->favoriteStations(), api_->recentStations()}) {
        for (const Station& station : list) {
            const QString uuid = station.string(Station::Key::StationUuid);
            if (!uuid.isEmpty() && !uuids.contains(uuid) && !OwnStations::isOwn(station))
                uuids.append(uuid);
        }
    }
    if (uuids.isEmpty()) {
        Q_EMIT finished(true);
        return;
    }
    QPointer<ListRefresher> self(this); // quitting may come first
    api_->requestStationsByUUID(uuids, [self, this, nowSecs](Expected<StationList> fresh) {
        if (!self)
            return;
        if (!fresh.ok()) {
            qCWarning(lcDirectory, "Could not refresh the station lists: %s", qUtf8Printable(fresh.error().message));
            Q_EMIT finished(false);
            return;
        }
        // The lists may have changed while the request was out: merge into the current ones.
        const StationList favorites = refreshed(api_->favoriteStations(), *fresh);
        if (favorites != api_->favoriteStations()) {
            api_->setFavoriteStations(favorites);
            api_->saveFavoriteStations();
        }
        const StationList recents = refreshed(api_->recentStations(), *fresh);
        if (recents != api_->recentStations()) {
            api_->setRecentStations(recents);
            api_->saveRecentStations();
        }
        defaults_->setValue(settingskeys::kLastListRefresh, nowSecs);
        Q_EMIT finished(true);
    });
}
