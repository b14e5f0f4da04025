#pragma once

#include "directory/Station.h"
#include "ui/HoverView.h"

#include <QList>
#include <QPointer>
#include <QSize>

class IconLoader;
class NotificationCenter;
class QAbstractButton;
class QLabel;
class QScrollArea;
class QToolButton;
class RadioBrowser;
class StationCollectionViewItem;

// A one-row, horizontally scrolling band of station tiles showing one of the directory
// client's lists, "favoriteStations" or "recentStations", and following every change of it
// (animated). While the pointer is over the strip, scroll buttons appear when the tiles do
// not all fit. Tiles play through kLoadStationNotification.
class StationsStripView : public HoverView {
    Q_OBJECT
public:
    static inline const QString kFavoriteStations = QStringLiteral("favoriteStations");
    static inline const QString kRecentStations = QStringLiteral("recentStations");
    // Tile size and the gap between tiles; one scroll step is their sum.
    static constexpr QSize kItemSize{56, 56};
    static constexpr int kMinimumLineSpacing = 8;
    static constexpr int kAnimationMs = 200;

    // The strip of `keyPath` ("favoriteStations", else the recent stations). The collaborators
    // are not owned and must outlive the strip.
    static StationsStripView* createStationsStripView(const QString& keyPath, RadioBrowser& api,
                                                      NotificationCenter& notifications, IconLoader& icons,
                                                      QWidget* parent = nullptr);

    StationsStripView(const QString& keyPath, RadioBrowser& api, NotificationCenter& notifications,
                      IconLoader& icons, QWidget* parent = nullptr);
    ~StationsStripView() override;

    const QString& keyPath() const { return keyPath_; }
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
    NotificationCenter& notifications() const { return notifications_; }
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

protected:
    void mouseEntered() override;
    void mouseExited() override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void _prepareWithKeyPath();
    void configureHierarchy();
    void observeValueForKeyPath(const QString& keyPath);
    void configureSnapshot(bool animate);
    StationCollectionViewItem* makeTile(const Station& station);
    void scrollAction(QAbstractButton* sender);
    StationList currentList() const;
    void placeScrollButtons();
    void updateScrollButtonIcons();

    QString keyPath_;
    RadioBrowser& api_;
    NotificationCenter& notifications_;
    IconLoader& icons_;

    QToolButton* scrollRightButton_ = nullptr;
    QToolButton* scrollLeftButton_ = nullptr;
    QScrollArea* collection_ = nullptr;
    QWidget* row_ = nullptr;
    QLabel* noItemsMessage_ = nullptr;
    QLabel* labelField_ = nullptr;
    QList<StationCollectionViewItem*> tiles_;
    QPointer<QObject> labelOwner_;
};
