#include "radio/StationTableModel.h"

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

void StationTableModel::refreshFavorites() {
    if (!rows_.isEmpty())
        Q_EMIT dataChanged(this->index(0), this->index(int(rows_.size()) - 1), {FavoriteRole});
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
    case Qt::ToolTipRole:
        return views::plainToolTip(station.string(Station::Key::Name));
    case Qt::AccessibleTextRole:
        return QStringLiteral("%1, %2").arg(station.string(Station::Key::Name),
                                            collections::stringWithDelim(index_->tags(i), u", "));
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
