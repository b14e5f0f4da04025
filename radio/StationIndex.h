// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

// A country's stations prepared once for filtering and ordering at every keystroke: names and
// tags folded for case- and accent-insensitive matching, tag lists cut, sort keys made on first
// use. Immutable after construction but for the lazily made sort orders.
class StationIndex {
public:
    enum class SortKey { Votes = 0, ClickCount = 1, Name = 2, Tags = 3 };
    static SortKey sortKeyForSetting(qint64 value); // 0, 2 and 3 as they are; anything else ClickCount

    explicit StationIndex(StationList stations);

    const StationList& stations() const { return stations_; }
    qsizetype size() const { return stations_.size(); }
    const QStringList& tags(qsizetype i) const { return tags_[std::size_t(i)]; }

    // Indices of the whole list in the order of `key`: numbers highest first, texts in the
    // user's collation order; equal values keep the delivered order.
    const QList<int>& order(SortKey key);

    // Indices of `candidates` (in their order) that pass: a station passes when it has one of
    // `matchTags`, or its name or a tag contains `search` ignoring case and accents. With
    // neither condition every candidate passes.
    QList<int> filter(const QList<int>& candidates, const QStringList& matchTags, const QString& search) const;

    // The form texts are compared in: case folded, accents removed.
    static QString folded(QStringView text);

private:
    // Which stations' folded name or tags contain `needle`, by station index.
    std::vector<bool> searchHits(const QString& needle) const;

    StationList stations_;
    std::vector<QStringList> tags_;
    // Every station's folded name and tags in one text, each field ended by a separator no user
    // types: one fast scan answers a search for all stations at once.
    // Kept as UTF-8: a byte search there is exact (UTF-8 never matches inside a character) and
    // runs at memory speed.
    std::string haystack_;
    std::vector<qsizetype> starts_; // where each station's fields begin in haystack_
    QList<int> orders_[4];
    bool hasOrder_[4] = {false, false, false, false};
};
