// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/Location.h"

#include "geo/CountryTables.h"

#include <QList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// The number at the start of a text, read leniently: leading blanks are skipped, reading
// stops at the first character that cannot continue the number, and a text without one
// reads as 0. Always with a decimal point, whatever the user's locale.
double decimalValue(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    if (i < text.size() && text[i] == u'+')
        ++i; // from_chars takes a minus sign only
    char ascii[64];
    qsizetype n = 0;
    for (; i < text.size() && n < qsizetype(sizeof ascii); ++i, ++n) {
        const char16_t c = text[i].unicode();
        if (c > 0x7F)
            break;
        ascii[n] = char(c);
    }
    double value = 0;
    if (std::from_chars(ascii, ascii + n, value).ec != std::errc{})
        return 0;
    return value;
}

// printf's "%g" (six significant digits), independent of the C locale.
QString formatGeneral(double value) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

// printf's "%f" (six decimals), independent of the C locale.
QString formatFixed(double value) {
    char buffer[400]; // room for the largest double in fixed notation
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

// The integer part of a non-negative value; 0 for what no integer holds (NaN, huge values).
long long integerPart(double value) {
    return value >= 0 && value < 9.2e18 ? static_cast<long long>(value) : 0;
}

} // namespace

Location Location::createWithCoordinate(Coordinate coordinate) {
    return Location(coordinate.latitude, coordinate.longitude);
}

std::optional<Location> Location::createWithCountryCode(QStringView code) {
    const auto points = countries::representativePoints();
    auto it = std::lower_bound(points.begin(), points.end(), code,
                               [](const countries::RepresentativePoint& row, QStringView c) {
                                   return QLatin1StringView(row.code) < c;
                               });
    if (it == points.end() || QLatin1StringView(it->code) != code)
        return std::nullopt;
    return Location(it->latitude, it->longitude);
}

std::optional<Location> Location::createWithLongitudeString(const QString& longitude,
                                                            const QString& latitude) {
    if (longitude.isEmpty() || latitude.isEmpty())
        return std::nullopt;
    return Location(_gpsStringToDegrees(latitude), _gpsStringToDegrees(longitude));
}

std::optional<Location> Location::createWithString_ISO6709(QStringView text) {
    if (text.isEmpty())
        return std::nullopt;
    if (auto coordinate = _processInput_ISO6709(text))
        return createWithCoordinate(*coordinate);
    return std::nullopt;
}

std::optional<Coordinate> Location::_processInput_ISO6709(QStringView text) {
    qsizetype pos = 0;
    auto skipBlanks = [&] {
        while (pos < text.size() && text[pos].isSpace())
            ++pos;
    };
    auto scanSigns = [&] {
        skipBlanks();
        const qsizetype start = pos;
        while (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-'))
            ++pos;
        return text.sliced(start, pos - start);
    };
    auto scanUpTo = [&](QStringView stops) {
        skipBlanks();
        const qsizetype start = pos;
        while (pos < text.size() && !stops.contains(text[pos]))
            ++pos;
        return text.sliced(start, pos - start);
    };

    const QStringView latitudeSign = scanSigns();
    if (latitudeSign.isEmpty())
        return std::nullopt;
    const QStringView latitudeText = scanUpTo(u"+-");
    if (latitudeText.isEmpty())
        return std::nullopt;
    const auto latitude = _processComponent_ISO6709(latitudeText, latitudeSign, 2);
    if (!latitude)
        return std::nullopt;

    const QStringView longitudeSign = scanSigns();
    if (longitudeSign.isEmpty())
        return std::nullopt;
    const QStringView longitudeText = scanUpTo(u"+-/");
    if (longitudeText.isEmpty())
        return std::nullopt;
    const auto longitude = _processComponent_ISO6709(longitudeText, longitudeSign, 3);
    if (!longitude)
        return std::nullopt;
    return Coordinate{*latitude, *longitude};
}

std::optional<double> Location::_processComponent_ISO6709(QStringView text, QStringView sign, int precision) {
    const auto pieces = text.split(u'.');
    const QStringView whole = pieces.first();
    const bool hasFraction = pieces.size() == 2;
    // The last field of the whole part carries the fraction: degrees, minutes or seconds.
    auto withFraction = [&](QStringView digits) {
        if (!hasFraction)
            return decimalValue(digits);
        return decimalValue(QString(digits.toString() + u'.' + pieces[1].toString()));
    };

    double value = 0;
    if (whole.size() == precision) {
        value = withFraction(whole);
    } else if (whole.size() == precision + 2) {
        value = decimalValue(whole.first(precision)) + withFraction(whole.sliced(precision, 2)) / 60;
    } else if (whole.size() == precision + 4) {
        const double minutes = decimalValue(whole.sliced(precision, 2));
        const double seconds = withFraction(whole.sliced(precision + 2, 2));
        value = decimalValue(whole.first(precision)) + (minutes + seconds / 60) / 60;
    } else {
        return std::nullopt;
    }
    return sign == u"+" ? value : -value;
}

QString Location::formattedAsString_ISO6709() const {
    const double latitude = std::fabs(coordinate_.latitude);
    const double longitude = std::fabs(coordinate_.longitude);
    QString text;
    text += coordinate_.latitude < 0 ? u'-' : u'+';
    if (latitude < 10)
        text += u'0';
    text += formatGeneral(latitude);
    text += coordinate_.longitude < 0 ? u'-' : u'+';
    if (longitude < 10)
        text += u'0';
    if (longitude < 100)
        text += u'0';
    text += formatGeneral(longitude);
    text += u'/';
    return text;
}

QString Location::stringWithCoordinate(Coordinate coordinate) {
    auto part = [](double value, char16_t positive, char16_t negative) {
        // Whole seconds of arc, halves rounding up.
        const long long t = integerPart(std::fabs(value) * 3600 + 0.49999999999999994);
        return QString::number(t / 3600) + u'\u00B0' + QString::number(t % 3600 / 60) + u'\'' +
               QString::number(t % 60) + u'"' + QChar(value >= 0 ? positive : negative);
    };
    return part(coordinate.latitude, u'N', u'S') + QStringLiteral(" | ") +
           part(coordinate.longitude, u'E', u'W');
}

QString Location::formattedAsString() const {
    return stringWithCoordinate(coordinate_);
}

QString Location::gpsExifStringForLatitude() const {
    return _gpsStringFromDegrees(coordinate_.latitude, u'N', u'S');
}

QString Location::gpsExifStringForLongitude() const {
    return _gpsStringFromDegrees(coordinate_.longitude, u'E', u'W');
}

QString Location::_gpsStringFromDegrees(double degrees, QChar psign, QChar nsign) {
    const double magnitude = std::fabs(degrees);
    const long long whole = integerPart(magnitude);
    return QString::number(whole) + u',' + formatFixed((magnitude - double(whole)) * 60) +
           (degrees < 0 ? nsign : psign);
}

double Location::_gpsStringToDegrees(QStringView text) {
    if (text.isEmpty())
        return 0;
    const QChar hemisphere = text.back().toUpper();
    const auto pieces = text.chopped(1).split(u',');
    auto piece = [&](qsizetype i) { return i < pieces.size() ? decimalValue(pieces[i]) : 0.0; };
    const double value = piece(0) + piece(1) / 60 + piece(2) / 3600;
    return hemisphere == u'W' || hemisphere == u'S' ? -value : value;
}

bool Location::isEqualTo(const std::optional<Location>& other) const {
    return other && *this == *other;
}
