// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <QByteArrayView>
#include <QJsonArray>
#include <QList>
#include <QMap>
#include <QString>
#include <vector>

// One closed outline in the plane x = longitude, y = latitude.
class OutlinePath {
public:
    struct Point {
        double x;
        double y;
    };

    OutlinePath() = default;
    // The path through the points, closed back to the first one.
    explicit OutlinePath(std::vector<Point> points);

    // Non-zero winding rule. Of the points on an edge, those on a left or lower edge count as
    // inside, those on a right or upper edge as outside.
    bool containsPoint(double x, double y) const;

    bool isEmpty() const { return points_.empty(); }
    const std::vector<Point>& points() const { return points_; } // closed: last == first
    double minX() const { return minX_; }
    double minY() const { return minY_; }
    double maxX() const { return maxX_; }
    double maxY() const { return maxY_; }
    // Planar area in square degrees, whatever the ring's direction.
    double area() const;

private:
    std::vector<Point> points_;
    double minX_ = 0, minY_ = 0, maxX_ = -1, maxY_ = -1; // empty box until points come
};

// Country outlines by code, with an index that finds the outline containing a point.
// Immutable and cheap to copy; lookups are safe from several threads.
//
// Where outlines overlap the smallest one wins: holes are not kept, so an enclave such as
// San Marino lies inside Italy's outline as well as its own.
class CountryOutlines {
public:
    using PathMap = QMap<QString, QList<OutlinePath>>;

    CountryOutlines();
    explicit CountryOutlines(PathMap paths);

    // A GeoJSON feature collection. Each feature's "properties"."ISO_A2" names its country
    // (features whose code is not two characters long are skipped); of its geometry only the
    // outer rings of a "Polygon" or "MultiPolygon" are used, other types give the country no
    // outline. A later feature with the same code replaces an earlier one. Text that is not
    // a JSON object gives no outlines.
    static CountryOutlines fromGeoJson(QByteArrayView json);

    const PathMap& paths() const;
    bool isEmpty() const;

    // The code of the outline containing (x, y), or null. Tests only the outlines whose
    // bounding box covers the point's grid cell.
    QString countryCodeAt(double x, double y) const;
    // The same answer by testing every outline in turn: the yardstick for the index.
    QString countryCodeByWalkingAllPaths(double x, double y) const;

private:
    static OutlinePath _pathFromRing(const QJsonArray& ring);

    struct Data;
    std::shared_ptr<const Data> d_;
};
