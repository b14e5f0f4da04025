// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/CountryOutlines.h"

#include <QTest>

namespace {

// Squares are written as outer rings from their lower-left corner, counter-clockwise.
const char* const kDocument = R"({"type": "FeatureCollection", "features": [
  {"properties": {"ISO_A2": "AA"}, "geometry": {"type": "Polygon", "coordinates": [
      [[0,0],[10,0],[10,10],[0,10],[0,0]], [[4,4],[4,6],[6,6],[6,4],[4,4]]]}},
  {"properties": {"ISO_A2": "BBB"}, "geometry": {"type": "Polygon", "coordinates": [
      [[20,0],[30,0],[30,10],[20,10],[20,0]]]}},
  {"properties": {"ISO_A2": "CC"}, "geometry": {"type": "Point", "coordinates": [40,5]}},
  {"properties": {"ISO_A2": "DD"}, "geometry": {"type": "MultiPolygon", "coordinates": [
      [[[50,0],[52,0],[52,2],[50,2],[50,0]]], [[[55,0],[57,0],[57,2],[55,2],[55,0]]]]}},
  {"properties": {"ISO_A2": "EE"}, "geometry": {"type": "Polygon", "coordinates": [
      [[60,0],[62,0],[62,2],[60,2],[60,0]]]}},
  {"properties": {"ISO_A2": "EE"}, "geometry": {"type": "Polygon", "coordinates": [
      [[64,0],[66,0],[66,2],[64,2],[64,0]]]}},
  {"properties": {"ISO_A2": "FF"}, "geometry": {"type": "Polygon", "coordinates": [
      [[70,0],[80,0],[80,10],[70,10],[70,0]]]}},
  {"properties": {"ISO_A2": "GG"}, "geometry": {"type": "Polygon", "coordinates": [
      [[74,4],[76,4],[76,6],[74,6],[74,4]]]}},
  {"properties": {"ISO_A2": "HH"}, "geometry": {"type": "Polygon", "coordinates": [
      [[100,9],[97.649,1.764],[103.804,6.236],[96.196,6.236],[102.351,1.764],[100,9]]]}},
  {"properties": {"ISO_A2": "II"}, "geometry": {"type": "Polygon", "coordinates": [
      [[110,0],[110,2],[112,2],[112,0],[110,0]]]}},
  {"properties": {"ISO_A2": "JJ"}, "geometry": {"type": "Polygon", "coordinates": [
      [[120,0],[124,0],[122,4]]]}},
  {"properties": {}, "geometry": {"type": "Polygon", "coordinates": [
      [[130,0],[132,0],[132,2],[130,2],[130,0]]]}},
  {"properties": {"ISO_A2": "KK"}, "geometry": {"type": "Polygon", "coordinates": [
      [[150,0],[152,0],[152,2],[150,2],[150,0]],
      [[-170,-80],[-160,-80],[-160,-70],[-170,-70],[-170,-80]]]}}
]})";

} // namespace

class TestCountryOutlines : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lookup_data();
    void lookup();
    void unreadableDocuments();

private:
    const CountryOutlines outlines_ = CountryOutlines::fromGeoJson(kDocument);
};

void TestCountryOutlines::lookup_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<QString>("expected");
    QTest::newRow("inside") << 2.0 << 3.0 << "AA";
    QTest::newRow("in a hole, which counts as inside") << 5.0 << 5.0 << "AA";
    QTest::newRow("three-letter code skipped") << 25.0 << 5.0 << QString();
    QTest::newRow("a point has no outline") << 40.0 << 5.0 << QString();
    QTest::newRow("first part of a multipolygon") << 51.0 << 1.0 << "DD";
    QTest::newRow("second part of a multipolygon") << 56.0 << 1.0 << "DD";
    QTest::newRow("between the parts") << 53.5 << 1.0 << QString();
    QTest::newRow("replaced outline") << 61.0 << 1.0 << QString();
    QTest::newRow("replacing outline") << 65.0 << 1.0 << "EE";
    QTest::newRow("enclave wins over the country round it") << 75.0 << 5.0 << "GG";
    QTest::newRow("round the enclave") << 71.0 << 1.0 << "FF";
    QTest::newRow("centre of a star, wound twice") << 100.0 << 5.0 << "HH";
    QTest::newRow("tip of a star") << 100.0 << 8.0 << "HH";
    QTest::newRow("between two tips of a star") << 98.0 << 8.0 << QString();
    QTest::newRow("clockwise ring") << 111.0 << 1.0 << "II";
    QTest::newRow("unclosed ring") << 122.0 << 3.5 << "JJ";
    QTest::newRow("outside an unclosed ring's closing edge") << 121.0 << 3.0 << QString();
    QTest::newRow("feature without a code") << 131.0 << 1.0 << QString();
    QTest::newRow("inner ring far away is ignored") << -165.0 << -75.0 << QString();
    QTest::newRow("outside the grid") << 500.0 << 5.0 << QString();
    QTest::newRow("NaN") << qQNaN() << 5.0 << QString();
}

void TestCountryOutlines::lookup() {
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(QString, expected);
    QCOMPARE(outlines_.countryCodeAt(x, y), expected);
    QCOMPARE(outlines_.countryCodeByWalkingAllPaths(x, y), expected);
}

void TestCountryOutlines::unreadableDocuments() {
    for (const QByteArray& json :
         {QByteArray("features"), QByteArray(kDocument).left(200), QByteArray("[]"), QByteArray("{}"),
          QByteArray(R"({"features": 3})"), QByteArray(R"({"features": [1, "AA"]})"), QByteArray()}) {
        const CountryOutlines outlines = CountryOutlines::fromGeoJson(json);
        QVERIFY2(outlines.isEmpty(), json.constData());
        QCOMPARE(outlines.countryCodeAt(5, 5), QString());
    }
}

QTEST_GUILESS_MAIN(TestCountryOutlines)
#include "tst_countryoutlines.moc"
