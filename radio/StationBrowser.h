// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"
#include "util/Error.h"
#include "directory/StationSearch.h"
#include "radio/StationIndex.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class EverywhereSearch;
class ListingRefresher;
class RadioBrowser;
class UserDefaults;

// The stations the table shows: the chosen country's (or a search of the whole directory, the
// country code "*"), narrowed by the search text and the chosen tags, in the stored order. Only
// the latest request fills it; a country's old listing shows at once and is brought up to date
// behind it. The panel's controller shows it and hands it the user's choices. Main thread.
class StationBrowser : public QObject {
    Q_OBJECT
public:
    static inline const QString kEverywhere = QStringLiteral("*");

    StationBrowser(RadioBrowser* api, UserDefaults* defaults, QObject* parent = nullptr);
    ~StationBrowser() override;

    // ---- The country
    QString countryCode() const { return countryCode_; }
    // Stores the choice; requestStations() fetches it.
    void setCountryCode(const QString& code);
    bool searchingEverywhere() const { return countryCode_ == kEverywhere; }
    // A country (or everywhere) chosen by the user: the table empties and the stations are
    // asked from the network.
    void chooseCountry(const QString& code);
    void requestStations(bool refresh);
    // The answer to a country's request: an error empties the list, so that a search or a tag
    // never brings back another country's stations under this one's flag.
    void requestStations_Callback(Expected<StationList> stations);
    void stationsIndexed(std::shared_ptr<StationIndex> index);

    // ---- Filter and order
    QString searchText() const { return searchText_; }
    void setSearchText(const QString& text);
    QStringList matchTags() const { return matchTags_; }
    void setMatchTags(const QStringList& tags);
    void clearFilters();
    // The stored order changed.
    void sortByChanged();

    const std::shared_ptr<StationIndex>& index() const { return index_; }
    // Indices into index()'s stations, in the table's order.
    const QList<int>& displayRows() const { return displayRows_; }
    bool hasDisplay() const { return hasDisplay_; }
    bool isLoading() const { return loading_; }
    bool hasFailed() const { return failed_; }
    StationList displayStations() const;
    StationList countryStations() const;
    // Every tag of the list, sorted.
    QStringList allTags() const;

    // ---- Searching everywhere
    // Made on the first search everywhere.
    EverywhereSearch* everywhere() const { return everywhere_; }
    void setEverywhereQuery(const StationSearch& query);
    // Searching everywhere with nothing asked yet: the panel prompts for a name or filters.
    bool awaitsEverywhereQuery() const;
    bool hasMoreResults() const;

Q_SIGNALS:
    // The rows changed; `inPlace` when the same list was brought up to date behind the user.
    void displayChanged(bool inPlace);
    // Loading, failed or the prompt for a search changed.
    void statusChanged();
    // A list arrived or a search everywhere began: a station can be loaded now.
    void stationsArrived();
    // The search text and tags were emptied by the browser itself.
    void filtersCleared();
    // Searching everywhere began (true) or ended.
    void everywhereChanged(bool everywhere);
    // Searching everywhere began afresh: the panel hands over its query (setEverywhereQuery).
    void everywhereQueryWanted();

private:
    void configureDisplayStations(bool inPlace = false);
    void indexStations(StationList stations, quint64 request, std::function<void(std::shared_ptr<StationIndex>)> done);
    void refreshListing(quint64 request);
    void enterEverywhere(bool refresh);
    void everywhereResults(const StationList& results);
    void setStatus(bool loading, bool failed);

    RadioBrowser* api_;
    UserDefaults* defaults_;
    ListingRefresher* listings_;
    EverywhereSearch* everywhere_ = nullptr;
    QString countryCode_;
    std::shared_ptr<StationIndex> index_; // none before the first download
    QList<int> displayRows_;
    bool hasDisplay_ = false;
    bool loading_ = false;
    bool failed_ = false;
    QStringList matchTags_;
    QString searchText_;
    quint64 stationsRequest_ = 0; // only the latest request may fill the table
};
