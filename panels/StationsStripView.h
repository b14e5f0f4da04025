// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"
#include "ui/HoverView.h"

#include <QList>
#include <QPointer>
#include <QSize>

class IconLoader;
class QAbstractButton;
class QLabel;
class QScrollArea;
class QToolButton;
class RadioBrowser;
class StationCollectionViewItem;

// A one-row, horizontally scrolling band of station tiles showing one of the directory
// client's lists, the favourites or the recent stations, and following every change of it
// (animated). While the pointer is over the strip, scroll buttons appear when the tiles do
// not all fit. A tile asks for its station through loadStationRequested.
class StationsStripView : public HoverView {
    Q_OBJECT
public:
    enum class List { Favorites, Recents };
    // Tile size and the gap between tiles; one scroll step is their sum.
    static constexpr QSize kItemSize{56, 56};
    static constexpr int kMinimumLineSpacing = 8;
    static constexpr int kAnimationMs = 200;

    // The strip of one list. The collaborators are not owned and must outlive the strip.
    static StationsStripView* createStationsStripView(List list, RadioBrowser& api, IconLoader& icons,
                                                      QWidget* parent = nullptr);

    StationsStripView(List list, RadioBrowser& api, IconLoader& icons, QWidget* parent = nullptr);
    ~StationsStripView() override;

    List list() const { return list_; }
    // The stations shown, in order, and their tiles (tiles fading out not included).
    StationList stations() const;
    const QList<StationCollectionViewItem*>& tiles() const { return tiles_; }
    int scrollStep() const { return kItemSize.width() + kMinimumLineSpacing; }

    QLabel* labelField() const { return labelField_; }
    QLabel* noItemsMessage() const { return noItemsMessage_; }
    QAbstractButton* scrollLeftButton() const;
    QAbstractButton* scrollRightButton() const;
    QScrollArea* collection() const { return collection_; }

    RadioBrowser& api() const { return api_; }
    IconLoader& icons() const { return icons_; }

    // Keyboard use of the tiles: the strip is one stop of the Tab chain, at the tile last
    // focused (the first at the start); arrows move between tiles.
    void ensureTileVisible(StationCollectionViewItem* tile);
    void focusNeighbourTile(StationCollectionViewItem* tile, int offset);
    void makeTabStop(StationCollectionViewItem* tile);
    // The tile whose name the label shows; only it clears the label.
    const QObject* labelOwner() const { return labelOwner_; }
    void setLabelOwner(QObject* tile) { labelOwner_ = tile; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // A tile was activated: load its station, and play it.
    void loadStationRequested(const Station& station, bool play);

protected:
    void mouseEntered() override;
    void mouseExited() override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void _prepareWithList();
    void configureHierarchy();
    void observeList(List changed);
    void configureSnapshot(bool animate);
    StationCollectionViewItem* makeTile(const Station& station);
    void scrollAction(QAbstractButton* sender);
    StationList currentList() const;
    void placeScrollButtons();
    void updateScrollButtonIcons();

    List list_;
    RadioBrowser& api_;
    IconLoader& icons_;

    QToolButton* scrollRightButton_ = nullptr;
    QToolButton* scrollLeftButton_ = nullptr;
    QScrollArea* collection_ = nullptr;
    QWidget* row_ = nullptr;
    QWidget* noItems_ = nullptr; // the message and the hint, for an empty list
    QLabel* noItemsMessage_ = nullptr;
    QLabel* noItemsHint_ = nullptr;
    QLabel* labelField_ = nullptr;
    QList<StationCollectionViewItem*> tiles_;
    QPointer<QObject> labelOwner_;
};
