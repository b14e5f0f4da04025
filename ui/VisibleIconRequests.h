// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/IconLoader.h"

#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>
#include <unordered_map>

class QAbstractItemView;

// Icons for the rows an item view shows. A delegate asks for a row's icon while painting it;
// a missing icon is loaded and its row repainted when it arrives. Loads whose row has scrolled
// out of view are cancelled, so a table of thousands of stations fetches only what was seen.
// Works with the view's model at construction.
class VisibleIconRequests : public QObject {
    Q_OBJECT
public:
    // `loader` must outlive this object; `view` is watched, not owned.
    VisibleIconRequests(QAbstractItemView* view, IconLoader& loader, QObject* parent = nullptr);
    ~VisibleIconRequests() override;

    // The row's icon fitted into `pixelSize`, or a null image while it loads or when there is
    // none (`url` empty or failing). Cheap when the icon is in memory.
    QImage icon(const QModelIndex& index, const QUrl& url, const QString& folder, const QString& name,
                const QSize& pixelSize);
    // Loads waiting for their icon.
    int pendingCount() const { return int(pending_.size()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scheduleSweep();
    // Cancels the loads of rows no longer in view.
    void sweep();

    struct Pending {
        QPersistentModelIndex index;
        IconLoader::Request request;
    };
    QPointer<QAbstractItemView> view_;
    IconLoader& loader_;
    std::unordered_map<QString, Pending> pending_;
    bool sweepQueued_ = false;
};
