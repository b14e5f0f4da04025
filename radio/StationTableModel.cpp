// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/StationTableModel.h"

#include "directory/ListRefresher.h"
#include "directory/OwnStations.h"
#include "ui/ViewExtensions.h"
#include "util/Collections.h"

StationTableModel::StationTableModel(std::function<bool(const Station&)> isFavorite, QObject* parent)
    : QAbstractListModel(parent), isFavorite_(std::move(isFavorite)) {}

void StationTableModel::setRows(std::shared_ptr<StationIndex> index, QList<int> rows) {
    beginResetModel();
    index_ = std::move(index);
    rows_ = index_ ? std::move(rows) : QList<int>();
    endResetModel();
}

void StationTableModel::replaceRows(std::shared_ptr<StationIndex> index, QList<int> rows) {
    if (!index) {
        setRows(nullptr, {});
        return;
    }
    Q_EMIT layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QList<QString> uuids; // of the rows the view holds on to
    uuids.reserve(before.size());
    for (const QModelIndex& i : before)
        uuids.append(stationAt(i.row()).string(Station::Key::StationUuid));
    index_ = std::move(index);
    rows_ = std::move(rows);
    QHash<QString, int> rowOf;
    rowOf.reserve(rows_.size());
    for (int row = 0; row < rows_.size(); ++row)
        rowOf.insert(index_->stations().at(rows_[row]).string(Station::Key::StationUuid), row);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QString& uuid : uuids) {
        const int row = uuid.isEmpty() ? -1 : rowOf.value(uuid, -1);
        after.append(row < 0 ? QModelIndex() : this->index(row));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged();
}

void StationTableModel::refreshFavorites() {
    if (!rows_.isEmpty())
        Q_EMIT dataChanged(this->index(0), this->index(int(rows_.size()) - 1),
                           {FavoriteRole, Qt::AccessibleTextRole, Qt::AccessibleDescriptionRole});
}

Station StationTableModel::stationAt(int row) const {
    if (row < 0 || row >= rows_.size())
        return Station();
    return index_->stations().at(rows_[row]);
}

int StationTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

QVariant StationTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size())
        return QVariant();
    const int i = rows_[index.row()];
    const Station& station = index_->stations().at(i);
    switch (role) {
    case Qt::DisplayRole:
        return station.string(Station::Key::Name);
    case Qt::ToolTipRole: {
        // The row cuts a long tag list short; the tooltip has it whole.
        QString tip = station.string(Station::Key::Name);
        if (const QString tags = collections::stringWithDelim(index_->tags(i), u", "); !tags.isEmpty())
            tip += u'\n' + tags;
        if (ListRefresher::isUnlisted(station))
            tip = tr("%1\nNo longer in the directory").arg(tip);
        else if (OwnStations::isOwn(station))
            tip = tr("%1\nYour own station").arg(tip);
        return views::plainToolTip(tip);
    }
    case Qt::AccessibleTextRole: {
        // What a screen reader says for the row: the name, the tags, the star.
        QStringList parts{station.string(Station::Key::Name)};
        if (const QString tags = collections::stringWithDelim(index_->tags(i), u", "); !tags.isEmpty())
            parts.append(tags);
        if (isFavorite_(station))
            parts.append(QStringLiteral("favourite"));
        return parts.join(QStringLiteral(", "));
    }
    case Qt::AccessibleDescriptionRole:
        return isFavorite_(station) ? tr("Enter plays, Space removes the star")
                                    : tr("Enter plays, Space adds the star");
    case TagsTextRole:
        return collections::stringWithDelim(index_->tags(i), u", ");
    case FavoriteRole:
        return isFavorite_(station);
    case StationRole:
        return QVariant::fromValue(station);
    default:
        return QVariant();
    }
}
