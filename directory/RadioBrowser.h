// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/HttpFetcher.h"
#include "directory/ServerDiscovery.h"
#include "directory/Station.h"
#include "directory/StationFields.h"
#include "directory/StationSearch.h"
#include "directory/StationVotes.h"

#include <QJsonArray>
#include <QMutex>
#include <QObject>
#include <QThreadPool>
#include <QUrl>
#include <functional>
#include <limits>
#include <optional>

class CloudMirror;
class FileLocks;
class ServerFailover;
class UserDefaults;

// The directory client and keeper of the favourite and recent station lists: one instance per
// process, created by the application at start-up.
//
// Requests are made on the main thread and parsed on worker threads; every completion runs
// exactly once, on the main thread, with either a result or a readable error. List changes
// happen on the main thread and are written to their files by background tasks, serialised
// per file. The display operations on single stations are StationFields'.
class RadioBrowser : public QObject, public StationFields {
    Q_OBJECT
public:
    static constexpr qsizetype kNotFound = std::numeric_limits<qint64>::max();
    static constexpr int kMaxFavorites = 20;
    static constexpr int kMaxRecents = 7;
    static inline const QString kDefaultServer = QStringLiteral("all.api.radio-browser.info");
    static inline const QString kDiscoveryServer = serverdiscovery::kDefaultHost;
    static inline const QString kFavoritesCloudField = QStringLiteral("favorite_stations");
    static inline const QString kRecentsCloudField = QStringLiteral("recent_stations");

    struct Environment {
        QUrl supportURL;           // the application's data folder
        UserDefaults* defaults = nullptr;
        HttpFetcher* http = nullptr;
        QString discovery;         // host or base URL of server discovery; empty: kDiscoveryServer
        QString serverOverride;    // host or base URL used for this run without being stored
        std::function<void()> beep; // the alert sound; no sound when empty
        CloudMirror* cloud = nullptr; // none: the lists stay on this machine
        serverdiscovery::SrvLookup srvLookup = {}; // DNS look-up of the servers; none: the system's resolver
    };

    using ServersCompletion = std::function<void(QStringList servers, QString error)>;
    using CountriesCompletion = std::function<void(std::optional<QJsonArray> countries, QString error)>;
    using StationsCompletion = std::function<void(std::optional<StationList> stations, QString error)>;
    using VoteCompletion = std::function<void(bool counted, QString message)>;

    // Runs _prepare: folders, stored server, the two lists.
    explicit RadioBrowser(const Environment& environment, QObject* parent = nullptr);
    ~RadioBrowser() override;

    // ---- Directory
    QString server() const;
    void setServer(const QString& server);
    void requestServers(ServersCompletion completion);
    void requestCountries(CountriesCompletion completion);
    void requestStationsForCountryCode(const QString& code, bool refresh, StationsCompletion completion);
    void incrementClickForStationWithUID(const QString& uid);
    // The same for a station, unless it is the user's own: the directory never hears of those.
    void incrementClickForStation(const Station& station);
    // One page (StationSearch::kPageSize stations) of a search of the whole directory, validated
    // like a country's stations. Cached like other directory replies; `refresh` asks the network.
    void requestSearch(const StationSearch& search, int offset, bool refresh, StationsCompletion completion);
    // The stations with these identifiers that the directory still lists, as sent.
    void requestStationsByUUID(const QStringList& uuids, StationsCompletion completion);
    // At most one counted vote per station every ten minutes, none for the user's own stations;
    // the completion gets a text to show.
    void voteForStation(const Station& station, qint64 nowSecs, VoteCompletion completion);
    QUrl listingsURL() const { return listingsURL_; }
    // The listing file of a country, or an empty URL when the code cannot name a file.
    QUrl listingURLForCountryCode(const QString& code) const;

    // ---- Favourite and recent lists
    StationList favoriteStations() const;
    void setFavoriteStations(const StationList& stations);
    StationList recentStations() const;
    void setRecentStations(const StationList& stations);
    QUrl favoriteStationsURL() const { return favoriteStationsURL_; }
    QUrl recentStationsURL() const { return recentStationsURL_; }

    bool isFavoriteStation(const Station& station) const;
    bool isRecentStation(const Station& station) const;
    void addFavoriteStation(const Station& station);
    void removeFavoriteStation(const Station& station);
    // Direction not 0: one place towards the front; 0: one place towards the end.
    void moveFavoriteStation(const Station& station, int direction);
    void addRecentStation(const Station& station);
    // Writes a list as it is now to its file and the cloud, as add/remove/move do (setting a
    // list does not write it).
    void saveFavoriteStations();
    void saveRecentStations();
    // Blocks until every queued list save has been written (tests, and quitting).
    void waitForSaves();
    // A change of one list: the new list, or nothing when it does not change. Made and saved
    // like add/remove/move (and made again on top of a list the cloud hands over meanwhile).
    using ListEdit = std::function<std::optional<StationList>(StationList)>;
    void editFavoriteStations(const ListEdit& edit) { editList(true, edit); }
    void editRecentStations(const ListEdit& edit) { editList(false, edit); }

    // ---- Cloud copy of the lists
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

    // ---- Station list files
    // Index of the first list entry with the station's "stationuuid", or kNotFound.
    qsizetype indexOfStation(const Station& station, const StationList& stations) const;
    // Only the text and number values: what the list files can hold.
    Station _prepareStationForWriting(const Station& station) const;
    // Writes a list file, replacing the old one atomically; writes of one file never overlap.
    // With a cloud field name the same bytes go to the cloud record. Blocks: call it off the
    // main thread. Thread-safe.
    void writeStations(const StationList& stations, const QUrl& fileUrl, const QString& ckKey = QString());
    // The list in a file, or nothing when the file is missing, empty or not a station list.
    std::optional<StationList> readStationsFromURL(const QUrl& fileUrl) const;
    void writeStation(const Station& station, const QUrl& fileUrl);
    // The same on a worker thread; of several queued writes to one file the last given wins.
    void writeStationLater(const Station& station, const QUrl& fileUrl);
    // The first station of a list file, or an absent station.
    Station readStationFromURL(const QUrl& fileUrl) const;

Q_SIGNALS:
    // Every assignment of a list, on the main thread, with the new list.
    void favoriteStationsChanged(const StationList& stations);
    void recentStationsChanged(const StationList& stations);
    // The launch's cloud fetch has been handled: the lists are the ones to build on.
    void cloudFetchEnded();

private:
    void _prepare();
    // The list of servers that a discovery host serves.
    void requestServerList(const QString& discovery, ServersCompletion completion);
    // Parses and validates a station array off the main thread.
    void completeWithStations(HttpFetcher::Reply reply, StationsCompletion completion, const QUrl& listing = QUrl());
    QUrl apiURL(const QString& base, const QString& path, const QList<std::pair<QString, QString>>& query = {}) const;
    void editList(bool favorites, const ListEdit& edit);
    // Queues the one save task of a list change.
    void saveList(bool favorites);
    // Writes the file and returns the bytes written (or that failed to be).
    QByteArray writeLocked(const StationList& stations, const QUrl& fileUrl);
    // Runs `work` on a worker thread, then `done` with its result on the main thread.
    template <typename T> void inBackground(std::function<T()> work, std::function<void(T)> done);

    Environment env_;
    QString server_;
    ServerFailover* failover_;
    StationVotes votes_;
    QStringList discovered_; // the discovery list, once fetched
    QUrl listingsURL_;
    QUrl favoriteStationsURL_;
    QUrl recentStationsURL_;

    // A list and the count of its assignments: a save hands its bytes to the cloud only while
    // nothing newer was assigned.
    struct KeptList {
        StationList stations;
        quint64 revision = 0;
    };
    mutable QMutex listsMutex_; // the lists are read by save tasks on other threads
    KeptList favorites_;
    KeptList recents_;
    bool cloudFetchPending_ = false;
    QList<ListEdit> favoriteEdits_; // made while the launch's fetch was out
    QList<ListEdit> recentEdits_;
    QHash<QString, Station> stationsToWrite_; // by file, for writeStationLater

    std::unique_ptr<FileLocks> fileLocks_;
    QThreadPool saves_;
    QThreadPool workers_;
};
