// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/DirectoryClient.h"

#include "directory/DirectoryJson.h"
#include "directory/ServerFailover.h"
#include "directory/StationValidation.h"
#include "util/RemoteText.h"
#include "util/SettingsKeys.h"
#include "util/UserDefaults.h"

#include <QJsonDocument>
#include <QLoggingCategory>
#include <QUrlQuery>

Q_DECLARE_LOGGING_CATEGORY(lcDirectory)

namespace {
const QString& kServerKey = settingskeys::kRadioServer;

// "host" means https://host; a full http(s) URL is used as it is, so a user can point the
// program at a mirror of their own.
QUrl baseURL(const QString& server) {
    if (server.contains(QLatin1String("://")))
        return QUrl(server);
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(server);
    return url;
}

QString describe(const QVariant& json) {
    if (!json.isValid())
        return QStringLiteral("(null)");
    return QString::fromUtf8(QJsonDocument::fromVariant(json).toJson(QJsonDocument::Compact));
}
} // namespace

DirectoryClient::DirectoryClient(const Environment& environment, QObject* parent)
    : QObject(parent), env_(environment) {
    failover_ = new ServerFailover(
        env_.http,
        [this](ServerFailover::ServersCompletion done) {
            if (!discovered_.isEmpty()) {
                done(discovered_);
                return;
            }
            requestServers([this, done](Expected<QStringList> servers) {
                discovered_ = servers.valueOr({});
                done(discovered_);
            });
        },
        this);
    if (!env_.srvLookup)
        env_.srvLookup = serverdiscovery::dnsLookup();
    workers_.setMaxThreadCount(2);

    server_ = env_.defaults->string(kServerKey);
    if (server_.isEmpty()) {
        server_ = kDefaultServer;
        env_.defaults->setValue(kServerKey, server_);
    }
}

DirectoryClient::~DirectoryClient() {
    workers_.waitForDone(); // parsers hand their results to this object
}

QString DirectoryClient::server() const {
    if (!env_.serverOverride.isEmpty())
        return env_.serverOverride;
    return failover_->replacement().isEmpty() ? server_ : failover_->replacement();
}

void DirectoryClient::setServer(const QString& server) {
    server_ = server;
    env_.serverOverride.clear(); // the user's choice wins over the command line's
    failover_->clearReplacement(); // and over a server that stood in for a failed one
    env_.defaults->setValue(kServerKey, server);
}

QUrl DirectoryClient::apiURL(const QString& base, const QString& path,
                             const QList<std::pair<QString, QString>>& query) const {
    QUrl url = baseURL(base);
    QString basePath = url.path(QUrl::FullyEncoded);
    while (basePath.endsWith(u'/'))
        basePath.chop(1);
    url.setPath(basePath + path, QUrl::TolerantMode);
    if (!query.isEmpty()) {
        QUrlQuery items;
        for (const auto& [key, value] : query)
            items.addQueryItem(key, value);
        url.setQuery(items);
    }
    return url;
}

template <typename T> void DirectoryClient::inBackground(std::function<T()> work, std::function<void(T)> done) {
    workers_.start([this, work = std::move(work), done = std::move(done)] {
        T result = work();
        QMetaObject::invokeMethod(this, [done, result = std::move(result)] { done(result); }, Qt::QueuedConnection);
    });
}

void DirectoryClient::requestServers(ServersCompletion completion) {
    const QString discovery = env_.discovery.isEmpty() ? kDiscoveryServer : env_.discovery;
    auto failure = std::make_shared<Error>(); // the list's, when DNS named no server either
    serverdiscovery::discover(
        discovery, env_.srvLookup, this,
        [this, discovery, failure](serverdiscovery::ServersCompletion done) {
            requestServerList(discovery, [done = std::move(done), failure](Expected<QStringList> servers) {
                *failure = servers.error();
                done(servers.valueOr({}), servers.error().message);
            });
        },
        [completion = std::move(completion), failure](QStringList servers, QString) {
            if (servers.isEmpty() && !failure->ok())
                completion(*failure);
            else
                completion(std::move(servers));
        });
}

void DirectoryClient::requestServerList(const QString& discovery, ServersCompletion completion) {
    // Servers come and go: a day-old list is asked for again, and serves while the host is down.
    env_.http->get(apiURL(discovery, QStringLiteral("/json/servers")), HttpFetcher::CachePolicy::CacheForADay,
                   [this, completion = std::move(completion)](HttpFetcher::Reply reply) {
        if (!reply.ok()) {
            completion(reply.error);
            return;
        }
        inBackground<Expected<QStringList>>([body = std::move(reply.body)] { return directoryjson::parseServerNames(body); },
                                            completion);
    });
}

void DirectoryClient::requestCountries(CountriesCompletion completion) {
    failover_->get(server(),
                   [this](const QString& server) {
                       return apiURL(server, QStringLiteral("/json/countries"),
                                     {{QStringLiteral("order"), QStringLiteral("name")}});
                   },
                   HttpFetcher::CachePolicy::CacheForADay, [this, completion = std::move(completion)](HttpFetcher::Reply reply) {
        if (!reply.ok()) {
            completion(reply.error);
            return;
        }
        inBackground<Expected<QJsonArray>>([body = std::move(reply.body)] { return directoryjson::parseCountries(body); },
                                           completion);
    });
}

void DirectoryClient::completeWithStations(HttpFetcher::Reply reply, bool validate, StationsCompletion completion) {
    if (!reply.ok()) {
        completion(reply.error);
        return;
    }
    inBackground<Expected<StationList>>(
        [validate, body = std::move(reply.body)]() -> Expected<StationList> {
            Expected<StationList> stations = directoryjson::parseStationArray(body);
            if (validate && stations.ok())
                return stationvalidation::validatedStations(*stations);
            return stations;
        },
        completion);
}

void DirectoryClient::requestStations(const QString& countryCode, bool refresh, StationsCompletion completion) {
    const QString path = QStringLiteral("/json/stations/bycountrycodeexact/") +
                         QString::fromLatin1(QUrl::toPercentEncoding(countryCode));
    failover_->get(
        server(),
        [this, path](const QString& server) {
            return apiURL(server, path, {{QStringLiteral("hidebroken"), QStringLiteral("true")}});
        },
        refresh ? HttpFetcher::CachePolicy::RefreshCache : HttpFetcher::CachePolicy::CacheFirst,
        [this, completion](HttpFetcher::Reply reply) { completeWithStations(std::move(reply), true, completion); });
}

void DirectoryClient::requestSearch(const StationSearch& search, int offset, bool refresh, StationsCompletion completion) {
    const auto query = search.queryItems(offset);
    failover_->get(
        server(), [this, query](const QString& server) { return apiURL(server, QStringLiteral("/json/stations/search"), query); },
        refresh ? HttpFetcher::CachePolicy::RefreshCache : HttpFetcher::CachePolicy::CacheFirst,
        [this, completion](HttpFetcher::Reply reply) { completeWithStations(std::move(reply), true, completion); });
}

void DirectoryClient::requestStationsByUUID(const QStringList& uuids, StationsCompletion completion) {
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("uuids"), uuids.join(u','));
    failover_->post(
        server(), [this](const QString& server) { return apiURL(server, QStringLiteral("/json/stations/byuuid")); },
        form.toString(QUrl::FullyEncoded).toUtf8(),
        [this, completion](HttpFetcher::Reply reply) { completeWithStations(std::move(reply), false, completion); });
}

void DirectoryClient::incrementClick(const QString& uuid) {
    if (uuid.isEmpty())
        return;
    const QString path = QStringLiteral("/json/url/") + QString::fromLatin1(QUrl::toPercentEncoding(uuid));
    // Never from the cache: a stored reply would count nothing.
    failover_->get(server(), [this, path](const QString& server) { return apiURL(server, path); },
                   HttpFetcher::CachePolicy::NoCache, [](HttpFetcher::Reply reply) {
        if (!reply.ok()) {
            qCWarning(lcDirectory, "Failed to increment request : %s", qUtf8Printable(remote::forLog(reply.error.message)));
            return;
        }
        const QVariant parsed = reply.body.isEmpty() ? QVariant(QVariantMap()) : directoryjson::parseAny(reply.body);
        qCInfo(lcDirectory, "Response for increment request : %s", qUtf8Printable(remote::forLog(describe(parsed))));
    });
}

void DirectoryClient::vote(const QString& uuid, VoteCompletion completion) {
    const QString path = QStringLiteral("/json/vote/") + QString::fromLatin1(QUrl::toPercentEncoding(uuid));
    failover_->get(server(), [this, path](const QString& server) { return apiURL(server, path); },
                   HttpFetcher::CachePolicy::NoCache, [completion](HttpFetcher::Reply reply) {
        if (!reply.ok()) {
            completion(reply.error);
            return;
        }
        const QVariantMap answer = directoryjson::parseAny(reply.body).toMap();
        completion(VoteAnswer{answer.value(QStringLiteral("ok")).toBool(),
                              answer.value(QStringLiteral("message")).toString()});
    });
}
