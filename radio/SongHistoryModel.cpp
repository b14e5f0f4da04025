// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/SongHistoryModel.h"

#include "radio/SongHistory.h"
#include "util/IcuText.h"

#include <QFont>
#include <QLocale>

SongHistoryModel::SongHistoryModel(SongHistory& history, QObject* parent)
    : QAbstractListModel(parent), history_(history) {
    connect(&history_, &SongHistory::songAdded, this, &SongHistoryModel::songAdded);
    connect(&history_, &SongHistory::songRemoved, this, &SongHistoryModel::songRemoved);
    connect(&history_, &SongHistory::songChanged, this, &SongHistoryModel::songChanged);
    connect(&history_, &SongHistory::songsReset, this, &SongHistoryModel::rebuild);
    rebuild();
}

void SongHistoryModel::setFilter(const QString& text) {
    if (text == filter_)
        return;
    filter_ = text;
    foldedFilter_ = icutext::foldedForSearch(text.trimmed());
    rebuild();
}

void SongHistoryModel::setStarredOnly(bool starredOnly) {
    if (starredOnly == starredOnly_)
        return;
    starredOnly_ = starredOnly;
    rebuild();
}

std::optional<SongEntry> SongHistoryModel::song(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= rows_.size() || rows_[index.row()].song.id == 0)
        return std::nullopt;
    return rows_[index.row()].song;
}

QModelIndex SongHistoryModel::indexOf(quint64 id) const {
    const int row = id == 0 ? -1 : rowOf(id);
    return row < 0 ? QModelIndex() : index(row);
}

QString SongHistoryModel::dayText(QDate day, QDate today) {
    if (day == today)
        return tr("Today");
    if (day == today.addDays(-1))
        return tr("Yesterday");
    return QLocale().toString(day, QLocale::LongFormat);
}

int SongHistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

QVariant SongHistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const Row& row = rows_[index.row()];
    const SongEntry& song = row.song;
    const bool isDay = song.id == 0;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: {
        if (isDay)
            return dayText(row.day, history_.now().toLocalTime().date());
        const QString time = QLocale().toString(song.time.toLocalTime().time(), QLocale::ShortFormat);
        const QString station = song.station.string(Station::Key::Name);
        if (role == Qt::AccessibleTextRole)
            return song.starred ? tr("%1, on %2 at %3, starred").arg(song.title, station, time)
                                : tr("%1, on %2 at %3").arg(song.title, station, time);
        return (song.starred ? QStringLiteral("★ ") : QString()) + song.title + u'\n' + time + QStringLiteral(" · ") + station;
    }
    case Qt::ToolTipRole:
        return isDay ? QVariant() : QVariant(song.title);
    case Qt::FontRole:
        if (isDay) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case SongIdRole:
        return song.id;
    case IsDayRole:
        return isDay;
    case TitleRole:
        return isDay ? QVariant() : QVariant(song.title);
    case StationRole:
        return isDay ? QVariant() : QVariant(song.station.string(Station::Key::Name));
    case StarredRole:
        return song.starred;
    default:
        return {};
    }
}

Qt::ItemFlags SongHistoryModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    // A day row is read and passed over, never chosen.
    return rows_[index.row()].song.id == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool SongHistoryModel::accepts(const Row& row) const {
    return (!starredOnly_ || row.song.starred) && (foldedFilter_.isEmpty() || row.folded.contains(foldedFilter_));
}

SongHistoryModel::Row SongHistoryModel::makeRow(const SongEntry& song) const {
    return Row{song.time.toLocalTime().date(), song,
               icutext::foldedForSearch(QString(song.title + u' ' + song.station.string(Station::Key::Name)))};
}

void SongHistoryModel::rebuild() {
    beginResetModel();
    rows_.clear();
    for (const SongEntry& song : history_.songs()) {
        Row row = makeRow(song);
        if (!accepts(row))
            continue;
        if (rows_.isEmpty() || rows_.last().day != row.day)
            rows_.append(Row{row.day, SongEntry(), QString()});
        rows_.append(std::move(row));
    }
    endResetModel();
}

void SongHistoryModel::songAdded(quint64 id) {
    const qsizetype at = history_.indexOf(id);
    if (at < 0)
        return;
    Row row = makeRow(history_.songs()[at]);
    if (!accepts(row))
        return;
    if (!rows_.isEmpty() && rows_.first().day == row.day) {
        beginInsertRows(QModelIndex(), 1, 1);
        rows_.insert(1, std::move(row));
    } else {
        beginInsertRows(QModelIndex(), 0, 1);
        rows_.insert(0, std::move(row));
        rows_.insert(0, Row{rows_.first().day, SongEntry(), QString()});
    }
    endInsertRows();
}

void SongHistoryModel::songRemoved(quint64 id) {
    const int row = rowOf(id);
    if (row < 0)
        return;
    // The day's row goes with its last song.
    const bool lastOfDay = rows_[row - 1].song.id == 0 && (row + 1 == rows_.size() || rows_[row + 1].song.id == 0);
    const int first = lastOfDay ? row - 1 : row;
    beginRemoveRows(QModelIndex(), first, row);
    rows_.remove(first, row - first + 1);
    endRemoveRows();
}

void SongHistoryModel::songChanged(quint64 id) {
    const qsizetype at = history_.indexOf(id);
    if (at < 0)
        return;
    if (starredOnly_) { // a star taken off or put on moves the song out of or into the list
        rebuild();
        return;
    }
    const int row = rowOf(id);
    if (row < 0)
        return;
    rows_[row].song = history_.songs()[at];
    Q_EMIT dataChanged(index(row), index(row));
}

int SongHistoryModel::rowOf(quint64 id) const {
    for (qsizetype i = rows_.size() - 1; i >= 0; --i) // removals come from the end
        if (rows_[i].song.id == id)
            return int(i);
    return -1;
}
