// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/DirectoryClient.h"
#include "directory/ServerDiscovery.h"
#include "directory/Station.h"
#include "directory/StationDirectory.h"
#include "directory/StationFields.h"
#include "directory/StationLists.h"
#include "directory/StationSearch.h"
#include "directory/StationVotes.h"

#include <QJsonArray>
#include <QObject>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

class CloudMirror;
class ListFileStore;
class UserDefaults;

// The station directory and the favourite and recent lists, as the rest of the program meets
// them: one instance per process, created by the application at start-up. It composes
//  - a StationDirectory (a DirectoryClient over HTTP, unless the environment gives one), with
//    the country listing files in front of it and the rules for clicks and votes;
//  - the StationLists, which keep the two lists, their files and the cloud hand-off;
//  - the ListFileStore that writes every list file.
// The display operations on single stations are StationFields'.
//
// Every completion runs exactly once, on the main thread, with a value or an Error.
//
// Tests that need no directory server give a fake one (tests/support/FakeStationDirectory.h):
//     FakeStationDirectory directory;
//     RadioBrowser::Environment env;
//     env.supportURL = QUrl::fromLocalFile(dataFolder);
//     env.defaults = &defaults;
//     env.directory = &directory; // no HttpFetcher needed then
//     RadioBrowser api(env);
// DirectoryFixture(StationDirectory&) in tests/support/DirectoryFixture.h does just that, with
// its own data folder and settings: DirectoryFixture f(directory); f.api->...
class RadioBrowser : public QObject, public StationFields {
    Q_OBJECT
public:
    static constexpr qsizetype kNotFound = StationLists::kNotFound;
    static constexpr int kMaxFavorites = StationLists::kMaxFavorites;
    static constexpr int kMaxRecents = StationLists::kMaxRecents;
    static inline const QString& kDefaultServer = DirectoryClient::kDefaultServer;
    static inline const QString& kDiscoveryServer = DirectoryClient::kDiscoveryServer;
    static inline const QString& kFavoritesCloudField = StationLists::kFavoritesCloudField;
    static inline const QString& kRecentsCloudField = StationLists::kRecentsCloudField;

    struct Environment {
        QUrl supportURL;           // the application's data folder
        UserDefaults* defaults = nullptr;
        HttpFetcher* http = nullptr;
        QString discovery;         // host or base URL of server discovery; empty: kDiscoveryServer
        QString serverOverride;    // host or base URL used for this run without being stored
        std::function<void()> beep; // the alert sound; no sound when empty
        CloudMirror* cloud = nullptr; // none: the lists stay on this machine
        serverdiscovery::SrvLookup srvLookup = {}; // DNS look-up of the servers; none: the system's resolver
        // The directory to ask; none: a DirectoryClient over `http` with the fields above.
        // Must outlive the RadioBrowser.
        StationDirectory* directory = nullptr;
    };

    using ServersCompletion = StationDirectory::ServersCompletion;
    using CountriesCompletion = StationDirectory::CountriesCompletion;
    using StationsCompletion = StationDirectory::StationsCompletion;
    // A text to show either way.
    using VoteCompletion = std::function<void(bool counted, QString message)>;

    // Runs _prepare: folders, stored server, the two lists, the launch's cloud fetch.
    explicit RadioBrowser(const Environment& environment, QObject* parent = nullptr);
    ~RadioBrowser() override;

    StationDirectory& directory() const { return *directory_; }
    StationLists& lists() const { return *lists_; }

    // ---- Directory
    QString server() const { return directory_->server(); }
    void setServer(const QString& server) { directory_->setServer(server); }
    void requestServers(ServersCompletion completion) { directory_->requestServers(std::move(completion)); }
    void requestCountries(CountriesCompletion completion) { directory_->requestCountries(std::move(completion)); }
    // Without refresh the country's listing file answers when it holds stations; the stations
    // from the directory are written to it after the completion ran.
    void requestStationsForCountryCode(const QString& code, bool refresh, StationsCompletion completion);
    void incrementClickForStationWithUID(const QString& uid);
    // The same for a station, unless it is the user's own: the directory never hears of those.
    void incrementClickForStation(const Station& station);
    // One page (StationSearch::kPageSize stations) of a search of the whole directory, validated
    // like a country's stations. Cached like other directory replies; `refresh` asks the network.
    void requestSearch(const StationSearch& search, int offset, bool refresh, StationsCompletion completion) {
        directory_->requestSearch(search, offset, refresh, std::move(completion));
    }
    // The stations with these identifiers that the directory still lists, as sent.
    void requestStationsByUUID(const QStringList& uuids, StationsCompletion completion) {
        directory_->requestStationsByUUID(uuids, std::move(completion));
    }
    // At most one counted vote per station every ten minutes, none for the user's own stations;
    // the completion gets a text to show.
    void voteForStation(const Station& station, qint64 nowSecs, VoteCompletion completion);
    QUrl listingsURL() const { return listingsURL_; }
    // The listing file of a country, or an empty URL when the code cannot name a file.
    QUrl listingURLForCountryCode(const QString& code) const;

    // ---- Favourite and recent lists (StationLists')
    StationList favoriteStations() const { return lists_->favoriteStations(); }
    void setFavoriteStations(const StationList& stations) { lists_->setFavoriteStations(stations); }
    StationList recentStations() const { return lists_->recentStations(); }
    void setRecentStations(const StationList& stations) { lists_->setRecentStations(stations); }
    QUrl favoriteStationsURL() const { return lists_->favoriteStationsURL(); }
    QUrl recentStationsURL() const { return lists_->recentStationsURL(); }

    bool isFavoriteStation(const Station& station) const { return lists_->isFavoriteStation(station); }
    bool isRecentStation(const Station& station) const { return lists_->isRecentStation(station); }
    void addFavoriteStation(const Station& station) { lists_->addFavoriteStation(station); }
    void removeFavoriteStation(const Station& station) { lists_->removeFavoriteStation(station); }
    // Direction not 0: one place towards the front; 0: one place towards the end.
    void moveFavoriteStation(const Station& station, int direction) { lists_->moveFavoriteStation(station, direction); }
    void addRecentStation(const Station& station) { lists_->addRecentStation(station); }
    void saveFavoriteStations() { lists_->saveFavoriteStations(); }
    void saveRecentStations() { lists_->saveRecentStations(); }
    // Blocks until every queued file write has been made and the list saves handed to the cloud
    // (tests, and quitting).
    void waitForSaves() { lists_->waitForSaves(); }
    using ListEdit = StationLists::ListEdit;
    void editFavoriteStations(const ListEdit& edit) { lists_->editFavoriteStations(edit); }
    void editRecentStations(const ListEdit& edit) { lists_->editRecentStations(edit); }

    // ---- Cloud copy of the lists (StationLists')
    void ckFetch() { lists_->ckFetch(); }
    bool isCloudFetchPending() const { return lists_->isCloudFetchPending(); }
    bool takeOverFromCloud(const QString& field, const StationList& stations) {
        return lists_->takeOverFromCloud(field, stations);
    }
    void cloudFetchFinished() { lists_->cloudFetchFinished(); }
    void ckSave(const QString& field, const QByteArray& bytes) { lists_->ckSave(field, bytes); }

    // ---- Station list files
    // Index of the first list entry with the station's "stationuuid", or kNotFound.
    qsizetype indexOfStation(const Station& station, const StationList& stations) const {
        return StationLists::indexOfStation(station, stations);
    }
    // Only the text and number values: what the list files can hold.
    Station _prepareStationForWriting(const Station& station) const;
    // Writes a list file, replacing the old one atomically; writes of one file never overlap.
    // With a cloud field name the same bytes go to the cloud record. Blocks: call it off the
    // main thread. Thread-safe.
    void writeStations(const StationList& stations, const QUrl& fileUrl, const QString& ckKey = QString()) {
        lists_->writeStations(stations, fileUrl, ckKey);
    }
    // The list in a file, or nothing when the file is missing, empty or not a station list.
    std::optional<StationList> readStationsFromURL(const QUrl& fileUrl) const;
    void writeStation(const Station& station, const QUrl& fileUrl) { writeStations(StationList{station}, fileUrl); }
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

    Environment env_;
    StationVotes votes_;
    QUrl listingsURL_;
    std::unique_ptr<ListFileStore> files_; // goes last: the lists' saves use it
    std::unique_ptr<DirectoryClient> ownDirectory_;
    StationDirectory* directory_ = nullptr;
    std::unique_ptr<StationLists> lists_;
};
