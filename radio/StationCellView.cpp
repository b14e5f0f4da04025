// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/StationCellView.h"

#include "directory/StationFields.h"
#include "radio/StationTableModel.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFocusRect>

namespace {
constexpr int kRowHeight = 48;
constexpr int kIconSize = 36;
constexpr int kMargin = 8;
constexpr int kStarSize = 20;

// A round badge with the first letter of the name, for stations whose picture is not there:
// the name picks the hue, the palette the shades, so the letter stands out on either scheme.
QPixmap letterBadge(const QString& name, const QPalette& palette, int size, qreal dpr) {
    QPixmap pixmap(QSize(size, size) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor base = palette.color(QPalette::Base);
    const bool darkScheme = base.lightness() < palette.color(QPalette::Text).lightness();
    const uint hue = qHash(name) % 360;
    p.setBrush(QColor::fromHsl(int(hue), 110, darkScheme ? 175 : 95));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, size, size), 8, 8);
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPixelSize(size / 2);
    p.setFont(font);
    p.setPen(base); // the table's own background: dark letters on light badges and the reverse
    const QString letter = name.trimmed().left(1).toUpper();
    p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, letter.isEmpty() ? QStringLiteral("♪") : letter);
    return pixmap;
}

// The favourite star's gold, deeper on light backgrounds, brighter on dark ones.
QColor starGold(const QPalette& palette) {
    const bool darkScheme = palette.color(QPalette::Base).lightness() < palette.color(QPalette::Text).lightness();
    return darkScheme ? QColor(0xFF, 0xC8, 0x3D) : QColor(0xE0, 0x9B, 0x00);
}

QPainterPath starPath(const QRectF& r) {
    QPainterPath path;
    const QPointF c = r.center();
    const qreal outer = r.width() / 2, inner = outer * 0.45;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        const qreal radius = (i % 2) ? inner : outer;
        const QPointF pt(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}
} // namespace

StationCellView::StationCellView(QObject* parent) : QStyledItemDelegate(parent) {}

QRect StationCellView::starRect(const QRect& row) {
    return QRect(row.right() - kMargin - kStarSize, row.center().y() - kStarSize / 2, kStarSize, kStarSize);
}

bool StationCellView::hitsStar(const QRect& row, const QPoint& point) {
    return starRect(row).adjusted(-4, -4, 4, 4).contains(point);
}

QSize StationCellView::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return QSize(option.rect.width(), kRowHeight);
}

void StationCellView::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const Station station = index.data(StationTableModel::StationRole).value<Station>();
    const QRect r = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& pal = option.palette;
    const QColor text = pal.color(selected ? QPalette::HighlightedText : QPalette::Text);
    QColor dim = text;
    dim.setAlphaF(0.65f);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect iconRect(r.left() + kMargin, r.center().y() - kIconSize / 2, kIconSize, kIconSize);
    QPixmap icon = icons_ ? icons_(station, index, kIconSize) : QPixmap();
    if (icon.isNull())
        icon = letterBadge(station.string(Station::Key::Name), pal, kIconSize, painter->device()->devicePixelRatioF());
    painter->drawPixmap(iconRect, icon);

    const QRect star = starRect(r);
    const int textLeft = iconRect.right() + kMargin;
    const QRect textRect(textLeft, r.top() + 6, star.left() - kMargin - textLeft, r.height() - 12);
    QFont nameFont = option.font;
    nameFont.setBold(true);
    painter->setFont(nameFont);
    painter->setPen(text);
    const QFontMetrics nameMetrics(nameFont);
    painter->drawText(textRect.adjusted(0, 0, 0, -textRect.height() / 2), Qt::AlignLeft | Qt::AlignBottom,
                      nameMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, textRect.width()));
    QFont tagsFont = option.font;
    tagsFont.setPointSizeF(tagsFont.pointSizeF() * 0.85);
    painter->setFont(tagsFont);
    painter->setPen(dim);
    painter->drawText(textRect.adjusted(0, textRect.height() / 2 + 1, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                      QFontMetrics(tagsFont).elidedText(index.data(StationTableModel::TagsTextRole).toString(),
                                                        Qt::ElideRight, textRect.width()));

    const bool favorite = index.data(StationTableModel::FavoriteRole).toBool();
    const QPainterPath path = starPath(QRectF(star).adjusted(1, 1, -1, -1));
    if (favorite) {
        // Gold, edged in the text colour: on white alone it would fade.
        painter->setPen(QPen(text, 0.8));
        painter->setBrush(starGold(pal));
    } else {
        painter->setPen(QPen(dim, 1.2));
        painter->setBrush(Qt::NoBrush);
    }
    painter->drawPath(path);
    painter->restore();

    // The keyboard's row is visible even when nothing is selected.
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = r.adjusted(1, 1, -1, -1);
        focus.backgroundColor = pal.color(selected ? QPalette::Highlight : QPalette::Base);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}

bool StationCellView::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick || type == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && hitsStar(option.rect, mouse->position().toPoint())) {
            // The star is a button of its own: its clicks never select or play the row. (The
            // view reports a double click before asking the delegate: the controller stops those.)
            if (type == QEvent::MouseButtonRelease)
                Q_EMIT favoriteClicked(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
