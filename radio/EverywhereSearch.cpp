// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/EverywhereSearch.h"

EverywhereSearch::EverywhereSearch(RadioBrowser* api, QObject* parent) : QObject(parent), api_(api) {
    debounce_.setSingleShot(true);
    debounce_.setInterval(kDebounceMs);
    connect(&debounce_, &QTimer::timeout, this, &EverywhereSearch::sendPending);
}

void EverywhereSearch::setQuery(const StationSearch& query) {
    query_ = query;
    if (query.isEmpty()) {
        debounce_.stop();
        pending_.reset();
        hasMore_ = false;
        results_.clear();
        Q_EMIT resultsChanged(results_, false);
        return;
    }
    pending_ = Request{query, 0, false};
    debounce_.start(); // restarts: typing goes on
}

void EverywhereSearch::refresh() {
    if (!query_.isEmpty())
        schedule(Request{query_, 0, true});
}

void EverywhereSearch::moreResults() {
    if (hasMore_ && !query_.isEmpty() && !pending_)
        schedule(Request{query_, nextOffset_, false});
}

void EverywhereSearch::schedule(const Request& request) {
    pending_ = request;
    debounce_.stop();
    sendPending();
}

void EverywhereSearch::sendPending() {
    if (!pending_ || inFlight_)
        return; // the answer in flight sends the pending query when it comes
    const Request request = *pending_;
    pending_.reset();
    inFlight_ = true;
    Q_EMIT busyChanged(true);
    api_->requestSearch(request.query, request.offset, request.refresh,
                        [this, request](Expected<StationList> stations) {
        inFlight_ = false;
        const bool current = request.query == query_ && !pending_;
        if (current) {
            if (!stations.ok()) {
                Q_EMIT failed(stations.error().message);
            } else {
                if (request.offset == 0)
                    results_.clear();
                results_.append(*stations);
                nextOffset_ = request.offset + StationSearch::kPageSize; // the directory counts before validation
                // Validation drops a few entries of a full page; one well short of it is the last.
                hasMore_ = stations->size() >= StationSearch::kPageSize * 9 / 10;
                Q_EMIT resultsChanged(results_, hasMore_);
            }
        }
        if (pending_ && !debounce_.isActive())
            sendPending(); // queued while this one was out
        else
            Q_EMIT busyChanged(false);
    });
}
