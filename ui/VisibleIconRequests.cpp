// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/VisibleIconRequests.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QScrollBar>
#include <QTimer>

VisibleIconRequests::VisibleIconRequests(QAbstractItemView* view, IconLoader& loader, QObject* parent)
    : QObject(parent), view_(view), loader_(loader) {
    if (!view)
        return;
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, &VisibleIconRequests::scheduleSweep);
    connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this, &VisibleIconRequests::scheduleSweep);
    view->viewport()->installEventFilter(this);
    if (QAbstractItemModel* model = view->model()) {
        connect(model, &QAbstractItemModel::modelReset, this, &VisibleIconRequests::scheduleSweep);
        connect(model, &QAbstractItemModel::layoutChanged, this, &VisibleIconRequests::scheduleSweep);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &VisibleIconRequests::scheduleSweep);
        connect(model, &QAbstractItemModel::rowsMoved, this, &VisibleIconRequests::scheduleSweep);
    }
}

VisibleIconRequests::~VisibleIconRequests() = default;

QImage VisibleIconRequests::icon(const QModelIndex& index, const QUrl& url, const QString& folder,
                                 const QString& name, const QSize& pixelSize) {
    if (url.isEmpty())
        return QImage();
    QImage image = loader_.thumbnail(url, folder, name, pixelSize);
    if (!image.isNull() || loader_.hasFailedRecently(url))
        return image;
    QString key = url.toString(QUrl::FullyEncoded) + QLatin1Char('\n') + folder + QLatin1Char('/') + name;
    if (pending_.count(key))
        return QImage();
    IconLoader::Request request = loader_.load(url, folder, name, [this, key](const QImage& loaded) {
        const auto it = pending_.find(key);
        if (it == pending_.end())
            return;
        const QPersistentModelIndex row = it->second.index;
        pending_.erase(it);
        // A failure is remembered by the loader; the row keeps what it painted meanwhile.
        if (!loaded.isNull() && view_ && row.isValid())
            view_->viewport()->update(view_->visualRect(row));
    });
    pending_.emplace(std::move(key), Pending{QPersistentModelIndex(index), std::move(request)});
    return QImage();
}

bool VisibleIconRequests::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Hide)
        scheduleSweep();
    return QObject::eventFilter(watched, event);
}

void VisibleIconRequests::scheduleSweep() {
    if (sweepQueued_)
        return;
    sweepQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        sweepQueued_ = false;
        sweep();
    });
}

void VisibleIconRequests::sweep() {
    const bool shown = view_ && view_->isVisible();
    const QRect visible = shown ? view_->viewport()->rect() : QRect();
    for (auto it = pending_.begin(); it != pending_.end();) {
        const QPersistentModelIndex& row = it->second.index;
        const bool keep = shown && row.isValid() && view_->visualRect(row).intersects(visible);
        it = keep ? std::next(it) : pending_.erase(it);
    }
}
