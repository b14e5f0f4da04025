// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/StationBrowser.h"

#include "directory/ListingRefresher.h"
#include "directory/RadioBrowser.h"
#include "radio/EverywhereSearch.h"
#include "util/Collections.h"
#include "util/RemoteText.h"
#include "util/SettingsKeys.h"
#include "util/UserDefaults.h"

#include <QFutureWatcher>
#include <QLoggingCategory>
#include <QPointer>
#include <QSet>
#include <QtConcurrent/QtConcurrentRun>

Q_LOGGING_CATEGORY(lcRadio, "ostrel.radio")

StationBrowser::StationBrowser(RadioBrowser* api, UserDefaults* defaults, QObject* parent)
    : QObject(parent), api_(api), defaults_(defaults), listings_(new ListingRefresher(api, {}, this)) {}

StationBrowser::~StationBrowser() = default;

void StationBrowser::setCountryCode(const QString& code) {
    countryCode_ = code;
    defaults_->setValue(settingskeys::kRadioStationsCountryCode, code);
}

void StationBrowser::chooseCountry(const QString& code) {
    const bool wasEverywhere = searchingEverywhere();
    setCountryCode(code);
    if (wasEverywhere && !searchingEverywhere()) {
        if (everywhere_)
            everywhere_->setQuery({});
        Q_EMIT everywhereChanged(false);
    }
    displayRows_.clear();
    hasDisplay_ = true;
    Q_EMIT displayChanged(false);
    requestStations(true);
}

void StationBrowser::setStatus(bool loading, bool failed) {
    if (loading == loading_ && failed == failed_)
        return;
    loading_ = loading;
    failed_ = failed;
    Q_EMIT statusChanged();
}

// ---- A country's stations

void StationBrowser::requestStations(bool refresh) {
    if (searchingEverywhere()) {
        enterEverywhere(refresh);
        return;
    }
    setStatus(true, false);
    QPointer<StationBrowser> self(this);
    const quint64 request = ++stationsRequest_;
    // An old listing shows at once all the same, and is brought up to date behind it.
    const bool stale = !refresh && listings_->isStale(countryCode_);
    api_->requestStationsForCountryCode(countryCode_, refresh, [self, request, stale](Expected<StationList> stations) {
        // A reply for a country chosen before the current one arrives late: it is not shown.
        if (!self || request != self->stationsRequest_)
            return;
        if (!stations.ok()) {
            self->requestStations_Callback(std::move(stations));
            return;
        }
        self->indexStations(std::move(stations).value(), request, [self, request, stale](std::shared_ptr<StationIndex> index) {
            self->stationsIndexed(std::move(index));
            if (stale)
                self->refreshListing(request);
        });
    });
}

void StationBrowser::refreshListing(quint64 request) {
    QPointer<StationBrowser> self(this);
    listings_->refresh(countryCode_, [self, request](StationList fresh) {
        if (self && request == self->stationsRequest_)
            self->indexStations(std::move(fresh), request, [self](std::shared_ptr<StationIndex> index) {
                self->index_ = std::move(index); // the search and the chosen tags stay
                self->configureDisplayStations(true);
            });
    });
}

void StationBrowser::indexStations(StationList stations, quint64 request,
                                   std::function<void(std::shared_ptr<StationIndex>)> done) {
    // Folding thousands of names and tags takes long enough to freeze the panel.
    auto* indexing = new QFutureWatcher<std::shared_ptr<StationIndex>>(this);
    connect(indexing, &QFutureWatcherBase::finished, this, [this, indexing, request, done = std::move(done)] {
        indexing->deleteLater();
        if (request == stationsRequest_) // only the latest request fills the table
            done(indexing->result());
    });
    indexing->setFuture(QtConcurrent::run([list = std::move(stations)]() mutable {
        return std::make_shared<StationIndex>(std::move(list));
    }));
}

void StationBrowser::requestStations_Callback(Expected<StationList> stations) {
    if (!stations.ok()) {
        clearFilters();
        index_ = std::make_shared<StationIndex>(StationList());
        configureDisplayStations();
        qCWarning(lcRadio, "%s [%s]", "⚠️", qUtf8Printable(remote::forLog(stations.error().message)));
        setStatus(false, true);
        return;
    }
    stationsIndexed(std::make_shared<StationIndex>(std::move(stations).value()));
}

void StationBrowser::stationsIndexed(std::shared_ptr<StationIndex> index) {
    clearFilters();
    index_ = std::move(index);
    setStatus(false, false);
    configureDisplayStations();
    Q_EMIT stationsArrived();
}

// ---- Filter and order

void StationBrowser::setSearchText(const QString& text) {
    if (text == searchText_)
        return;
    searchText_ = text;
    configureDisplayStations();
}

void StationBrowser::setMatchTags(const QStringList& tags) {
    matchTags_ = tags;
    configureDisplayStations();
}

void StationBrowser::clearFilters() {
    searchText_.clear();
    matchTags_.clear();
    Q_EMIT filtersCleared();
}

void StationBrowser::sortByChanged() {
    configureDisplayStations();
}

void StationBrowser::configureDisplayStations(bool inPlace) {
    // The rows shown now are what the status line counts, until the next load or failure.
    loading_ = false;
    failed_ = false;
    if (!index_) {
        displayRows_.clear();
        hasDisplay_ = false;
    } else {
        const auto key = StationIndex::sortKeyForSetting(defaults_->integer(settingskeys::kRadioStationsSortBy));
        // One scan of the list's folded text per keystroke; the order was made once per key.
        displayRows_ = index_->filter(index_->order(key), matchTags_, searchText_);
        hasDisplay_ = true;
    }
    Q_EMIT displayChanged(inPlace);
}

StationList StationBrowser::displayStations() const {
    StationList list;
    list.reserve(displayRows_.size());
    for (int i : displayRows_)
        list.append(index_->stations().at(i));
    return list;
}

StationList StationBrowser::countryStations() const {
    return index_ ? index_->stations() : StationList();
}

QStringList StationBrowser::allTags() const {
    QSet<QString> tags;
    if (index_)
        for (qsizetype i = 0; i < index_->size(); ++i)
            for (const QString& tag : index_->tags(i))
                tags.insert(tag);
    return collections::allObjectsSorted(tags);
}

// ---- Searching everywhere

void StationBrowser::enterEverywhere(bool refresh) {
    ++stationsRequest_; // a country's late reply must not replace the results
    setStatus(false, false);
    if (!everywhere_) {
        everywhere_ = new EverywhereSearch(api_, this);
        connect(everywhere_, &EverywhereSearch::resultsChanged, this, &StationBrowser::everywhereResults);
        connect(everywhere_, &EverywhereSearch::busyChanged, this, [this](bool busy) {
            if (searchingEverywhere())
                setStatus(busy, false);
        });
        connect(everywhere_, &EverywhereSearch::failed, this, [this](const QString& error) {
            if (!searchingEverywhere())
                return;
            qCWarning(lcRadio, "%s [%s]", "⚠️", qUtf8Printable(error));
            setStatus(false, true);
        });
    }
    searchText_.clear();
    matchTags_.clear();
    index_.reset();
    configureDisplayStations();
    Q_EMIT everywhereChanged(true);
    if (refresh && !everywhere_->query().isEmpty())
        everywhere_->refresh();
    else
        Q_EMIT everywhereQueryWanted();
    Q_EMIT stationsArrived(); // the last station played, also when no search has been made yet
}

void StationBrowser::setEverywhereQuery(const StationSearch& query) {
    if (!searchingEverywhere() || !everywhere_)
        return;
    everywhere_->setQuery(query);
    Q_EMIT statusChanged(); // the prompt comes or goes
}

bool StationBrowser::awaitsEverywhereQuery() const {
    return searchingEverywhere() && everywhere_ && everywhere_->query().isEmpty();
}

bool StationBrowser::hasMoreResults() const {
    return searchingEverywhere() && everywhere_ && everywhere_->hasMore();
}

void StationBrowser::everywhereResults(const StationList& results) {
    if (!searchingEverywhere())
        return;
    index_ = std::make_shared<StationIndex>(results);
    setStatus(false, false);
    configureDisplayStations();
}
