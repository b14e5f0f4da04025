// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QAbstractButton>
#include <QPointer>

class CachedURLImageView;
class QAction;
class QLabel;
class QTimer;
class StationsStripView;

// One tile of a station strip: the station's icon (or its short name drawn as an image) and
// its country's flag (or the mark of the user's own). Clicking it plays the station; while the
// pointer rests on it, the name is typed into the strip's label. Favourites tiles offer removal
// in their context menu, and editing for the user's own stations.
class StationCollectionViewItem : public QAbstractButton {
    Q_OBJECT
public:
    // One character per tick of this interval.
    static constexpr int kTypingIntervalMs = 5;

    StationCollectionViewItem(StationsStripView& strip, bool offersRemoval, QWidget* parent = nullptr);
    ~StationCollectionViewItem() override;

    // Shows `station` (an absent station: no image and no flag).
    void setRepresentedObject(const Station& station);
    const Station& representedObject() const { return station_; }
    // The flag of the station's country, or "" when none can be formed.
    QString flagText() const;
    CachedURLImageView* imageView() const { return imageView_; }
    // The context menu's removal, or nullptr on tiles without it.
    QAction* removeFromFavoritesMenuAction() const { return removeAction_; }
    // The context menu's "Edit…", shown for the user's own favourites only.
    QAction* editMenuAction() const { return editAction_; }
    bool isTyping() const;

    // Tells assistive technology the station's tags and favourite mark, and what keys do.
    void updateDescription();
    // Asks the controller to load and play the station.
    void playAction();
    void removeFromFavoritesAction();
    // Opens the station's editor (own stations only).
    void editAction();

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void mouseEntered();
    void mouseExited();
    void typeNextCharacter();

    StationsStripView& strip_;
    Station station_;
    CachedURLImageView* imageView_;
    QLabel* flag_;
    QAction* removeAction_ = nullptr;
    QAction* editAction_ = nullptr;
    QPointer<QTimer> t_;
};
