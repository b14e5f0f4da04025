// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QDateTime>
#include <QObject>
#include <functional>

class RadioBrowser;

// A country's listing file fills the table at once, however old; one older than kMaxAgeSecs is
// then fetched afresh in the background, so closed stations go and new ones come without the
// user choosing the country again.
class ListingRefresher : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxAgeSecs = 12 * 60 * 60;
    using Clock = std::function<QDateTime()>;
    using Fresh = std::function<void(StationList stations)>;

    explicit ListingRefresher(RadioBrowser* api, Clock clock = {}, QObject* parent = nullptr);

    // Whether the country's listing file was written more than kMaxAgeSecs ago (or in the
    // future: a clock set back). No file is nothing to refresh.
    bool isStale(const QString& code) const;
    // Asks the directory for the country; `fresh` gets the stations when the answer is a valid,
    // non-empty list, and the listing file is rewritten. Anything else is one log line.
    void refresh(const QString& code, Fresh fresh);

private:
    RadioBrowser* api_;
    Clock clock_;
};
