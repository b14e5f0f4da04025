// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QPixmap>
#include <QStyledItemDelegate>
#include <functional>

// Draws one row of the station table: the station's picture, its name, its tags and a star that
// toggles the favourite. Clicks on the star come out as favoriteClicked.
class StationCellView : public QStyledItemDelegate {
    Q_OBJECT
public:
    // The picture of a station at the given size; null while none is known.
    using IconProvider = std::function<QPixmap(const Station&, const QModelIndex&, int size)>;

    explicit StationCellView(QObject* parent = nullptr);
    void setIconProvider(IconProvider provider) { icons_ = std::move(provider); }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // Where the star sits in a row, and whether a point hits it (with some room around it).
    static QRect starRect(const QRect& row);
    static bool hitsStar(const QRect& row, const QPoint& point);

Q_SIGNALS:
    void favoriteClicked(const QModelIndex& index);

private:
    IconProvider icons_;
};
