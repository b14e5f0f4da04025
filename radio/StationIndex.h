#pragma once

#include "directory/Station.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
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
    const QStringList& tags(qsizetype i) const { return entries_[std::size_t(i)].tags; }

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
    struct Entry {
        QStringList tags;
        QString foldedName;
        QStringList foldedTags;
    };
    StationList stations_;
    std::vector<Entry> entries_;
    QList<int> orders_[4];
    bool hasOrder_[4] = {false, false, false, false};
};
