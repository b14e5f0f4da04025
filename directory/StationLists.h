// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QUrl>
#include <functional>
#include <limits>
#include <optional>

class CloudMirror;
class ListFileStore;

// The favourite and recent station lists: replaced whole on every change, announced, written to
// their files by background tasks and handed to the cloud mirror.
//
// Lists are changed on the main thread and read by save tasks on other threads (hence the
// mutex). While the launch's cloud fetch is out, the changes made here are kept as edits, to be
// made again on top of whatever list the cloud record hands over.
class StationLists : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kNotFound = std::numeric_limits<qint64>::max();
    static constexpr int kMaxFavorites = 20;
    static constexpr int kMaxRecents = 7;
    static inline const QString kFavoritesCloudField = QStringLiteral("favorite_stations");
    static inline const QString kRecentsCloudField = QStringLiteral("recent_stations");

    struct Environment {
        QUrl favoritesURL;
        QUrl recentsURL;
        ListFileStore* files = nullptr; // must outlive this object
        CloudMirror* cloud = nullptr;   // none: the lists stay on this machine
        std::function<void()> beep;     // the alert sound; no sound when empty
    };

    // Reads the two list files; a missing or damaged one is an empty list.
    explicit StationLists(const Environment& environment, QObject* parent = nullptr);
    // Waits for the saves still queued: they read the lists.
    ~StationLists() override;

    // Index of the first list entry with the station's "stationuuid", or kNotFound.
    static qsizetype indexOfStation(const Station& station, const StationList& stations);

    StationList favoriteStations() const;
    void setFavoriteStations(const StationList& stations);
    StationList recentStations() const;
    void setRecentStations(const StationList& stations);
    QUrl favoriteStationsURL() const { return env_.favoritesURL; }
    QUrl recentStationsURL() const { return env_.recentsURL; }

    bool isFavoriteStation(const Station& station) const;
    bool isRecentStation(const Station& station) const;
    void addFavoriteStation(const Station& station);
    void removeFavoriteStation(const Station& station);
    // Direction not 0: one place towards the front; 0: one place towards the end.
    void moveFavoriteStation(const Station& station, int direction);
    void addRecentStation(const Station& station);
    // Writes a list as it is now to its file and the cloud, as add/remove/move do (setting a
    // list does not write it).
    void saveFavoriteStations() { saveList(true); }
    void saveRecentStations() { saveList(false); }
    // Blocks until every queued list save has been written and, on the main thread, handed to
    // the cloud mirror.
    void waitForSaves();
    // A change of one list: the new list, or nothing when it does not change. Made and saved
    // like add/remove/move (and made again on top of a list the cloud hands over meanwhile).
    using ListEdit = std::function<std::optional<StationList>(StationList)>;
    void editFavoriteStations(const ListEdit& edit) { editList(true, edit); }
    void editRecentStations(const ListEdit& edit) { editList(false, edit); }

    // Writes a list file; with a cloud field name the same bytes go to the cloud record.
    // Blocks: call it off the main thread. Thread-safe.
    void writeStations(const StationList& stations, const QUrl& fileUrl, const QString& ckKey = QString());

    // ---- The cloud copy
    // Once per launch, at the end of start-up.
    void ckFetch();
    // Until the launch's fetch has ended, no save goes to the cloud (the mirror holds them)
    // and the list changes made here are kept, to be made again on top of a takeover.
    bool isCloudFetchPending() const { return cloudFetchPending_; }
    // The cloud record's list replaces this one; changes made here while the fetch was out
    // are made again on top of it and saved. Returns whether there were any. Main thread.
    bool takeOverFromCloud(const QString& field, const StationList& stations);
    // The mirror calls this once the launch's fetch has been handled, whatever its outcome.
    void cloudFetchFinished();
    // The bytes of one list file for the cloud record's field of the same name.
    void ckSave(const QString& field, const QByteArray& bytes);

Q_SIGNALS:
    // Every assignment of a list, on the main thread, with the new list.
    void favoriteStationsChanged(const StationList& stations);
    void recentStationsChanged(const StationList& stations);
    // The launch's cloud fetch has been handled: the lists are the ones to build on.
    void cloudFetchEnded();

private:
    void editList(bool favorites, const ListEdit& edit);
    // Queues the one save task of a list change.
    void saveList(bool favorites);

    Environment env_;
    // A list and the count of its assignments: a save hands its bytes to the cloud only while
    // nothing newer was assigned.
    struct KeptList {
        StationList stations;
        quint64 revision = 0;
    };
    mutable QMutex listsMutex_;
    KeptList favorites_;
    KeptList recents_;
    bool cloudFetchPending_ = false;
    QList<ListEdit> favoriteEdits_; // made while the launch's fetch was out
    QList<ListEdit> recentEdits_;
};
