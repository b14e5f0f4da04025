// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/Location.h"

#include <cmath>
#include <QTest>

Q_DECLARE_METATYPE(std::optional<Location>)

class TestLocation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void iso6709Parsing_data();
    void iso6709Parsing();
    void writing_data();
    void writing();
    void gps_data();
    void gps();
    void countryPoints_data();
    void countryPoints();
};

namespace {

const std::optional<Location> kNone;
std::optional<Location> at(double latitude, double longitude) {
    return Location(latitude, longitude);
}

// Both absent, or both there and within `tolerance` degrees of each other.
bool near(const std::optional<Location>& a, const std::optional<Location>& b, double tolerance = 1e-9) {
    if (!a || !b)
        return !a && !b;
    return std::fabs(a->latitude() - b->latitude()) <= tolerance &&
           std::fabs(a->longitude() - b->longitude()) <= tolerance;
}

QByteArray text(const std::optional<Location>& l) {
    return l ? QByteArray::number(l->latitude(), 'g', 17) + ' ' + QByteArray::number(l->longitude(), 'g', 17)
             : "none";
}

} // namespace

void TestLocation::iso6709Parsing_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<Location>>("expected");
    QTest::newRow("decimal degrees") << "+40.20361-075.00417/" << at(40.20361, -75.00417);
    QTest::newRow("degrees and minutes") << "+4012.22-07500.25/" << at(40 + 12.22 / 60, -(75 + 0.25 / 60));
    QTest::newRow("degrees, minutes, seconds")
        << "+401213-0750015/" << at(40 + 12.0 / 60 + 13.0 / 3600, -(75 + 15.0 / 3600));
    QTest::newRow("seconds with fraction")
        << "+401213.5-0750015.5/" << at(40 + (12 + 13.5 / 60) / 60, -(75 + (0 + 15.5 / 60) / 60));
    QTest::newRow("altitude ignored") << "+40.20361-075.00417+350.517/" << at(40.20361, -75.00417);
    QTest::newRow("no closing slash") << "-33.8688+151.209" << at(-33.8688, 151.209);
    QTest::newRow("blanks before pieces") << "  +40.5 -075.5/" << at(40.5, -75.5);
    QTest::newRow("several signs negate") << "+-40.5+075.5/" << at(-40.5, 75.5);
    QTest::newRow("no leading sign") << "40.2-075.0/" << kNone;
    QTest::newRow("no longitude") << "+40.2" << kNone;
    QTest::newRow("empty longitude") << "+40.2-/" << kNone;
    QTest::newRow("two longitude digits") << "+40.2-75.0/" << kNone;
    QTest::newRow("empty") << "" << kNone;
}

void TestLocation::iso6709Parsing() {
    QFETCH(QString, text);
    QFETCH(std::optional<Location>, expected);
    const auto location = Location::createWithString_ISO6709(text);
    QVERIFY2(near(location, expected), ::text(location).constData());
}

void TestLocation::writing_data() {
    // As ISO 6709 and as degrees, minutes and seconds; a null text is not checked.
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<QString>("iso");
    QTest::addColumn<QString>("dms");
    QTest::newRow("north east") << 51.165691 << 10.451526 << "+51.1657+010.4515/"
                                << QStringLiteral("51°9'56\"N | 10°27'5\"E");
    QTest::newRow("south west") << -33.8688 << -70.6693 << QString() << "33°52'8\"S | 70°40'9\"W";
    QTest::newRow("small values padded") << 5.5 << -5.25 << "+05.5-005.25/" << QString();
    QTest::newRow("origin, north and east")
        << 0.0 << 0.0 << "+00+000/" << QStringLiteral("0°0'0\"N | 0°0'0\"E");
    QTest::newRow("negative zero") << -0.0 << -0.0 << "+00+000/" << QString();
    QTest::newRow("tiny value in exponent form") << 0.00001 << 100.0 << "+01e-05+100/" << QString();
    // 1/32° is exactly 112.5 seconds.
    QTest::newRow("half a second rounds up") << 0.03125 << -0.03125 << QString() << "0°1'53\"N | 0°1'53\"W";
    QTest::newRow("rounding carries into minutes and degrees")
        << -(10 + 59.0 / 60 + 59.7 / 3600) << 179.99999 << QString() << "11°0'0\"S | 180°0'0\"E";
    QTest::newRow("1.4 seconds round down") << 1.4 / 3600 << 0.0 << QString() << "0°0'1\"N | 0°0'0\"E";
}

void TestLocation::writing() {
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(QString, iso);
    QFETCH(QString, dms);
    const Location location(latitude, longitude);
    if (!iso.isNull()) {
        const QString written = location.formattedAsString_ISO6709();
        QCOMPARE(written, iso);
        // What is written reads back, to the six digits written.
        const auto back = Location::createWithString_ISO6709(written);
        QVERIFY2(written.contains(u'e') || near(back, location, 1e-3), text(back).constData());
    }
    if (!dms.isNull()) {
        QCOMPARE(Location::stringWithCoordinate({latitude, longitude}), dms);
        QCOMPARE(location.formattedAsString(), dms);
    }
}

void TestLocation::gps_data() {
    QTest::addColumn<QString>("longitudeText");
    QTest::addColumn<QString>("latitudeText");
    QTest::addColumn<std::optional<Location>>("expected");
    QTest::addColumn<bool>("written"); // the texts are what the location writes
    QTest::newRow("north east") << "10,27.091560E" << QStringLiteral("51,9.941460N")
                                << at(51.165691, 10.451526) << true;
    QTest::newRow("south west") << "70,15.000000W" << QStringLiteral("33,30.000000S") << at(-33.5, -70.25)
                                << true;
    QTest::newRow("zero") << "0,0.000000E" << QStringLiteral("0,0.000000N") << at(0, 0) << true;
    QTest::newRow("seconds") << "10,27,5.5W" << QStringLiteral("1,0,0N")
                             << at(1, -(10 + 27.0 / 60 + 5.5 / 3600)) << false;
    QTest::newRow("lower-case hemispheres") << "5,30w" << QStringLiteral("5,30s") << at(-5.5, -5.5) << false;
    QTest::newRow("degrees only, extra pieces ignored")
        << "7E" << QStringLiteral("8,0,0,99N") << at(8, 7) << false;
    QTest::newRow("empty longitude") << "" << QStringLiteral("51,9.941460N") << kNone << false;
    QTest::newRow("absent latitude") << "10,27.091560E" << QString() << kNone << false;
}

void TestLocation::gps() {
    QFETCH(QString, longitudeText);
    QFETCH(QString, latitudeText);
    QFETCH(std::optional<Location>, expected);
    QFETCH(bool, written);
    const auto location = Location::createWithLongitudeString(longitudeText, latitudeText);
    QVERIFY2(near(location, expected, 1e-7), text(location).constData());
    if (written) {
        QCOMPARE(expected->gpsExifStringForLatitude(), latitudeText);
        QCOMPARE(expected->gpsExifStringForLongitude(), longitudeText);
    }
}

void TestLocation::countryPoints_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<std::optional<Location>>("expected");
    QTest::newRow("DE") << "DE" << at(51.165691, 10.451526);
    QTest::newRow("AN, former code") << "AN" << at(12.226079, -69.060087);
    QTest::newRow("AX not in the table") << "AX" << kNone;
    QTest::newRow("lower case") << "de" << kNone;
}

void TestLocation::countryPoints() {
    QFETCH(QString, code);
    QFETCH(std::optional<Location>, expected);
    QCOMPARE(Location::createWithCountryCode(code), expected);
}

QTEST_GUILESS_MAIN(TestLocation)
#include "tst_location.moc"
