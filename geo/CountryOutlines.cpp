// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/CountryOutlines.h"

#include <algorithm>
#include <cmath>
#include <QJsonDocument>
#include <QJsonObject>

OutlinePath::OutlinePath(std::vector<Point> points)
    : points_(std::move(points)) {
    if (points_.empty())
        return;
    if (points_.front().x != points_.back().x || points_.front().y != points_.back().y)
        points_.push_back(points_.front());
    minX_ = maxX_ = points_.front().x;
    minY_ = maxY_ = points_.front().y;
    for (const Point& p : points_) {
        minX_ = std::min(minX_, p.x);
        maxX_ = std::max(maxX_, p.x);
        minY_ = std::min(minY_, p.y);
        maxY_ = std::max(maxY_, p.y);
    }
}

bool OutlinePath::containsPoint(double x, double y) const {
    if (!(x >= minX_ && x <= maxX_ && y >= minY_ && y <= maxY_))
        return false;
    // Winding number: edges crossing the horizontal line through the point upwards with the
    // point on their left count +1, downwards with the point on their right -1.
    int winding = 0;
    const Point* p = points_.data();
    const Point* end = p + points_.size() - 1;
    for (; p != end; ++p) {
        const Point& a = p[0];
        const Point& b = p[1];
        if (a.y <= y) {
            if (b.y > y && (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y) > 0)
                ++winding;
        } else if (b.y <= y && (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y) < 0) {
            --winding;
        }
    }
    return winding != 0;
}

double OutlinePath::area() const {
    double twice = 0;
    for (size_t i = 0; i + 1 < points_.size(); ++i)
        twice += points_[i].x * points_[i + 1].y - points_[i + 1].x * points_[i].y;
    return std::fabs(twice) / 2;
}

struct CountryOutlines::Data {
    struct Entry {
        const OutlinePath* path; // into paths, which never changes after construction
        QString code;
    };

    PathMap paths;
    std::vector<Entry> order; // smallest outline first

    // A grid of cells over the bounding box of all outlines; each cell lists, in the order of
    // `order`, the outlines whose bounding box reaches into it.
    double minX = 0, minY = 0, maxX = -1, maxY = -1;
    double cellWidth = 1, cellHeight = 1;
    int columns = 0, rows = 0;
    std::vector<uint32_t> cellStart; // columns * rows + 1 offsets into cellEntries
    std::vector<uint32_t> cellEntries;

    void buildIndex();
    int column(double x) const { return std::clamp(int((x - minX) / cellWidth), 0, columns - 1); }
    int row(double y) const { return std::clamp(int((y - minY) / cellHeight), 0, rows - 1); }
};

namespace {

// About one degree per cell: small enough that most cells meet one or two outlines, large
// enough that the index stays well under a megabyte.
constexpr double kCellSize = 1.0;
constexpr int kMaxCells = 1024; // per axis, against absurd coordinates

int cellCount(double extent) {
    return std::clamp(int(std::ceil(extent / kCellSize)), 1, kMaxCells);
}

} // namespace

void CountryOutlines::Data::buildIndex() {
    for (auto it = paths.cbegin(); it != paths.cend(); ++it) {
        for (const OutlinePath& path : it.value()) {
            if (!path.isEmpty())
                order.push_back({&path, it.key()});
        }
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const Entry& a, const Entry& b) { return a.path->area() < b.path->area(); });
    if (order.empty())
        return;

    minX = minY = INFINITY;
    maxX = maxY = -INFINITY;
    for (const Entry& e : order) {
        minX = std::min(minX, e.path->minX());
        minY = std::min(minY, e.path->minY());
        maxX = std::max(maxX, e.path->maxX());
        maxY = std::max(maxY, e.path->maxY());
    }
    columns = cellCount(maxX - minX);
    rows = cellCount(maxY - minY);
    cellWidth = maxX > minX ? (maxX - minX) / columns : 1;
    cellHeight = maxY > minY ? (maxY - minY) / rows : 1;

    // Two passes, counting then filling, keep the lists in one array.
    cellStart.assign(size_t(columns) * size_t(rows) + 1, 0);
    auto forEachCell = [this](const OutlinePath& path, auto&& f) {
        const int c1 = column(path.maxX());
        const int r1 = row(path.maxY());
        for (int r = row(path.minY()); r <= r1; ++r) {
            for (int c = column(path.minX()); c <= c1; ++c)
                f(size_t(r) * size_t(columns) + size_t(c));
        }
    };
    for (const Entry& e : order)
        forEachCell(*e.path, [this](size_t cell) { ++cellStart[cell + 1]; });
    for (size_t i = 1; i < cellStart.size(); ++i)
        cellStart[i] += cellStart[i - 1];
    cellEntries.resize(cellStart.back());
    std::vector<uint32_t> fill(cellStart.begin(), cellStart.end() - 1);
    for (uint32_t i = 0; i < order.size(); ++i)
        forEachCell(*order[i].path, [&](size_t cell) { cellEntries[fill[cell]++] = i; });
}

CountryOutlines::CountryOutlines()
    : CountryOutlines(PathMap{}) {}

CountryOutlines::CountryOutlines(PathMap paths) {
    auto data = std::make_shared<Data>();
    data->paths = std::move(paths);
    data->buildIndex();
    d_ = std::move(data);
}

CountryOutlines CountryOutlines::fromGeoJson(QByteArrayView json) {
    const QJsonDocument document = QJsonDocument::fromJson(json.toByteArray());
    PathMap map;
    const QJsonArray features = document.object().value(QLatin1StringView("features")).toArray();
    for (const QJsonValue& value : features) {
        const QJsonObject feature = value.toObject();
        const QString code = feature.value(QLatin1StringView("properties"))
                                 .toObject()
                                 .value(QLatin1StringView("ISO_A2"))
                                 .toString();
        if (code.size() != 2)
            continue;
        const QJsonObject geometry = feature.value(QLatin1StringView("geometry")).toObject();
        const QString type = geometry.value(QLatin1StringView("type")).toString();
        const QJsonArray coordinates = geometry.value(QLatin1StringView("coordinates")).toArray();
        // Only outer rings: a lake that is a hole still counts as the country's.
        QList<OutlinePath> list;
        if (type == QLatin1StringView("Polygon")) {
            list.append(_pathFromRing(coordinates.first().toArray()));
        } else if (type == QLatin1StringView("MultiPolygon")) {
            for (const QJsonValue& polygon : coordinates)
                list.append(_pathFromRing(polygon.toArray().first().toArray()));
        }
        list.removeIf([](const OutlinePath& path) { return path.isEmpty(); });
        map.insert(code, list);
    }
    return CountryOutlines(std::move(map));
}

OutlinePath CountryOutlines::_pathFromRing(const QJsonArray& ring) {
    std::vector<OutlinePath::Point> points;
    points.reserve(size_t(ring.size()));
    for (const QJsonValue& value : ring) {
        const QJsonArray position = value.toArray();
        if (position.size() >= 2)
            points.push_back({position.at(0).toDouble(), position.at(1).toDouble()});
    }
    return OutlinePath(std::move(points));
}

const CountryOutlines::PathMap& CountryOutlines::paths() const {
    return d_->paths;
}

bool CountryOutlines::isEmpty() const {
    return d_->order.empty();
}

QString CountryOutlines::countryCodeAt(double x, double y) const {
    const Data& d = *d_;
    if (!(x >= d.minX && x <= d.maxX && y >= d.minY && y <= d.maxY))
        return {};
    const size_t cell = size_t(d.row(y)) * size_t(d.columns) + size_t(d.column(x));
    for (uint32_t i = d.cellStart[cell]; i < d.cellStart[cell + 1]; ++i) {
        const Data::Entry& e = d.order[d.cellEntries[i]];
        if (e.path->containsPoint(x, y))
            return e.code;
    }
    return {};
}

QString CountryOutlines::countryCodeByWalkingAllPaths(double x, double y) const {
    for (const Data::Entry& e : d_->order) {
        if (e.path->containsPoint(x, y))
            return e.code;
    }
    return {};
}
