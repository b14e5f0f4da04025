// SPDX-License-Identifier: GPL-3.0-or-later
#include "panels/StationCollectionViewItem.h"

#include "directory/ListRefresher.h"
#include "directory/OwnStations.h"
#include "directory/RadioBrowser.h"
#include "geo/Countries.h"
#include "panels/AddStationDialog.h"
#include "panels/StationsStripView.h"
#include "ui/CachedURLImageView.h"
#include "ui/ImageExtensions.h"
#include "ui/StationImages.h"
#include "ui/ThemeIcons.h"
#include "ui/ViewExtensions.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace {

// The bold system font at the small size, for names drawn in place of an icon.
QFont smallBoldFont(QFont font) {
    font.setBold(true);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(qMax(7.0, font.pointSizeF() * 0.85));
    else
        font.setPixelSize(qMax(9, font.pixelSize() * 85 / 100));
    return font;
}

constexpr int kInset = 4;

} // namespace

StationCollectionViewItem::StationCollectionViewItem(StationsStripView& strip, bool offersRemoval, QWidget* parent)
    : QAbstractButton(parent), strip_(strip), imageView_(new CachedURLImageView(&strip.icons(), this)),
      flag_(new QLabel(this)) {
    setFocusPolicy(Qt::ClickFocus); // the strip chooses its Tab stop
    setFixedSize(StationsStripView::kItemSize);
    imageView_->setAttribute(Qt::WA_TransparentForMouseEvents);
    flag_->setAttribute(Qt::WA_TransparentForMouseEvents);
    flag_->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    connect(this, &QAbstractButton::clicked, this, &StationCollectionViewItem::playAction);

    if (offersRemoval) {
        removeAction_ = new QAction(themeicons::themeIcon(QStringLiteral("list-remove")), tr("Remove from Favorites"), this);
        connect(removeAction_, &QAction::triggered, this, &StationCollectionViewItem::removeFromFavoritesAction);
        addAction(removeAction_);
        editAction_ = new QAction(themeicons::themeIcon(QStringLiteral("document-edit")), tr("Edit…"), this);
        editAction_->setVisible(false);
        connect(editAction_, &QAction::triggered, this, &StationCollectionViewItem::editAction);
        addAction(editAction_);
        setContextMenuPolicy(Qt::ActionsContextMenu);
    } else {
        setContextMenuPolicy(Qt::NoContextMenu);
    }
}

StationCollectionViewItem::~StationCollectionViewItem() {
    // A tile removed under the pointer gets no leave event: its name must not stay behind.
    if (strip_.labelOwner() == this)
        strip_.labelField()->setText(QString());
}

QSize StationCollectionViewItem::sizeHint() const {
    return StationsStripView::kItemSize;
}

void StationCollectionViewItem::setRepresentedObject(const Station& station) {
    station_ = station;
    if (station.isNull()) {
        imageView_->setImage(QImage());
        flag_->setText(QString());
        setAccessibleName(QString());
        setToolTip(QString());
        return;
    }
    if (!RadioBrowser::iconPathForStation(station).isEmpty()) {
        imageView_->setScaling(CachedURLImageView::Scaling::Fit);
        stationimages::setImageView(imageView_, station);
    } else {
        imageView_->setScaling(CachedURLImageView::Scaling::FitDown);
        imageView_->setImage(images::createWithText(RadioBrowser::truncatedNameForStation(station),
                                                    smallBoldFont(font()), devicePixelRatioF()));
    }
    // A station the directory dropped may not play any more: the tile says so.
    const bool unlisted = ListRefresher::isUnlisted(station);
    const bool own = OwnStations::isOwn(station);
    const QString flag = countries::stringFlagForCountryCode(station.string(Station::Key::CountryCode));
    flag_->setText(unlisted ? QStringLiteral("⚠️") : own ? QStringLiteral("✎") + flag : flag);
    const QString name = station.string(Station::Key::Name);
    setAccessibleName(name);
    setToolTip(views::plainToolTip(unlisted ? tr("%1\nNo longer in the directory").arg(name)
                                   : own    ? tr("%1\nYour own station").arg(name)
                                            : name));
    if (editAction_)
        editAction_->setVisible(own);
    updateDescription();
}

void StationCollectionViewItem::updateDescription() {
    if (station_.isNull())
        return;
    QStringList parts = RadioBrowser::tagsForStation(station_);
    if (strip_.api().isFavoriteStation(station_))
        parts.append(tr("favourite"));
    if (ListRefresher::isUnlisted(station_))
        parts.append(tr("no longer in the directory"));
    if (OwnStations::isOwn(station_))
        parts.append(tr("your own station"));
    const QString does = removeAction_ ? tr("Enter plays, the menu key offers removal") : tr("Enter plays");
    setAccessibleDescription(
        parts.isEmpty() ? does : parts.join(QStringLiteral(", ")) + QStringLiteral(". ") + does);
}

QString StationCollectionViewItem::flagText() const {
    return flag_->text();
}

bool StationCollectionViewItem::isTyping() const {
    return t_ && t_->isActive();
}

void StationCollectionViewItem::playAction() {
    if (station_.isNull())
        return;
    Q_EMIT strip_.loadStationRequested(station_, true);
}

void StationCollectionViewItem::removeFromFavoritesAction() {
    if (!station_.isNull())
        strip_.api().removeFavoriteStation(station_);
}

void StationCollectionViewItem::editAction() {
    if (station_.isNull() || !OwnStations::isOwn(station_))
        return;
    auto* dialog = new AddStationDialog(strip_.api(), nullptr, station_, window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void StationCollectionViewItem::mouseEntered() {
    strip_.setLabelOwner(this);
    strip_.labelField()->setText(QStringLiteral(""));
    // The stored timer is always the latest.
    if (t_)
        t_->stop();
    else {
        t_ = new QTimer(this);
        t_->setInterval(kTypingIntervalMs);
        connect(t_, &QTimer::timeout, this, &StationCollectionViewItem::typeNextCharacter);
    }
    t_->start();
}

void StationCollectionViewItem::mouseExited() {
    if (t_)
        t_->stop();
    // Another tile may have taken the label meanwhile (pointer there, focus leaving here).
    if (strip_.labelOwner() != this)
        return;
    strip_.setLabelOwner(nullptr);
    strip_.labelField()->setText(QStringLiteral(""));
}

void StationCollectionViewItem::typeNextCharacter() {
    QLabel* label = strip_.labelField();
    const QString name = station_.string(Station::Key::Name);
    const qsizetype shown = label->text().size();
    if (shown >= name.size()) {
        t_->stop();
        return;
    }
    // One character, not half of one: a surrogate pair appears whole.
    qsizetype next = shown + 1;
    if (name.at(shown).isHighSurrogate() && next < name.size() && name.at(next).isLowSurrogate())
        ++next;
    label->setText(name.left(next));
}

void StationCollectionViewItem::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    mouseEntered();
    update();
}

void StationCollectionViewItem::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    mouseExited();
    update();
}

void StationCollectionViewItem::focusInEvent(QFocusEvent* event) {
    QAbstractButton::focusInEvent(event);
    // Keyboard users see the name too, and the tile scrolls into view.
    strip_.makeTabStop(this);
    strip_.ensureTileVisible(this);
    mouseEntered();
}

void StationCollectionViewItem::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    if (!underMouse())
        mouseExited();
}

bool StationCollectionViewItem::event(QEvent* event) {
    // A menu asked for from the keyboard (the menu key, Shift+F10) opens at the tile, not at
    // the pointer, which may be anywhere.
    if (event->type() == QEvent::ContextMenu) {
        auto* menu = static_cast<QContextMenuEvent*>(event);
        if (menu->reason() != QContextMenuEvent::Mouse) {
            QContextMenuEvent atTile(QContextMenuEvent::Keyboard, QPoint(0, height()),
                                     mapToGlobal(QPoint(0, height())), menu->modifiers());
            return QAbstractButton::event(&atTile);
        }
    }
    return QAbstractButton::event(event);
}

void StationCollectionViewItem::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(0, height()),
                               mapToGlobal(QPoint(0, height())));
        QAbstractButton::event(&menu);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        click();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        strip_.focusNeighbourTile(this, event->key() == Qt::Key_Left ? -1 : 1);
        return;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (removeAction_) {
            removeAction_->trigger();
            return;
        }
        break;
    default:
        break;
    }
    QAbstractButton::keyPressEvent(event);
}

void StationCollectionViewItem::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    imageView_->setGeometry(rect().adjusted(kInset, kInset, -kInset, -kInset));
    flag_->setGeometry(rect().adjusted(1, 1, -1, 0));
}

void StationCollectionViewItem::paintEvent(QPaintEvent*) {
    const bool highlighted = underMouse() || hasFocus() || isDown();
    if (!highlighted)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = palette().color(QPalette::Highlight);
    fill.setAlphaF(isDown() ? 0.35 : 0.18);
    painter.setPen(hasFocus() ? QPen(palette().color(QPalette::Highlight), 1.5) : Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
}
