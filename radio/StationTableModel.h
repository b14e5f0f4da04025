// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/StationIndex.h"

#include <QAbstractListModel>
#include <QHash>
#include <functional>
#include <memory>

// The rows of the station table: the displayed stations, one per row.
class StationTableModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { StationRole = Qt::UserRole + 1, TagsTextRole, FavoriteRole };

    // `isFavorite` answers the favourite mark of a row.
    explicit StationTableModel(std::function<bool(const Station&)> isFavorite, QObject* parent = nullptr);

    // Rows `rows` (indices into `index`'s stations); no index: no rows at all.
    void setRows(std::shared_ptr<StationIndex> index, QList<int> rows);
    // The same, in place: a row whose station (by "stationuuid") is still there moves with it,
    // so the view keeps its current row, selection and scroll position.
    void replaceRows(std::shared_ptr<StationIndex> index, QList<int> rows);
    // The favourite marks changed: repaint them, without rebuilding rows.
    void refreshFavorites();

    Station stationAt(int row) const;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::function<bool(const Station&)> isFavorite_;
    std::shared_ptr<StationIndex> index_;
    QList<int> rows_;
};
