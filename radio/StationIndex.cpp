#include "radio/StationIndex.h"

#include "directory/StationFields.h"
#include "util/Collation.h"
#include "util/IcuText.h"

#include <algorithm>
#include <numeric>

StationIndex::SortKey StationIndex::sortKeyForSetting(qint64 value) {
    switch (value) {
    case 0:
        return SortKey::Votes;
    case 2:
        return SortKey::Name;
    case 3:
        return SortKey::Tags;
    default:
        return SortKey::ClickCount;
    }
}

QString StationIndex::folded(QStringView text) {
    // Most names and tags are plain ASCII: lower-casing is all the folding they need, and far
    // cheaper than the full Unicode path.
    bool ascii = true;
    for (QChar c : text)
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii)
        return icutext::foldedForSearch(text);
    QString out(text.size(), Qt::Uninitialized);
    QChar* o = out.data();
    for (QChar c : text) {
        const char16_t u = c.unicode();
        *o++ = QChar(u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u);
    }
    return out;
}

StationIndex::StationIndex(StationList stations) : stations_(std::move(stations)) {
    entries_.reserve(std::size_t(stations_.size()));
    for (const Station& station : stations_) {
        Entry e;
        e.tags = StationFields::tagsForStation(station);
        e.foldedName = folded(station.string(Station::Key::Name));
        e.foldedTags.reserve(e.tags.size());
        for (const QString& tag : e.tags)
            e.foldedTags.append(folded(tag));
        entries_.push_back(std::move(e));
    }
}

const QList<int>& StationIndex::order(SortKey key) {
    const int k = int(key);
    if (hasOrder_[k])
        return orders_[k];
    QList<int> order(stations_.size());
    std::iota(order.begin(), order.end(), 0);
    if (key == SortKey::Votes || key == SortKey::ClickCount) {
        const Station::Key field = key == SortKey::Votes ? Station::Key::Votes : Station::Key::ClickCount;
        std::vector<double> values(std::size_t(stations_.size()));
        for (qsizetype i = 0; i < stations_.size(); ++i)
            values[std::size_t(i)] = stations_[i].value(field).toDouble();
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return values[std::size_t(a)] > values[std::size_t(b)]; });
    } else {
        // The user's collation, so "alpha" sorts before "Zeta" and "Radio 9" before "Radio 10".
        const Collation collation(Collation::Mode::Standard);
        const Station::Key field = key == SortKey::Name ? Station::Key::Name : Station::Key::Tags;
        std::vector<QByteArray> keys(std::size_t(stations_.size()));
        for (qsizetype i = 0; i < stations_.size(); ++i)
            keys[std::size_t(i)] = collation.sortKey(stations_[i].string(field));
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[std::size_t(a)] < keys[std::size_t(b)]; });
    }
    orders_[k] = std::move(order);
    hasOrder_[k] = true;
    return orders_[k];
}

QList<int> StationIndex::filter(const QList<int>& candidates, const QStringList& matchTags, const QString& search) const {
    const bool byTags = !matchTags.isEmpty();
    const bool bySearch = !search.isEmpty();
    if (!byTags && !bySearch)
        return candidates;
    const QString needle = folded(search);
    QList<int> kept;
    kept.reserve(candidates.size());
    for (int i : candidates) {
        const Entry& e = entries_[std::size_t(i)];
        bool pass = false;
        if (byTags)
            pass = std::any_of(e.tags.cbegin(), e.tags.cend(), [&](const QString& t) { return matchTags.contains(t); });
        if (!pass && bySearch) {
            pass = e.foldedName.contains(needle) ||
                   std::any_of(e.foldedTags.cbegin(), e.foldedTags.cend(), [&](const QString& t) { return t.contains(needle); });
        }
        if (pass)
            kept.append(i);
    }
    return kept;
}
