// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/RadioBrowser.h"
#include "directory/StationSearch.h"

#include <QObject>
#include <QTimer>

// Searches the whole directory while the listener types: queries wait 300 ms for the typing to
// pause, at most one request is out at a time, and only the answer to the latest query is
// shown. Pages of results are appended on request.
class EverywhereSearch : public QObject {
    Q_OBJECT
public:
    static constexpr int kDebounceMs = 300;

    explicit EverywhereSearch(RadioBrowser* api, QObject* parent = nullptr);

    StationSearch query() const { return query_; }
    // Starts after the pause; an empty query clears the results at once.
    void setQuery(const StationSearch& query);
    // The same query again, from the network.
    void refresh();
    // The next page of the current query, appended to the results.
    void moreResults();
    bool hasMore() const { return hasMore_; }
    bool isBusy() const { return inFlight_; }
    StationList results() const { return results_; }

Q_SIGNALS:
    // The results of the latest query so far (every page fetched).
    void resultsChanged(const StationList& results, bool hasMore);
    void failed(const QString& error);
    void busyChanged(bool busy);

private:
    struct Request {
        StationSearch query;
        int offset = 0;
        bool refresh = false;
    };
    void schedule(const Request& request);
    void sendPending();

    RadioBrowser* api_;
    QTimer debounce_;
    StationSearch query_;
    std::optional<Request> pending_;
    bool inFlight_ = false;
    bool hasMore_ = false;
    int nextOffset_ = 0;
    StationList results_;
};
