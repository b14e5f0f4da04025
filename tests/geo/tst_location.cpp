#include "geo/Location.h"

#include <cmath>
#include <QTest>

Q_DECLARE_METATYPE(Location)
Q_DECLARE_METATYPE(std::optional<Location>)

class TestLocation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void iso6709Parsing_data();
    void iso6709Parsing();
    void iso6709Writing_data();
    void iso6709Writing();
    void degreesMinutesSeconds_data();
    void degreesMinutesSeconds();
    void gpsWriting_data();
    void gpsWriting();
    void gpsReading_data();
    void gpsReading();
    void countryPoints_data();
    void countryPoints();
};

namespace {

bool near(double a, double b, double tolerance = 1e-9) {
    return std::fabs(a - b) <= tolerance;
}

} // namespace

void TestLocation::iso6709Parsing_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::newRow("decimal degrees") << "+40.20361-075.00417/" << true << 40.20361 << -75.00417;
    QTest::newRow("degrees and minutes")
        << "+4012.22-07500.25/" << true << 40 + 12.22 / 60 << -(75 + 0.25 / 60);
    QTest::newRow("degrees, minutes, seconds")
        << "+401213-0750015/" << true << 40 + 12.0 / 60 + 13.0 / 3600 << -(75 + 15.0 / 3600);
    QTest::newRow("seconds with fraction")
        << "+401213.5-0750015.5/" << true << 40 + (12 + 13.5 / 60) / 60 << -(75 + (0 + 15.5 / 60) / 60);
    QTest::newRow("altitude ignored") << "+40.20361-075.00417+350.517/" << true << 40.20361 << -75.00417;
    QTest::newRow("no closing slash") << "-33.8688+151.209" << true << -33.8688 << 151.209;
    QTest::newRow("blanks before pieces") << "  +40.5 -075.5/" << true << 40.5 << -75.5;
    QTest::newRow("several signs negate") << "+-40.5+075.5/" << true << -40.5 << 75.5;
    QTest::newRow("whole degrees") << "+40-075/" << true << 40.0 << -75.0;
    QTest::newRow("no leading sign") << "40.2-075.0/" << false << 0.0 << 0.0;
    QTest::newRow("one degree digit") << "+4-075/" << false << 0.0 << 0.0;
    QTest::newRow("no longitude") << "+40.2" << false << 0.0 << 0.0;
    QTest::newRow("empty longitude") << "+40.2-/" << false << 0.0 << 0.0;
    QTest::newRow("two longitude digits") << "+40.2-75.0/" << false << 0.0 << 0.0;
    QTest::newRow("seven latitude digits") << "+4012134-075/" << false << 0.0 << 0.0;
    QTest::newRow("empty") << "" << false << 0.0 << 0.0;
}

void TestLocation::iso6709Parsing() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    const auto location = Location::createWithString_ISO6709(text);
    QCOMPARE(location.has_value(), valid);
    if (valid) {
        QVERIFY2(near(location->latitude(), latitude),
                 qPrintable(QString::number(location->latitude(), 'g', 17)));
        QVERIFY2(near(location->longitude(), longitude),
                 qPrintable(QString::number(location->longitude(), 'g', 17)));
    }
}

void TestLocation::iso6709Writing_data() {
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<QString>("expected");
    QTest::newRow("north east") << 51.165691 << 10.451526 << "+51.1657+010.4515/";
    QTest::newRow("south, three-digit longitude") << -33.8688 << 151.2093 << "-33.8688+151.209/";
    QTest::newRow("small values padded") << 5.5 << -5.25 << "+05.5-005.25/";
    QTest::newRow("origin") << 0.0 << 0.0 << "+00+000/";
    QTest::newRow("negative zero") << -0.0 << -0.0 << "+00+000/";
    QTest::newRow("tiny value in exponent form") << 0.00001 << 100.0 << "+01e-05+100/";
}

void TestLocation::iso6709Writing() {
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(QString, expected);
    const Location location(latitude, longitude);
    const QString text = location.formattedAsString_ISO6709();
    QCOMPARE(text, expected);
    if (!text.contains(u'e')) {
        // What is written reads back, to the six digits written.
        const auto back = Location::createWithString_ISO6709(text);
        QVERIFY(back);
        QVERIFY(near(back->latitude(), latitude, 1e-4));
        QVERIFY(near(back->longitude(), longitude, 1e-3));
    }
}

void TestLocation::degreesMinutesSeconds_data() {
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<QString>("expected");
    QTest::newRow("north east") << 51.165691 << 10.451526 << QStringLiteral("51°9'56\"N | 10°27'5\"E");
    QTest::newRow("south west") << -33.8688 << -70.6693 << QStringLiteral("33°52'8\"S | 70°40'9\"W");
    QTest::newRow("zero is north and east") << 0.0 << 0.0 << QStringLiteral("0°0'0\"N | 0°0'0\"E");
    // 1/32° is exactly 112.5 seconds.
    QTest::newRow("half a second rounds up")
        << 0.03125 << -0.03125 << QStringLiteral("0°1'53\"N | 0°1'53\"W");
    QTest::newRow("rounding carries into minutes and degrees")
        << -(10 + 59.0 / 60 + 59.7 / 3600) << 179.99999 << QStringLiteral("11°0'0\"S | 180°0'0\"E");
    QTest::newRow("1.4 seconds round down") << 1.4 / 3600 << 0.0 << QStringLiteral("0°0'1\"N | 0°0'0\"E");
}

void TestLocation::degreesMinutesSeconds() {
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(QString, expected);
    QCOMPARE(Location::stringWithCoordinate({latitude, longitude}), expected);
    QCOMPARE(Location(latitude, longitude).formattedAsString(), expected);
}

void TestLocation::gpsWriting_data() {
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<QString>("latitudeText");
    QTest::addColumn<QString>("longitudeText");
    QTest::newRow("north east") << 51.165691 << 10.451526 << "51,9.941460N"
                                << "10,27.091560E";
    QTest::newRow("south west") << -33.5 << -70.25 << "33,30.000000S"
                                << "70,15.000000W";
    QTest::newRow("zero") << 0.0 << 0.0 << "0,0.000000N"
                          << "0,0.000000E";
}

void TestLocation::gpsWriting() {
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(QString, latitudeText);
    QFETCH(QString, longitudeText);
    const Location location(latitude, longitude);
    QCOMPARE(location.gpsExifStringForLatitude(), latitudeText);
    QCOMPARE(location.gpsExifStringForLongitude(), longitudeText);
    const auto back = Location::createWithLongitudeString(longitudeText, latitudeText);
    QVERIFY(back);
    QVERIFY(near(back->latitude(), latitude, 1e-7));
    QVERIFY(near(back->longitude(), longitude, 1e-7));
}

void TestLocation::gpsReading_data() {
    QTest::addColumn<QString>("longitudeText");
    QTest::addColumn<QString>("latitudeText");
    QTest::addColumn<std::optional<Location>>("expected");
    // Minutes alone: read back in gpsWriting.
    QTest::newRow("seconds, west") << "10,27,5.5W"
                                   << "1,0,0N" << std::optional(Location(1, -(10 + 27.0 / 60 + 5.5 / 3600)));
    QTest::newRow("lower-case hemispheres") << "5,30w"
                                            << "5,30s" << std::optional(Location(-5.5, -5.5));
    QTest::newRow("degrees only, extra pieces ignored") << "7E"
                                                        << "8,0,0,99N" << std::optional(Location(8, 7));
    QTest::newRow("empty longitude") << ""
                                     << "51,9.941460N" << std::optional<Location>();
    QTest::newRow("absent latitude") << "10,27.091560E" << QString() << std::optional<Location>();
}

void TestLocation::gpsReading() {
    QFETCH(QString, longitudeText);
    QFETCH(QString, latitudeText);
    QFETCH(std::optional<Location>, expected);
    const auto location = Location::createWithLongitudeString(longitudeText, latitudeText);
    QCOMPARE(location.has_value(), expected.has_value());
    if (expected) {
        QVERIFY(near(location->latitude(), expected->latitude(), 1e-7));
        QVERIFY(near(location->longitude(), expected->longitude(), 1e-7));
    }
}

void TestLocation::countryPoints_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<std::optional<Location>>("expected");
    QTest::newRow("DE") << "DE" << std::optional(Location(51.165691, 10.451526));
    QTest::newRow("AQ") << "AQ" << std::optional(Location(-75.250973, -0.071389));
    QTest::newRow("XK, not ISO") << "XK" << std::optional(Location(42.602636, 20.902977));
    QTest::newRow("GZ, Gaza") << "GZ" << std::optional(Location(31.354676, 34.308825));
    QTest::newRow("AN, former code") << "AN" << std::optional(Location(12.226079, -69.060087));
    QTest::newRow("AX not in the table") << "AX" << std::optional<Location>();
    QTest::newRow("lower case") << "de" << std::optional<Location>();
    QTest::newRow("empty") << "" << std::optional<Location>();
}

void TestLocation::countryPoints() {
    QFETCH(QString, code);
    QFETCH(std::optional<Location>, expected);
    QCOMPARE(Location::createWithCountryCode(code), expected);
}

QTEST_GUILESS_MAIN(TestLocation)
#include "tst_location.moc"
