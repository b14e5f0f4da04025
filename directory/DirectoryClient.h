// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/HttpFetcher.h"
#include "directory/ServerDiscovery.h"
#include "directory/StationDirectory.h"

#include <QObject>
#include <QThreadPool>

class ServerFailover;
class UserDefaults;

// The station directory over HTTP: the stored server (or one that stood in for it when it
// failed), server discovery, and the replies parsed and validated on worker threads.
class DirectoryClient : public QObject, public StationDirectory {
    Q_OBJECT
public:
    static inline const QString kDefaultServer = QStringLiteral("all.api.radio-browser.info");
    static inline const QString kDiscoveryServer = serverdiscovery::kDefaultHost;

    struct Environment {
        UserDefaults* defaults = nullptr; // the stored server
        HttpFetcher* http = nullptr;
        QString discovery;      // host or base URL of server discovery; empty: kDiscoveryServer
        QString serverOverride; // host or base URL used for this run without being stored
        serverdiscovery::SrvLookup srvLookup = {}; // DNS look-up of the servers; none: the system's resolver
    };

    // Stores kDefaultServer when no server is stored yet.
    explicit DirectoryClient(const Environment& environment, QObject* parent = nullptr);
    ~DirectoryClient() override;

    QString server() const override;
    // The user's choice: stored, and it wins over the command line's and a stand-in server.
    void setServer(const QString& server) override;
    void requestServers(ServersCompletion completion) override;
    void requestCountries(CountriesCompletion completion) override;
    void requestStations(const QString& countryCode, bool refresh, StationsCompletion completion) override;
    void requestSearch(const StationSearch& search, int offset, bool refresh, StationsCompletion completion) override;
    void requestStationsByUUID(const QStringList& uuids, StationsCompletion completion) override;
    void incrementClick(const QString& uuid) override;
    void vote(const QString& uuid, VoteCompletion completion) override;

private:
    // The list of servers that a discovery host serves.
    void requestServerList(const QString& discovery, ServersCompletion completion);
    // Parses (and with `validate`, validates) a station array off the main thread.
    void completeWithStations(HttpFetcher::Reply reply, bool validate, StationsCompletion completion);
    QUrl apiURL(const QString& base, const QString& path, const QList<std::pair<QString, QString>>& query = {}) const;
    // Runs `work` on a worker thread, then `done` with its result on the main thread.
    template <typename T> void inBackground(std::function<T()> work, std::function<void(T)> done);

    Environment env_;
    QString server_;
    ServerFailover* failover_;
    QStringList discovered_; // the discovery list, once fetched
    QThreadPool workers_;
};
