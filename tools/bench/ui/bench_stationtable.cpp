// SPDX-License-Identifier: GPL-3.0-or-later
// Scrolling a table of 7,000 stations whose icons are all in the disk cache: the paint time of
// every frame of a scripted scroll, offscreen. Each frame repaints the whole viewport, as a
// scroll does, and pays for the icons of the rows that come into view (read from disk, decoded,
// scaled) through VisibleIconRequests, as a station table would.
//
//   bench_stationtable [rows]
//
// The icons are generated once into the temporary folder and reused by later runs.
#include "RealisticStations.h"
#include "directory/StationFields.h"
#include "ui/StationImages.h"
#include "ui/VisibleIconRequests.h"
#include "util/HttpTransport.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

constexpr int kRowHeight = 40;
constexpr int kIcon = 32;

class StationListModel : public QAbstractListModel {
public:
    explicit StationListModel(StationList stations) : stations_(std::move(stations)) {}
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : int(stations_.size()); }
    QVariant data(const QModelIndex& index, int role) const override {
        return role == Qt::DisplayRole ? QVariant(stations_.at(index.row()).string(Station::Key::Name)) : QVariant();
    }
    const Station& station(int row) const { return stations_.at(row); }

private:
    StationList stations_;
};

// Icon and name, as the station table's rows show them.
class StationRowDelegate : public QStyledItemDelegate {
public:
    StationRowDelegate(const StationListModel& model, VisibleIconRequests& icons) : model_(model), icons_(icons) {
        fallback_ = QPixmap::fromImage(stationimages::fallbackImage().scaled(kIcon, kIcon, Qt::KeepAspectRatio,
                                                                             Qt::SmoothTransformation));
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

        const Station& station = model_.station(index.row());
        const QRect iconRect(option.rect.x() + 4, option.rect.y() + (kRowHeight - kIcon) / 2, kIcon, kIcon);
        const QString url = StationFields::iconPathForStation(station);
        const QImage icon = url.isEmpty() ? QImage()
                                          : icons_.icon(index, QUrl(url), stationimages::iconFolderForStation(station),
                                                        station.string(Station::Key::StationUuid), QSize(kIcon, kIcon));
        if (!icon.isNull())
            painter->drawImage(iconRect.topLeft() + QPoint((kIcon - icon.width()) / 2, (kIcon - icon.height()) / 2), icon);
        else
            painter->drawPixmap(iconRect.topLeft(), fallback_);

        const QRect textRect = option.rect.adjusted(kIcon + 12, 0, -4, 0);
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                          option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, textRect.width()));
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return QSize(300, kRowHeight); }

private:
    const StationListModel& model_;
    VisibleIconRequests& icons_;
    QPixmap fallback_;
};

// Favicons as stations have them: mostly small, some large.
QImage makeIcon(int i) {
    static constexpr int sizes[] = {16, 32, 48, 64, 64, 96, 128, 128, 192, 256};
    const int size = sizes[i % 10];
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRandomGenerator random{quint32(i)};
    QLinearGradient gradient(0, 0, size, size);
    gradient.setColorAt(0, QColor::fromHsv(int(random.bounded(360)), 180, 230));
    gradient.setColorAt(1, QColor::fromHsv(int(random.bounded(360)), 200, 120));
    painter.setBrush(gradient);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(0, 0, size, size), size / 5.0, size / 5.0);
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawEllipse(QRectF(size * 0.3, size * 0.3, size * 0.4, size * 0.4));
    return image;
}

// Writes the icon of every station that has an address, unless an earlier run has.
void fillCache(const QString& root, const StationList& stations) {
    const QString marker = root + QStringLiteral("/complete-%1").arg(stations.size());
    if (QFile::exists(marker))
        return;
    std::fprintf(stderr, "Writing %lld icons to %s ...\n", static_cast<long long>(stations.size()), qPrintable(root));
    for (int i = 0; i < stations.size(); ++i) {
        const Station& station = stations.at(i);
        if (StationFields::iconPathForStation(station).isEmpty())
            continue;
        const QString folder = root + u'/' + stationimages::iconFolderForStation(station);
        QDir().mkpath(folder);
        makeIcon(i).save(folder + u'/' + station.string(Station::Key::StationUuid), "PNG");
    }
    QFile done(marker);
    done.open(QIODevice::WriteOnly);
}

struct Pass {
    const char* name;
    std::vector<double> frames; // milliseconds
};

void report(const Pass& pass) {
    std::vector<double> sorted = pass.frames;
    std::sort(sorted.begin(), sorted.end());
    auto at = [&](double q) { return sorted[std::min(sorted.size() - 1, size_t(q * double(sorted.size())))]; };
    const double mean = std::accumulate(sorted.begin(), sorted.end(), 0.0) / double(sorted.size());
    std::printf("%-34s frames %5zu  mean %6.2f ms  median %6.2f ms  p99 %6.2f ms  worst %6.2f ms\n", pass.name,
                sorted.size(), mean, at(0.5), at(0.99), sorted.back());
}

// Scrolls from `from` to `to` by `step` pixels per frame, rendering each frame.
Pass scroll(const char* name, QListView& view, int from, int to, int step) {
    Pass pass{name, {}};
    QImage frame(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    QScrollBar* bar = view.verticalScrollBar();
    const int direction = to >= from ? 1 : -1;
    for (int y = from; direction > 0 ? y <= to : y >= to; y += direction * step) {
        bar->setValue(y);
        QElapsedTimer clock;
        clock.start();
        view.viewport()->render(&frame);
        pass.frames.push_back(double(clock.nsecsElapsed()) / 1e6);
        QCoreApplication::processEvents(); // what the event loop does between frames
    }
    return pass;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(100, std::atoi(argv[1])) : 7000;

    const StationList stations = realistic::stations(rows);
    const QString root = QDir::tempPath() + QStringLiteral("/ostrel-bench-icons");
    fillCache(root, stations);

    HttpTransport transport;
    IconLoader loader(transport, root);
    StationListModel model(stations);
    QListView view;
    view.setUniformItemSizes(true);
    view.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view.setModel(&model);
    VisibleIconRequests icons(&view, loader);
    StationRowDelegate delegate(model, icons);
    view.setItemDelegate(&delegate);
    view.resize(420, 600);
    view.show();
    QCoreApplication::processEvents();

    const int end = view.verticalScrollBar()->maximum();
    std::printf("%d rows of %d px, viewport %dx%d, %d icons on disk\n", rows, kRowHeight, view.viewport()->width(),
                view.viewport()->height(), int(std::count_if(stations.cbegin(), stations.cend(), [](const Station& s) {
                    return !StationFields::iconPathForStation(s).isEmpty();
                })));
    report(scroll("down, 1 row/frame, icons from disk", view, 0, end, kRowHeight));
    report(scroll("up 2000 rows, icons from memory", view, end, std::max(0, end - 2000 * kRowHeight), kRowHeight));
    report(scroll("down, 15 rows/frame (fling)", view, 0, end, 15 * kRowHeight));
    if (icons.pendingCount() != 0 || loader.activeTransfers() != 0)
        std::printf("unexpected network loads: %d\n", loader.activeTransfers());
    return 0;
}
