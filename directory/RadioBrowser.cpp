// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/RadioBrowser.h"

#include "directory/CloudMirror.h"
#include "directory/DirectoryJson.h"
#include "directory/FileLocks.h"
#include "directory/OwnStations.h"
#include "directory/ServerFailover.h"
#include "directory/StationArchive.h"
#include "directory/StationValidation.h"
#include "util/RemoteText.h"
#include "util/FileURLs.h"
#include "util/UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSaveFile>
#include <QThread>
#include <QUrlQuery>

Q_LOGGING_CATEGORY(lcDirectory, "ostrel.directory")

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

RadioBrowser::RadioBrowser(const Environment& environment, QObject* parent)
    : QObject(parent), env_(environment), votes_(environment.defaults), fileLocks_(std::make_unique<FileLocks>()) {
    failover_ = new ServerFailover(
        env_.http,
        [this](ServerFailover::ServersCompletion done) {
            if (!discovered_.isEmpty()) {
                done(discovered_);
                return;
            }
            requestServers([this, done](QStringList servers, QString) {
                discovered_ = servers;
                done(servers);
            });
        },
        this);
    if (!env_.srvLookup)
        env_.srvLookup = serverdiscovery::dnsLookup();
    saves_.setMaxThreadCount(2);
    workers_.setMaxThreadCount(2);
    _prepare();
}

RadioBrowser::~RadioBrowser() {
    // Workers and saves use this object; let them end before it goes.
    workers_.waitForDone();
    saves_.waitForDone();
}

void RadioBrowser::_prepare() {
    const QDir support(env_.supportURL.toLocalFile());
    listingsURL_ = QUrl::fromLocalFile(support.filePath(QStringLiteral("Listings")));
    support.mkpath(QStringLiteral("Listings")); // a failure shows later, when a listing is written
    favoriteStationsURL_ = QUrl::fromLocalFile(support.filePath(QStringLiteral("favoriteStations.dat")));
    recentStationsURL_ = QUrl::fromLocalFile(support.filePath(QStringLiteral("recentStations.dat")));

    server_ = env_.defaults->string(kServerKey);
    if (server_.isEmpty()) {
        server_ = kDefaultServer;
        env_.defaults->setValue(kServerKey, server_);
    }

    // A missing file is the first start, not an error worth a log line.
    auto readIfThere = [this](const QUrl& url) {
        return fileurls::exists(url) ? readStationsFromURL(url).value_or(StationList()) : StationList();
    };
    favorites_.stations = readIfThere(favoriteStationsURL_);
    recents_.stations = readIfThere(recentStationsURL_);
    ckFetch();
}

// ---- Directory

QString RadioBrowser::server() const {
    if (!env_.serverOverride.isEmpty())
        return env_.serverOverride;
    return failover_->replacement().isEmpty() ? server_ : failover_->replacement();
}

void RadioBrowser::setServer(const QString& server) {
    server_ = server;
    env_.serverOverride.clear(); // the user's choice wins over the command line's
    failover_->clearReplacement(); // and over a server that stood in for a failed one
    env_.defaults->setValue(kServerKey, server);
}

QUrl RadioBrowser::apiURL(const QString& base, const QString& path,
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

template <typename T> void RadioBrowser::inBackground(std::function<T()> work, std::function<void(T)> done) {
    workers_.start([this, work = std::move(work), done = std::move(done)] {
        T result = work();
        QMetaObject::invokeMethod(this, [done, result = std::move(result)] { done(result); }, Qt::QueuedConnection);
    });
}

void RadioBrowser::requestServers(ServersCompletion completion) {
    const QString discovery = env_.discovery.isEmpty() ? kDiscoveryServer : env_.discovery;
    serverdiscovery::discover(
        discovery, env_.srvLookup, this,
        [this, discovery](serverdiscovery::ServersCompletion done) { requestServerList(discovery, std::move(done)); },
        std::move(completion));
}

void RadioBrowser::requestServerList(const QString& discovery, ServersCompletion completion) {
    // Servers come and go: a day-old list is asked for again, and serves while the host is down.
    env_.http->get(apiURL(discovery, QStringLiteral("/json/servers")), HttpFetcher::CachePolicy::CacheForADay,
                   [this, completion = std::move(completion)](HttpFetcher::Reply reply) {
        if (!reply.ok()) {
            completion({}, reply.error.message);
            return;
        }
        using Parsed = std::pair<QStringList, QString>;
        inBackground<Parsed>(
            [body = std::move(reply.body)] {
                QString error;
                const auto names = directoryjson::parseServerNames(body, &error);
                return Parsed{names.value_or(QStringList()), error};
            },
            [completion](Parsed parsed) { completion(parsed.first, parsed.second); });
    });
}

void RadioBrowser::requestCountries(CountriesCompletion completion) {
    failover_->get(server(),
                   [this](const QString& server) {
                       return apiURL(server, QStringLiteral("/json/countries"),
                                     {{QStringLiteral("order"), QStringLiteral("name")}});
                   },
                   HttpFetcher::CachePolicy::CacheForADay, [this, completion = std::move(completion)](HttpFetcher::Reply reply) {
        if (!reply.ok()) {
            completion(std::nullopt, reply.error.message);
            return;
        }
        using Parsed = std::pair<std::optional<QJsonArray>, QString>;
        inBackground<Parsed>(
            [body = std::move(reply.body)] {
                QString error;
                auto countries = directoryjson::parseCountries(body, &error);
                return Parsed{std::move(countries), error};
            },
            [completion](Parsed parsed) { completion(parsed.first, parsed.second); });
    });
}

QUrl RadioBrowser::listingURLForCountryCode(const QString& code) const {
    // Only a plain code may become a file name: never a path out of the listings folder.
    static const QRegularExpression plainCode(QStringLiteral("^[A-Za-z]{2,3}$"));
    if (!plainCode.match(code).hasMatch())
        return QUrl();
    return QUrl::fromLocalFile(QDir(listingsURL_.toLocalFile()).filePath(code + QStringLiteral(".dat")));
}

void RadioBrowser::completeWithStations(HttpFetcher::Reply reply, StationsCompletion completion, const QUrl& listing) {
    if (!reply.ok()) {
        completion(std::nullopt, reply.error.message);
        return;
    }
    workers_.start([this, listing, completion, body = std::move(reply.body)] {
        QString error;
        std::optional<StationList> stations = directoryjson::parseStationArray(body, &error);
        if (stations)
            stations = stationvalidation::validatedStations(*stations);
        QMetaObject::invokeMethod(
            this, [completion, stations, error] { completion(stations, error); }, Qt::QueuedConnection);
        // The caller has its list already; the listing file follows.
        if (stations && !listing.isEmpty())
            writeStations(*stations, listing);
    });
}

void RadioBrowser::requestStationsForCountryCode(const QString& code, bool refresh, StationsCompletion completion) {
    const QUrl listing = listingURLForCountryCode(code);
    auto fromNetwork = [this, code, refresh, listing, completion] {
        const QString path = QStringLiteral("/json/stations/bycountrycodeexact/") +
                             QString::fromLatin1(QUrl::toPercentEncoding(code));
        const auto policy = refresh ? HttpFetcher::CachePolicy::RefreshCache : HttpFetcher::CachePolicy::CacheFirst;
        failover_->get(
            server(),
            [this, path](const QString& server) {
                return apiURL(server, path, {{QStringLiteral("hidebroken"), QStringLiteral("true")}});
            },
            policy,
            [this, listing, completion](HttpFetcher::Reply reply) { completeWithStations(std::move(reply), completion, listing); });
    };

    if (refresh || listing.isEmpty()) {
        fromNetwork();
        return;
    }
    inBackground<std::optional<StationList>>(
        [this, listing] {
            std::optional<StationList> stored;
            if (fileurls::exists(listing))
                stored = readStationsFromURL(listing);
            return stored && !stored->isEmpty() ? stored : std::nullopt;
        },
        [completion, fromNetwork](std::optional<StationList> stored) {
            if (stored)
                completion(stored, QString());
            else
                fromNetwork();
        });
}

void RadioBrowser::incrementClickForStationWithUID(const QString& uid) {
    if (uid.isEmpty())
        return;
    const QString path = QStringLiteral("/json/url/") + QString::fromLatin1(QUrl::toPercentEncoding(uid));
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

void RadioBrowser::incrementClickForStation(const Station& station) {
    if (!OwnStations::isOwn(station))
        incrementClickForStationWithUID(station.string(Station::Key::StationUuid));
}

void RadioBrowser::requestSearch(const StationSearch& search, int offset, bool refresh, StationsCompletion completion) {
    const auto query = search.queryItems(offset);
    failover_->get(
        server(), [this, query](const QString& server) { return apiURL(server, QStringLiteral("/json/stations/search"), query); },
        refresh ? HttpFetcher::CachePolicy::RefreshCache : HttpFetcher::CachePolicy::CacheFirst,
        [this, completion](HttpFetcher::Reply reply) { completeWithStations(std::move(reply), completion); });
}

void RadioBrowser::requestStationsByUUID(const QStringList& uuids, StationsCompletion completion) {
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("uuids"), uuids.join(u','));
    failover_->post(
        server(), [this](const QString& server) { return apiURL(server, QStringLiteral("/json/stations/byuuid")); },
        form.toString(QUrl::FullyEncoded).toUtf8(), [this, completion](HttpFetcher::Reply reply) {
            if (!reply.ok()) {
                completion(std::nullopt, reply.error.message);
                return;
            }
            inBackground<std::pair<std::optional<StationList>, QString>>(
                [body = std::move(reply.body)] {
                    QString error;
                    auto stations = directoryjson::parseStationArray(body, &error);
                    return std::pair{std::move(stations), error};
                },
                [completion](auto parsed) { completion(parsed.first, parsed.second); });
        });
}

void RadioBrowser::voteForStation(const Station& station, qint64 nowSecs, VoteCompletion completion) {
    const QString uuid = station.string(Station::Key::StationUuid);
    if (uuid.isEmpty() || OwnStations::isOwn(station)) {
        completion(false, tr("This station cannot be voted for"));
        return;
    }
    if (const qint64 wait = votes_.secondsUntilNextVote(uuid, nowSecs); wait > 0) {
        completion(false, tr("You voted for this station less than 10 minutes ago"));
        return;
    }
    const QString path = QStringLiteral("/json/vote/") + QString::fromLatin1(QUrl::toPercentEncoding(uuid));
    failover_->get(server(), [this, path](const QString& server) { return apiURL(server, path); },
                   HttpFetcher::CachePolicy::NoCache, [this, uuid, nowSecs, completion](HttpFetcher::Reply reply) {
        if (!reply.ok()) {
            completion(false, reply.error.message);
            return;
        }
        const QVariantMap answer = directoryjson::parseAny(reply.body).toMap();
        const bool counted = answer.value(QStringLiteral("ok")).toBool();
        // The directory's refusal also means a vote is on record there.
        if (counted || !answer.value(QStringLiteral("message")).toString().isEmpty())
            votes_.recordVote(uuid, nowSecs);
        QString message = counted ? tr("Vote counted") : answer.value(QStringLiteral("message")).toString();
        if (message.isEmpty())
            message = tr("The directory did not take the vote");
        completion(counted, message.left(200));
    });
}

// ---- Favourite and recent lists

StationList RadioBrowser::favoriteStations() const {
    QMutexLocker lock(&listsMutex_);
    return favorites_.stations;
}

void RadioBrowser::setFavoriteStations(const StationList& stations) {
    {
        QMutexLocker lock(&listsMutex_);
        favorites_.stations = stations;
        ++favorites_.revision;
    }
    Q_EMIT favoriteStationsChanged(stations);
}

StationList RadioBrowser::recentStations() const {
    QMutexLocker lock(&listsMutex_);
    return recents_.stations;
}

void RadioBrowser::setRecentStations(const StationList& stations) {
    {
        QMutexLocker lock(&listsMutex_);
        recents_.stations = stations;
        ++recents_.revision;
    }
    Q_EMIT recentStationsChanged(stations);
}

bool RadioBrowser::isFavoriteStation(const Station& station) const {
    return indexOfStation(station, favoriteStations()) != kNotFound;
}

bool RadioBrowser::isRecentStation(const Station& station) const {
    return indexOfStation(station, recentStations()) != kNotFound;
}

void RadioBrowser::addFavoriteStation(const Station& station) {
    editList(true, [this, station](StationList list) -> std::optional<StationList> {
        if (indexOfStation(station, list) != kNotFound)
            return std::nullopt;
        list.prepend(station);
        if (list.size() > kMaxFavorites)
            list.resize(kMaxFavorites);
        return list;
    });
}

void RadioBrowser::removeFavoriteStation(const Station& station) {
    editList(true, [this, station](StationList list) -> std::optional<StationList> {
        const qsizetype index = indexOfStation(station, list);
        if (index == kNotFound)
            return std::nullopt;
        const Station stored = list.at(index); // the stored entry, not the one passed in
        list.removeAll(stored);
        return list;
    });
}

void RadioBrowser::moveFavoriteStation(const Station& station, int direction) {
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
    editList(true, [this, station, towardsFront, atEnd](StationList list) -> std::optional<StationList> {
        const qsizetype index = indexOfStation(station, list);
        if (index == kNotFound || atEnd(list, index))
            return std::nullopt;
        list.move(index, towardsFront ? index - 1 : index + 1);
        return list;
    });
}

void RadioBrowser::addRecentStation(const Station& station) {
    editList(false, [this, station](StationList list) -> std::optional<StationList> {
        if (indexOfStation(station, list) != kNotFound)
            return std::nullopt; // a station played again keeps its place
        list.prepend(station);
        if (list.size() > kMaxRecents)
            list.resize(kMaxRecents);
        return list;
    });
}

void RadioBrowser::editList(bool favorites, const ListEdit& edit) {
    const std::optional<StationList> changed = edit(favorites ? favoriteStations() : recentStations());
    if (!changed)
        return;
    if (cloudFetchPending_) // made again on top of whatever the cloud hands over
        (favorites ? favoriteEdits_ : recentEdits_).append(edit);
    if (favorites) {
        setFavoriteStations(*changed);
        saveFavoriteStations();
    } else {
        setRecentStations(*changed);
        saveRecentStations();
    }
}

void RadioBrowser::saveFavoriteStations() {
    saveList(true);
}

void RadioBrowser::saveRecentStations() {
    saveList(false);
}

void RadioBrowser::saveList(bool favorites) {
    saves_.start([this, favorites] {
        const QUrl& fileUrl = favorites ? favoriteStationsURL_ : recentStationsURL_;
        // The list is read when the task runs, under the file's lock: whichever task writes
        // last writes the list as last assigned.
        QMutexLocker lock(&fileLocks_->lockFor(fileUrl.toLocalFile()));
        KeptList kept;
        {
            QMutexLocker lists(&listsMutex_);
            kept = favorites ? favorites_ : recents_;
        }
        const QByteArray bytes = writeLocked(kept.stations, fileUrl);
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

// ---- Cloud copy of the lists

bool RadioBrowser::takeOverFromCloud(const QString& field, const StationList& stations) {
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

void RadioBrowser::cloudFetchFinished() {
    cloudFetchPending_ = false;
    favoriteEdits_.clear();
    recentEdits_.clear();
    Q_EMIT cloudFetchEnded();
}

void RadioBrowser::waitForSaves() {
    saves_.waitForDone();
    if (thread() == QThread::currentThread())
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall); // the cloud hand-overs
}

// ---- Station list files

qsizetype RadioBrowser::indexOfStation(const Station& station, const StationList& stations) const {
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

Station RadioBrowser::_prepareStationForWriting(const Station& station) const {
    Station::Builder builder;
    station.forEach([&](stationkeys::KeyId key, const StationValue& v) {
        if (v.isString() || v.isNumber())
            builder.set(key, v);
    });
    return builder.build();
}

void RadioBrowser::writeStations(const StationList& stations, const QUrl& fileUrl, const QString& ckKey) {
    QByteArray bytes;
    {
        QMutexLocker lock(&fileLocks_->lockFor(fileUrl.toLocalFile()));
        bytes = writeLocked(stations, fileUrl);
    }
    if (!ckKey.isEmpty())
        ckSave(ckKey, bytes); // also when the file could not be written
}

QByteArray RadioBrowser::writeLocked(const StationList& stations, const QUrl& fileUrl) {
    // The archive holds texts and numbers only, so encoding is the reduction that
    // _prepareStationForWriting makes: no copy of every station first.
    const QByteArray bytes = archive::archivedDataWithRootObject(stations);

    // QSaveFile writes beside the file and renames over it: a crash leaves the old list or the
    // new one, never a torn file.
    QSaveFile file(fileUrl.toLocalFile());
    const bool written = fileUrl.isLocalFile() && file.open(QIODevice::WriteOnly) &&
                         file.write(bytes) == bytes.size() && file.commit();
    if (!written) {
        const QString why = fileUrl.isLocalFile() ? file.errorString() : QStringLiteral("not a file URL");
        qCWarning(lcDirectory, "%s [%s]", "writeToURL", qUtf8Printable(why));
    }
    return bytes;
}

void RadioBrowser::ckFetch() {
    if (!env_.cloud)
        return;
    // Until the record has been taken over (or found stale), changes here are kept to be made
    // again on top of it, and no save reaches the cloud: it would overwrite another machine's
    // newer lists with this machine's older ones.
    cloudFetchPending_ = true;
    env_.cloud->fetch(*this);
}

void RadioBrowser::ckSave(const QString& field, const QByteArray& bytes) {
    if (env_.cloud)
        env_.cloud->save(field, bytes);
}

std::optional<StationList> RadioBrowser::readStationsFromURL(const QUrl& fileUrl) const {
    return archive::unarchivedObjectOfClasses(archive::kStationListClasses, fileUrl);
}

void RadioBrowser::writeStation(const Station& station, const QUrl& fileUrl) {
    writeStations(StationList{station}, fileUrl);
}

void RadioBrowser::writeStationLater(const Station& station, const QUrl& fileUrl) {
    const QString path = fileUrl.toLocalFile();
    {
        QMutexLocker lock(&listsMutex_);
        stationsToWrite_.insert(path, station);
    }
    saves_.start([this, fileUrl, path] {
        QMutexLocker fileLock(&fileLocks_->lockFor(path));
        Station latest;
        {
            QMutexLocker lock(&listsMutex_);
            latest = stationsToWrite_.value(path);
        }
        writeLocked(StationList{latest}, fileUrl);
    });
}

Station RadioBrowser::readStationFromURL(const QUrl& fileUrl) const {
    const std::optional<StationList> stations = readStationsFromURL(fileUrl);
    return stations && !stations->isEmpty() ? stations->first() : Station();
}
