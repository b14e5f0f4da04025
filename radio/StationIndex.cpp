// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/StationIndex.h"

#include "directory/StationFields.h"
#include "util/Collation.h"
#include "util/IcuText.h"

#include <algorithm>
#include <cstring>
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

namespace {
constexpr char kFieldEnd = '\x1F'; // the unit separator: never in a search text

void appendUtf8(std::string& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    out.append(utf8.constData(), std::size_t(utf8.size()));
}
}

StationIndex::StationIndex(StationList stations) : stations_(std::move(stations)) {
    tags_.reserve(std::size_t(stations_.size()));
    starts_.reserve(std::size_t(stations_.size()) + 1);
    haystack_.reserve(std::size_t(stations_.size()) * 64);
    for (const Station& station : stations_) {
        starts_.push_back(qsizetype(haystack_.size()));
        appendUtf8(haystack_, folded(station.string(Station::Key::Name)));
        haystack_ += kFieldEnd;
        QStringList tags = StationFields::tagsForStation(station);
        for (const QString& tag : tags) {
            appendUtf8(haystack_, folded(tag));
            haystack_ += kFieldEnd;
        }
        tags_.push_back(std::move(tags));
    }
    starts_.push_back(qsizetype(haystack_.size()));
}

std::vector<bool> StationIndex::searchHits(const QString& needle) const {
    std::vector<bool> hits(std::size_t(stations_.size()), false);
    const QByteArray pattern = needle.toUtf8();
    const char* begin = haystack_.data();
    const char* end = begin + haystack_.size();
    std::size_t station = 0;
    for (const char* at = begin; at < end;) {
        const auto* found = static_cast<const char*>(
            ::memmem(at, std::size_t(end - at), pattern.constData(), std::size_t(pattern.size())));
        if (!found)
            break;
        // Matches come in order: walk on to the station whose fields hold this one, mark it and
        // go on after its last field.
        while (starts_[station + 1] <= found - begin)
            ++station;
        hits[station] = true;
        at = begin + starts_[station + 1];
    }
    return hits;
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
    const std::vector<bool> hits = bySearch ? searchHits(folded(search)) : std::vector<bool>();
    QList<int> kept;
    kept.reserve(candidates.size());
    for (int i : candidates) {
        bool pass = bySearch && hits[std::size_t(i)];
        if (!pass && byTags) {
            const QStringList& tags = tags_[std::size_t(i)];
            pass = std::any_of(tags.cbegin(), tags.cend(), [&](const QString& t) { return matchTags.contains(t); });
        }
        if (pass)
            kept.append(i);
    }
    return kept;
}
