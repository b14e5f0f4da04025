// SPDX-License-Identifier: GPL-3.0-or-later
#include "panels/StationsStripView.h"

#include "directory/RadioBrowser.h"
#include "panels/StationCollectionViewItem.h"
#include "ui/ImageExtensions.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QHash>
#include <QLabel>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

const QString kSlideName = QStringLiteral("slide");

// Moves a tile to its place, sliding it there when animated; a slide still running is
// replaced, so a quick second change never leaves a tile between two places.
void slide(QWidget* tile, const QPoint& to, bool animate) {
    if (auto* running = tile->findChild<QPropertyAnimation*>(kSlideName, Qt::FindDirectChildrenOnly))
        running->stop();
    if (!animate || tile->pos() == to) {
        tile->move(to);
        return;
    }
    auto* animation = new QPropertyAnimation(tile, "pos", tile);
    animation->setObjectName(kSlideName);
    animation->setDuration(StationsStripView::kAnimationMs);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    animation->setEndValue(to);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

// Fades a tile in (`in`) or out; a tile faded out is deleted.
void fadeTile(QWidget* tile, bool in) {
    auto* effect = new QGraphicsOpacityEffect(tile);
    effect->setOpacity(in ? 0.0 : 1.0);
    tile->setGraphicsEffect(effect);
    auto* animation = new QPropertyAnimation(effect, "opacity", tile);
    animation->setDuration(StationsStripView::kAnimationMs);
    animation->setStartValue(in ? 0.0 : 1.0);
    animation->setEndValue(in ? 1.0 : 0.0);
    if (in)
        QObject::connect(animation, &QPropertyAnimation::finished, tile, [tile] { tile->setGraphicsEffect(nullptr); });
    else
        QObject::connect(animation, &QPropertyAnimation::finished, tile, &QObject::deleteLater);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

QString identity(const Station& station) {
    return station.string(Station::Key::StationUuid);
}

QFont smallFont(QFont font) {
    if (font.pointSizeF() > 0)
        font.setPointSizeF(qMax(7.0, font.pointSizeF() * 0.85));
    return font;
}

} // namespace

StationsStripView* StationsStripView::createStationsStripView(List list, RadioBrowser& api, IconLoader& icons,
                                                              QWidget* parent) {
    return new StationsStripView(list, api, icons, parent);
}

StationsStripView::StationsStripView(List list, RadioBrowser& api, IconLoader& icons, QWidget* parent)
    : HoverView(parent), list_(list), api_(api), icons_(icons) {
    configureHierarchy();
    _prepareWithList();
}

StationsStripView::~StationsStripView() {
    // Tiles talk to the label when they go; they go first, while the label is still there.
    qDeleteAll(row_->findChildren<StationCollectionViewItem*>(Qt::FindDirectChildrenOnly));
}

void StationsStripView::configureHierarchy() {
    labelField_ = new QLabel(this);
    labelField_->setAlignment(Qt::AlignCenter);
    labelField_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    labelField_->setAccessibleDescription(tr("Station name"));
    labelField_->setTextFormat(Qt::PlainText);
    QFont labelFont = labelField_->font();
    labelFont.setBold(true);
    labelField_->setFont(smallFont(labelFont));
    labelField_->setFixedHeight(labelField_->fontMetrics().height());

    row_ = new QWidget;
    row_->resize(0, kItemSize.height());
    collection_ = new QScrollArea(this);
    collection_->setFrameShape(QFrame::NoFrame);
    collection_->setWidgetResizable(false);
    collection_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    collection_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    collection_->setFocusPolicy(Qt::NoFocus);
    collection_->setFixedHeight(kItemSize.height());
    collection_->setWidget(row_);
    collection_->viewport()->setAutoFillBackground(false);
    row_->setAutoFillBackground(false);
    collection_->viewport()->installEventFilter(this);

    // An empty list says what it is and how it fills, in place of the tiles.
    noItems_ = new QWidget(this);
    auto* empty = new QVBoxLayout(noItems_);
    empty->setContentsMargins(0, 0, 0, 0);
    empty->setSpacing(2);
    noItemsMessage_ = new QLabel(noItems_);
    noItemsHint_ = new QLabel(noItems_);
    noItemsHint_->setObjectName(QStringLiteral("noItemsHint"));
    for (QLabel* label : {noItemsMessage_, noItemsHint_}) {
        label->setAlignment(Qt::AlignCenter);
        label->setForegroundRole(QPalette::PlaceholderText);
        label->setFont(smallFont(label->font()));
        empty->addWidget(label);
    }

    auto makeScrollButton = [this](const QString& name) {
        auto* button = new QToolButton(this);
        button->setAutoRaise(true);
        button->setAutoFillBackground(true);
        button->setBackgroundRole(QPalette::Window);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(20, kItemSize.height());
        button->setIconSize(QSize(12, 12));
        button->setAccessibleName(name);
        button->setToolTip(name);
        connect(button, &QToolButton::clicked, this, [this, button] { scrollAction(button); });
        return button;
    };
    scrollLeftButton_ = makeScrollButton(tr("Scroll left"));
    scrollRightButton_ = makeScrollButton(tr("Scroll right"));
    updateScrollButtonIcons();

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setVerticalSpacing(2);
    layout->addWidget(labelField_, 0, 0);
    layout->addWidget(collection_, 1, 0);
    layout->addWidget(noItems_, 1, 0);
}

void StationsStripView::_prepareWithList() {
    labelField_->setText(QStringLiteral(""));
    scrollLeftButton_->hide();
    scrollRightButton_->hide();
    const bool favorites = list_ == List::Favorites;
    noItemsMessage_->setText(favorites ? tr("FAVORITE STATIONS LIST") : tr("RECENT STATIONS LIST"));
    noItemsHint_->setText(favorites ? tr("Star a station to keep it here.")
                                    : tr("The stations you play appear here."));
    setAccessibleName(favorites ? tr("Favorite stations") : tr("Recent stations"));
    configureSnapshot(false);
    connect(&api_, &RadioBrowser::favoriteStationsChanged, this, [this] { observeList(List::Favorites); });
    connect(&api_, &RadioBrowser::recentStationsChanged, this, [this] { observeList(List::Recents); });
}

StationList StationsStripView::currentList() const {
    return list_ == List::Favorites ? api_.favoriteStations() : api_.recentStations();
}

void StationsStripView::observeList(List changed) {
    if (changed == list_)
        configureSnapshot(true);
    else if (changed == List::Favorites)
        for (StationCollectionViewItem* tile : std::as_const(tiles_))
            tile->updateDescription(); // a recent station's star changed
}

StationList StationsStripView::stations() const {
    StationList shown;
    shown.reserve(tiles_.size());
    for (const StationCollectionViewItem* tile : tiles_)
        shown.append(tile->representedObject());
    return shown;
}

QAbstractButton* StationsStripView::scrollLeftButton() const {
    return scrollLeftButton_;
}

QAbstractButton* StationsStripView::scrollRightButton() const {
    return scrollRightButton_;
}

StationCollectionViewItem* StationsStripView::makeTile(const Station& station) {
    // Only favourites can be removed from the strip.
    auto* tile = new StationCollectionViewItem(*this, list_ == List::Favorites, row_);
    tile->setRepresentedObject(station);
    tile->show();
    return tile;
}

void StationsStripView::configureSnapshot(bool animate) {
    const StationList list = currentList();

    // Tiles are kept for the stations that stay, found by identity; the lists never hold
    // one station twice, and a station without identity gets a fresh tile.
    QHash<QString, StationCollectionViewItem*> old;
    int focused = -1;
    for (int i = 0; i < tiles_.size(); ++i) {
        StationCollectionViewItem* tile = tiles_.at(i);
        if (tile->hasFocus())
            focused = i;
        const QString key = identity(tile->representedObject());
        if (!key.isEmpty() && !old.contains(key))
            old.insert(key, tile);
        else
            old.insert(QStringLiteral("#%1").arg(i), tile);
    }

    QList<StationCollectionViewItem*> next;
    next.reserve(list.size());
    for (int i = 0; i < list.size(); ++i) {
        const Station& station = list.at(i);
        const QPoint place(i * scrollStep(), 0);
        const QString key = identity(station);
        StationCollectionViewItem* tile = key.isEmpty() ? nullptr : old.take(key);
        if (tile) {
            if (!(tile->representedObject() == station))
                tile->setRepresentedObject(station);
            slide(tile, place, animate);
        } else {
            tile = makeTile(station);
            tile->move(place);
            if (animate)
                fadeTile(tile, true);
        }
        next.append(tile);
    }
    for (StationCollectionViewItem* leaving : std::as_const(old)) {
        if (animate) {
            leaving->setAttribute(Qt::WA_TransparentForMouseEvents);
            leaving->setFocusPolicy(Qt::NoFocus);
            leaving->lower();
            fadeTile(leaving, false);
        } else {
            delete leaving;
        }
    }
    tiles_ = next;
    row_->resize(tiles_.isEmpty() ? 0 : int(tiles_.size()) * scrollStep() - kMinimumLineSpacing, kItemSize.height());
    noItems_->setHidden(!list.isEmpty());
    collection_->setHidden(list.isEmpty());

    // Keyboard focus stays in the strip when its tile goes.
    if (focused >= 0 && !tiles_.isEmpty() && !std::any_of(tiles_.cbegin(), tiles_.cend(), [](auto* t) { return t->hasFocus(); }))
        tiles_.at(qMin<qsizetype>(focused, tiles_.size() - 1))->setFocus(Qt::OtherFocusReason);
    if (!tiles_.isEmpty() && std::none_of(tiles_.cbegin(), tiles_.cend(),
                                          [](auto* t) { return t->focusPolicy() == Qt::StrongFocus; }))
        makeTabStop(tiles_.first());
    if (underMouse())
        mouseEntered();
}

void StationsStripView::scrollAction(QAbstractButton* sender) {
    QScrollBar* bar = collection_->horizontalScrollBar();
    const int x = bar->value();
    const int visible = collection_->viewport()->width();
    const int content = row_->width();
    const int step = scrollStep();
    if (sender == scrollLeftButton_) {
        if (x == 0)
            return;
        bar->setValue(qMax(0, x - step));
    } else if (sender == scrollRightButton_) {
        if (x + visible >= content)
            return;
        bar->setValue(qMin(x + step, content - visible));
    }
}

void StationsStripView::mouseEntered() {
    const bool overflows = row_->width() > collection_->viewport()->width();
    const bool show = !tiles_.isEmpty() && overflows;
    scrollLeftButton_->setVisible(show);
    scrollRightButton_->setVisible(show);
    if (show) {
        placeScrollButtons();
        scrollLeftButton_->raise();
        scrollRightButton_->raise();
    }
}

void StationsStripView::mouseExited() {
    scrollLeftButton_->hide();
    scrollRightButton_->hide();
}

void StationsStripView::placeScrollButtons() {
    const QRect area = collection_->geometry();
    scrollLeftButton_->move(area.left(), area.top());
    scrollRightButton_->move(area.right() - scrollRightButton_->width() + 1, area.top());
}

void StationsStripView::resizeEvent(QResizeEvent* event) {
    placeScrollButtons();
    HoverView::resizeEvent(event);
}

void StationsStripView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        updateScrollButtonIcons();
    HoverView::changeEvent(event);
}

void StationsStripView::updateScrollButtonIcons() {
    const QColor color = palette().color(QPalette::ButtonText);
    scrollLeftButton_->setIcon(QIcon(QPixmap::fromImage(
        images::tinted(images::imageWithSystemSymbolName(QStringLiteral("chevron.left"), images::SymbolScaleMedium), color))));
    scrollRightButton_->setIcon(QIcon(QPixmap::fromImage(
        images::tinted(images::imageWithSystemSymbolName(QStringLiteral("chevron.right"), images::SymbolScaleMedium), color))));
}

bool StationsStripView::eventFilter(QObject* watched, QEvent* event) {
    // A vertical wheel scrolls the one-row strip sideways.
    if (watched == collection_->viewport() && event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint pixels = wheel->pixelDelta();
        const QPoint angle = wheel->angleDelta();
        const int delta = !pixels.isNull() ? (pixels.x() != 0 ? pixels.x() : pixels.y())
                                           : (angle.x() != 0 ? angle.x() : angle.y()) / 2;
        QScrollBar* bar = collection_->horizontalScrollBar();
        bar->setValue(bar->value() - delta);
        return true;
    }
    return HoverView::eventFilter(watched, event);
}

void StationsStripView::ensureTileVisible(StationCollectionViewItem* tile) {
    collection_->ensureWidgetVisible(tile, kMinimumLineSpacing, 0);
}

void StationsStripView::makeTabStop(StationCollectionViewItem* tile) {
    for (StationCollectionViewItem* other : std::as_const(tiles_))
        other->setFocusPolicy(other == tile ? Qt::StrongFocus : Qt::ClickFocus);
}

void StationsStripView::focusNeighbourTile(StationCollectionViewItem* tile, int offset) {
    const qsizetype index = tiles_.indexOf(tile);
    const qsizetype next = index + offset;
    if (index >= 0 && next >= 0 && next < tiles_.size())
        tiles_.at(next)->setFocus(Qt::TabFocusReason);
}

QSize StationsStripView::sizeHint() const {
    const QSize minimum = minimumSizeHint();
    return QSize(6 * scrollStep() - kMinimumLineSpacing + 8, minimum.height());
}

QSize StationsStripView::minimumSizeHint() const {
    return QSize(2 * scrollStep(), labelField_->height() + 2 + kItemSize.height() + 6);
}
