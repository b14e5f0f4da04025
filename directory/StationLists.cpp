// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/StationLists.h"

#include "directory/CloudMirror.h"
#include "directory/ListFileStore.h"
#include "util/FileURLs.h"

#include <QCoreApplication>
#include <QThread>

StationLists::StationLists(const Environment& environment, QObject* parent)
    : QObject(parent), env_(environment) {
    // A missing file is the first start, not an error worth a log line.
    auto readIfThere = [this](const QUrl& url) {
        return fileurls::exists(url) ? env_.files->read(url).value_or(StationList()) : StationList();
    };
    favorites_.stations = readIfThere(env_.favoritesURL);
    recents_.stations = readIfThere(env_.recentsURL);
}

StationLists::~StationLists() {
    env_.files->waitForWrites();
}

qsizetype StationLists::indexOfStation(const Station& station, const StationList& stations) {
    const StationValue uuid = station.value(Station::Key::StationUuid);
    if (!uuid.isString())
        return kNotFound;
    for (qsizetype i = 0; i < stations.size(); ++i) {
        const StationValue other = stations[i].value(Station::Key::StationUuid);
        if (other.isString() && other.utf8() == uuid.utf8())
            return i;
    }
    return kNotFound;
}

StationList StationLists::favoriteStations() const {
    QMutexLocker lock(&listsMutex_);
    return favorites_.stations;
}

void StationLists::setFavoriteStations(const StationList& stations) {
    {
        QMutexLocker lock(&listsMutex_);
        favorites_.stations = stations;
        ++favorites_.revision;
    }
    Q_EMIT favoriteStationsChanged(stations);
}

StationList StationLists::recentStations() const {
    QMutexLocker lock(&listsMutex_);
    return recents_.stations;
}

void StationLists::setRecentStations(const StationList& stations) {
    {
        QMutexLocker lock(&listsMutex_);
        recents_.stations = stations;
        ++recents_.revision;
    }
    Q_EMIT recentStationsChanged(stations);
}

bool StationLists::isFavoriteStation(const Station& station) const {
    return indexOfStation(station, favoriteStations()) != kNotFound;
}

bool StationLists::isRecentStation(const Station& station) const {
    return indexOfStation(station, recentStations()) != kNotFound;
}

void StationLists::addFavoriteStation(const Station& station) {
    editList(true, [station](StationList list) -> std::optional<StationList> {
        if (indexOfStation(station, list) != kNotFound)
            return std::nullopt;
        list.prepend(station);
        if (list.size() > kMaxFavorites)
            list.resize(kMaxFavorites);
        return list;
    });
}

void StationLists::removeFavoriteStation(const Station& station) {
    editList(true, [station](StationList list) -> std::optional<StationList> {
        const qsizetype index = indexOfStation(station, list);
        if (index == kNotFound)
            return std::nullopt;
        const Station stored = list.at(index); // the stored entry, not the one passed in
        list.removeAll(stored);
        return list;
    });
}

void StationLists::moveFavoriteStation(const Station& station, int direction) {
    const bool towardsFront = direction != 0;
    auto atEnd = [towardsFront](const StationList& list, qsizetype index) {
        return index != kNotFound && (towardsFront ? index == 0 : index == list.size() - 1);
    };
    const StationList current = favoriteStations();
    if (atEnd(current, indexOfStation(station, current))) {
        if (env_.beep)
            env_.beep();
        return;
    }
    editList(true, [station, towardsFront, atEnd](StationList list) -> std::optional<StationList> {
        const qsizetype index = indexOfStation(station, list);
        if (index == kNotFound || atEnd(list, index))
            return std::nullopt;
        list.move(index, towardsFront ? index - 1 : index + 1);
        return list;
    });
}

void StationLists::addRecentStation(const Station& station) {
    editList(false, [station](StationList list) -> std::optional<StationList> {
        if (indexOfStation(station, list) != kNotFound)
            return std::nullopt; // a station played again keeps its place
        list.prepend(station);
        if (list.size() > kMaxRecents)
            list.resize(kMaxRecents);
        return list;
    });
}

void StationLists::editList(bool favorites, const ListEdit& edit) {
    const std::optional<StationList> changed = edit(favorites ? favoriteStations() : recentStations());
    if (!changed)
        return;
    if (cloudFetchPending_) // made again on top of whatever the cloud hands over
        (favorites ? favoriteEdits_ : recentEdits_).append(edit);
    if (favorites)
        setFavoriteStations(*changed);
    else
        setRecentStations(*changed);
    saveList(favorites);
}

void StationLists::saveList(bool favorites) {
    const QUrl fileUrl = favorites ? env_.favoritesURL : env_.recentsURL;
    env_.files->runLocked(fileUrl, [this, favorites, fileUrl] {
        // The list is read when the task runs, under the file's lock: whichever task writes
        // last writes the list as last assigned.
        KeptList kept;
        {
            QMutexLocker lists(&listsMutex_);
            kept = favorites ? favorites_ : recents_;
        }
        const QByteArray bytes = env_.files->writeLocked(kept.stations, fileUrl);
        // Handed over on the main thread, and only while the list is still the one written:
        // a later assignment has a save of its own, or came from the cloud record itself.
        const QString field = favorites ? kFavoritesCloudField : kRecentsCloudField;
        QMetaObject::invokeMethod(
            this,
            [this, favorites, field, bytes, revision = kept.revision] {
                QMutexLocker lists(&listsMutex_);
                const bool current = (favorites ? favorites_ : recents_).revision == revision;
                lists.unlock();
                if (current)
                    ckSave(field, bytes);
            },
            Qt::QueuedConnection);
    });
}

void StationLists::waitForSaves() {
    env_.files->waitForWrites();
    if (thread() == QThread::currentThread())
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall); // the cloud hand-overs
}

void StationLists::writeStations(const StationList& stations, const QUrl& fileUrl, const QString& ckKey) {
    const QByteArray bytes = env_.files->write(stations, fileUrl);
    if (!ckKey.isEmpty())
        ckSave(ckKey, bytes); // also when the file could not be written
}

// ---- The cloud copy

void StationLists::ckFetch() {
    if (!env_.cloud)
        return;
    // Until the record has been taken over (or found stale), changes here are kept to be made
    // again on top of it, and no save reaches the cloud: it would overwrite another machine's
    // newer lists with this machine's older ones.
    cloudFetchPending_ = true;
    env_.cloud->fetch(*this);
}

bool StationLists::takeOverFromCloud(const QString& field, const StationList& stations) {
    const bool favorites = field == kFavoritesCloudField;
    StationList list = stations;
    bool edited = false;
    for (const ListEdit& edit : favorites ? favoriteEdits_ : recentEdits_) {
        if (std::optional<StationList> changed = edit(list)) {
            list = std::move(*changed);
            edited = true;
        }
    }
    if (favorites)
        setFavoriteStations(list);
    else
        setRecentStations(list);
    if (edited) // the record lacks the changes made here meanwhile
        saveList(favorites);
    return edited;
}

void StationLists::cloudFetchFinished() {
    cloudFetchPending_ = false;
    favoriteEdits_.clear();
    recentEdits_.clear();
    Q_EMIT cloudFetchEnded();
}

void StationLists::ckSave(const QString& field, const QByteArray& bytes) {
    if (env_.cloud)
        env_.cloud->save(field, bytes);
}
