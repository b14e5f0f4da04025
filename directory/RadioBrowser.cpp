// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/RadioBrowser.h"

#include "directory/ListFileStore.h"
#include "directory/OwnStations.h"

#include <QDir>
#include <QLoggingCategory>
#include <QPointer>
#include <QRegularExpression>

Q_LOGGING_CATEGORY(lcDirectory, "ostrel.directory")

RadioBrowser::RadioBrowser(const Environment& environment, QObject* parent)
    : QObject(parent), env_(environment), votes_(environment.defaults), files_(std::make_unique<ListFileStore>()) {
    _prepare();
}

RadioBrowser::~RadioBrowser() {
    // Saves and listing reads use the lists and this object; let them end before those go.
    files_->waitForWrites();
}

void RadioBrowser::_prepare() {
    const QDir support(env_.supportURL.toLocalFile());
    listingsURL_ = QUrl::fromLocalFile(support.filePath(QStringLiteral("Listings")));
    support.mkpath(QStringLiteral("Listings")); // a failure shows later, when a listing is written

    directory_ = env_.directory;
    if (!directory_) {
        ownDirectory_ = std::make_unique<DirectoryClient>(
            DirectoryClient::Environment{env_.defaults, env_.http, env_.discovery, env_.serverOverride, env_.srvLookup});
        directory_ = ownDirectory_.get();
    }

    StationLists::Environment lists;
    lists.favoritesURL = QUrl::fromLocalFile(support.filePath(QStringLiteral("favoriteStations.dat")));
    lists.recentsURL = QUrl::fromLocalFile(support.filePath(QStringLiteral("recentStations.dat")));
    lists.files = files_.get();
    lists.cloud = env_.cloud;
    lists.beep = env_.beep;
    lists_ = std::make_unique<StationLists>(lists);
    connect(lists_.get(), &StationLists::favoriteStationsChanged, this, &RadioBrowser::favoriteStationsChanged);
    connect(lists_.get(), &StationLists::recentStationsChanged, this, &RadioBrowser::recentStationsChanged);
    connect(lists_.get(), &StationLists::cloudFetchEnded, this, &RadioBrowser::cloudFetchEnded);
    lists_->ckFetch();
}

// ---- Directory

QUrl RadioBrowser::listingURLForCountryCode(const QString& code) const {
    // Only a plain code may become a file name: never a path out of the listings folder.
    static const QRegularExpression plainCode(QStringLiteral("^[A-Za-z]{2,3}$"));
    if (!plainCode.match(code).hasMatch())
        return QUrl();
    return QUrl::fromLocalFile(QDir(listingsURL_.toLocalFile()).filePath(code + QStringLiteral(".dat")));
}

void RadioBrowser::requestStationsForCountryCode(const QString& code, bool refresh, StationsCompletion completion) {
    const QUrl listing = listingURLForCountryCode(code);
    auto fromDirectory = [this, code, refresh, listing, completion] {
        directory_->requestStations(code, refresh, [self = QPointer(this), listing, completion](Expected<StationList> stations) {
            completion(stations);
            // The caller has its list already; the listing file follows.
            if (self && stations.ok() && !listing.isEmpty())
                self->files_->writeLater(*stations, listing);
        });
    };
    if (refresh || listing.isEmpty()) {
        fromDirectory();
        return;
    }
    files_->readLater(listing, this, [completion, fromDirectory](std::optional<StationList> stored) {
        if (stored && !stored->isEmpty())
            completion(std::move(*stored));
        else
            fromDirectory(); // an empty or unreadable file is passed over
    });
}

void RadioBrowser::incrementClickForStationWithUID(const QString& uid) {
    if (!uid.isEmpty())
        directory_->incrementClick(uid);
}

void RadioBrowser::incrementClickForStation(const Station& station) {
    if (!OwnStations::isOwn(station))
        incrementClickForStationWithUID(station.string(Station::Key::StationUuid));
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
    directory_->vote(uuid, [self = QPointer(this), uuid, nowSecs, completion](Expected<StationDirectory::VoteAnswer> answer) {
        if (!self)
            return; // quitting
        if (!answer.ok()) {
            completion(false, answer.error().message);
            return;
        }
        // The directory's refusal also means a vote is on record there.
        if (answer->counted || !answer->message.isEmpty())
            self->votes_.recordVote(uuid, nowSecs);
        QString message = answer->counted ? RadioBrowser::tr("Vote counted") : answer->message;
        if (message.isEmpty())
            message = RadioBrowser::tr("The directory did not take the vote");
        completion(answer->counted, message.left(200));
    });
}

// ---- Station list files

Station RadioBrowser::_prepareStationForWriting(const Station& station) const {
    Station::Builder builder;
    station.forEach([&](stationkeys::KeyId key, const StationValue& v) {
        if (v.isString() || v.isNumber())
            builder.set(key, v);
    });
    return builder.build();
}

std::optional<StationList> RadioBrowser::readStationsFromURL(const QUrl& fileUrl) const {
    return files_->read(fileUrl);
}

void RadioBrowser::writeStationLater(const Station& station, const QUrl& fileUrl) {
    files_->writeLater(StationList{station}, fileUrl);
}

Station RadioBrowser::readStationFromURL(const QUrl& fileUrl) const {
    const std::optional<StationList> stations = readStationsFromURL(fileUrl);
    return stations && !stations->isEmpty() ? stations->first() : Station();
}
