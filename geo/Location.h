// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <QString>

// A point on the earth in degrees, north and east positive.
struct Coordinate {
    double latitude = 0;
    double longitude = 0;

    friend bool operator==(const Coordinate&, const Coordinate&) = default;
};

// A location value and its text forms: ISO 6709 strings, the comma form of GPS coordinates
// used in image metadata, and a degrees-minutes-seconds display text. No operation checks
// the ranges of latitude and longitude. Pure, safe on any thread.
class Location {
public:
    Location(double latitude, double longitude)
        : coordinate_{latitude, longitude} {}

    Coordinate coordinate() const { return coordinate_; }
    double latitude() const { return coordinate_.latitude; }
    double longitude() const { return coordinate_.longitude; }

    static Location createWithCoordinate(Coordinate coordinate);
    // The country's representative point; nothing for a code not in the table.
    static std::optional<Location> createWithCountryCode(QStringView code);
    // GPS comma strings such as "51,9.941460N"; nothing when either is empty.
    static std::optional<Location> createWithLongitudeString(const QString& longitude,
                                                             const QString& latitude);
    // "+40.20361-075.00417/", "+4012.22-07500.25/", "+401213-0750015/"; an altitude and
    // the closing "/" are ignored. Nothing when the text does not start with a latitude and
    // a longitude in one of those forms.
    static std::optional<Location> createWithString_ISO6709(QStringView text);

    // "+51.1657+010.4515/": "%g" of each magnitude, zero-padded to 2 and 3 integer digits.
    QString formattedAsString_ISO6709() const;
    // 51°9'56"N | 10°27'5"E, rounded to whole seconds.
    static QString stringWithCoordinate(Coordinate coordinate);
    QString formattedAsString() const;
    // "51,9.941460N": whole degrees, then minutes with six decimals, then the hemisphere.
    QString gpsExifStringForLatitude() const;
    QString gpsExifStringForLongitude() const;

    // Exact comparison of both coordinates; false for nothing, and a NaN never equals.
    bool isEqualTo(const std::optional<Location>& other) const;
    friend bool operator==(const Location&, const Location&) = default;

private:
    static double _gpsStringToDegrees(QStringView text);
    static QString _gpsStringFromDegrees(double degrees, QChar psign, QChar nsign);
    static std::optional<Coordinate> _processInput_ISO6709(QStringView text);
    static std::optional<double> _processComponent_ISO6709(QStringView text, QStringView sign, int precision);

    Coordinate coordinate_;
};
