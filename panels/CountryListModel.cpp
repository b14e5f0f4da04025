// SPDX-License-Identifier: GPL-3.0-or-later
#include "panels/CountryListModel.h"

#include "geo/Countries.h"
#include "util/Collation.h"

#include <QJsonObject>
#include <QLocale>
#include <QSet>
#include <algorithm>
#include <limits>

qint64 CountryEntry::stationCount() const {
    if (count.isDouble())
        return qint64(count.toDouble());
    if (!count.isString())
        return 0;
    // Leading blanks, an optional sign, then digits; anything after them is ignored.
    const QString text = count.toString();
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        negative = text.at(i++) == u'-';
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        if (value > (std::numeric_limits<qint64>::max() - 9) / 10)
            break;
        value = value * 10 + (text.at(i).unicode() - u'0');
    }
    return negative ? -value : value;
}

QList<CountryEntry> CountryListModel::entriesFromDirectory(const QJsonArray& countries) {
    const QStringList known = countries::allCountryCodes();
    const QSet<QString> browsable(known.cbegin(), known.cend());
    QList<CountryEntry> entries;
    for (const QJsonValue& element : countries) {
        const QJsonObject object = element.toObject();
        CountryEntry entry{object.value(QLatin1String("iso_3166_1")).toString(),
                           object.value(QLatin1String("stationcount")), QString()};
        if (entry.stationCount() <= 0 || !browsable.contains(entry.cc))
            continue;
        entry.name = countries::stringCountryForCountryCode(entry.cc);
        if (entry.name.isEmpty())
            entry.name = entry.cc;
        entries.append(std::move(entry));
    }
    const Collation collation(Collation::Mode::Standard);
    QList<std::pair<QByteArray, qsizetype>> keys;
    keys.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i)
        keys.append({collation.sortKey(entries.at(i).name), i});
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<CountryEntry> sorted;
    sorted.reserve(entries.size());
    for (const auto& key : std::as_const(keys))
        sorted.append(entries.at(key.second));
    return sorted;
}

void CountryListModel::setEntries(const QList<CountryEntry>& entries) {
    beginResetModel();
    entries_ = entries;
    endResetModel();
}

int CountryListModel::rowOfCode(const QString& code) const {
    for (qsizetype row = 0; row < entries_.size(); ++row)
        if (entries_.at(row).cc == code)
            return int(row);
    return -1;
}

int CountryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(entries_.size());
}

int CountryListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CountryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= entries_.size())
        return QVariant();
    const CountryEntry& entry = entries_.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn: {
            const QString flag = countries::stringFlagForCountryCode(entry.cc);
            return flag.isEmpty() ? entry.name : flag + u' ' + entry.name;
        }
        case CodeColumn:
            return entry.cc;
        case CountColumn:
            return QLocale().toString(entry.stationCount());
        }
        break;
    case Qt::AccessibleTextRole:
        if (index.column() == NameColumn)
            return entry.name;
        if (index.column() == CountColumn)
            return tr("%n station(s)", nullptr, int(entry.stationCount()));
        return entry.cc;
    case Qt::TextAlignmentRole:
        if (index.column() == CountColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (index.column() == CodeColumn)
            return QVariant::fromValue(Qt::AlignCenter);
        break;
    case CodeRole:
        return entry.cc;
    }
    return QVariant();
}

QVariant CountryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case NameColumn:
        return tr("Country");
    case CodeColumn:
        return tr("Code");
    case CountColumn:
        return tr("Stations");
    }
    return QVariant();
}
