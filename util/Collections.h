// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "util/Collation.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <type_traits>

// Operations on immutable lists and sets: each returns a new value and leaves its input as it was.
namespace collections {

// The elements joined by the delimiter; empty elements still count.
inline QString stringWithDelim(const QStringList& items, QStringView delim) {
    return items.join(delim);
}

// True when any element of `others` is in `items`.
template <typename T>
bool containsAnyObjectsInArray(const QList<T>& items, const QList<T>& others) {
    if (items.isEmpty())
        return false;
    return std::any_of(others.cbegin(), others.cend(), [&](const T& o) { return items.contains(o); });
}

template <typename T>
QList<T> arrayByAddingObject(QList<T> items, const T& object) {
    items.append(object);
    return items;
}

// Without every element equal to `object`, in the order of the rest.
template <typename T>
QList<T> arrayByRemovingObject(QList<T> items, const T& object) {
    items.removeAll(object);
    return items;
}

// The set's elements in ascending order: texts in the user's file-browser order (numbers by
// value, case-insensitive), everything else by its natural order.
template <typename T>
QList<T> allObjectsSorted(const QSet<T>& set) {
    QList<T> items(set.cbegin(), set.cend());
    if constexpr (std::is_same_v<T, QString>) {
        if (items.size() < 2)
            return items;
        const Collation collation(Collation::Mode::Standard);
        QList<std::pair<QByteArray, QString>> keyed;
        keyed.reserve(items.size());
        for (const QString& s : items)
            keyed.append({collation.sortKey(s), s});
        std::sort(keyed.begin(), keyed.end());
        for (qsizetype i = 0; i < keyed.size(); ++i)
            items[i] = keyed[i].second;
    } else {
        std::sort(items.begin(), items.end());
    }
    return items;
}

} // namespace collections
