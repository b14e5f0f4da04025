// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/ListingRefresher.h"

#include "directory/RadioBrowser.h"
#include "util/RemoteText.h"

#include <QFileInfo>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDirectory)

ListingRefresher::ListingRefresher(RadioBrowser* api, Clock clock, QObject* parent)
    : QObject(parent), api_(api), clock_(std::move(clock)) {}

bool ListingRefresher::isStale(const QString& code) const {
    const QUrl listing = api_->listingURLForCountryCode(code);
    if (listing.isEmpty())
        return false;
    const QFileInfo file(listing.toLocalFile());
    if (!file.exists())
        return false;
    const QDateTime now = clock_ ? clock_() : QDateTime::currentDateTimeUtc();
    const qint64 age = file.lastModified().secsTo(now);
    return age < 0 || age > kMaxAgeSecs;
}

void ListingRefresher::refresh(const QString& code, Fresh fresh) {
    api_->requestStationsForCountryCode(code, true, [code, fresh = std::move(fresh)](Expected<StationList> stations) {
        // An empty answer for a country that had stations speaks of the server, not the country.
        if (!stations.ok() || stations->isEmpty()) {
            qCWarning(lcDirectory, "Listing refresh %s failed [%s]", qUtf8Printable(code),
                      qUtf8Printable(remote::forLog(stations.ok() ? QStringLiteral("no stations") : stations.error().message)));
            return;
        }
        fresh(std::move(stations).value());
    });
}
