// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/SongHistoryFile.h"

#include <QAbstractListModel>
#include <QDate>
#include <optional>

class SongHistory;

// The song history as the "History" tab lists it: newest first, a day row before each day's
// songs, narrowed by a filter (case and accents do not matter) and to the starred songs on
// request. New songs, removals and stars change only their rows, so the list keeps its place
// while a station sends titles.
class SongHistoryModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        SongIdRole = Qt::UserRole + 1, // 0 for a day row
        IsDayRole,
        TitleRole,
        StationRole,
        StarredRole,
    };

    explicit SongHistoryModel(SongHistory& history, QObject* parent = nullptr);

    void setFilter(const QString& text);
    QString filter() const { return filter_; }
    void setStarredOnly(bool starredOnly);
    bool starredOnly() const { return starredOnly_; }

    // The song of a row; nothing for a day row.
    std::optional<SongEntry> song(const QModelIndex& index) const;
    QModelIndex indexOf(quint64 id) const;
    // "Today", "Yesterday" or the date, as the day rows read.
    static QString dayText(QDate day, QDate today);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        QDate day;       // local
        SongEntry song;  // id 0: the day's row
        QString folded;  // title and station, folded for the filter
    };

    bool accepts(const Row& row) const;
    Row makeRow(const SongEntry& song) const;
    void rebuild();
    void songAdded(quint64 id);
    void songRemoved(quint64 id);
    void songChanged(quint64 id);
    int rowOf(quint64 id) const;

    SongHistory& history_;
    QList<Row> rows_;
    QString filter_;
    QString foldedFilter_;
    bool starredOnly_ = false;
};
