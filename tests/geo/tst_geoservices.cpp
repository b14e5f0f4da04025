// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/Countries.h"
#include "geo/CountryTables.h"
#include "geo/GeoServices.h"

#include <QTest>
#include <algorithm>
#include <functional>
#include <random>

class TestGeoServices : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void flagsAndValidCodes_data();
    void flagsAndValidCodes();
    void countryNames_data();
    void countryNames();
    void tablesAreSortedAndWellFormed();
    void codesForNames_data();
    void codesForNames();
    void countryOfLocation_data();
    void countryOfLocation();
    void indexAgreesWithWalkingEveryPath();
};

namespace {

QString ucs4(std::initializer_list<char32_t> codePoints) {
    return QString::fromUcs4(codePoints.begin(), qsizetype(codePoints.size()));
}

// Searched by halving: sorted by code, one row per code.
template <typename Rows> bool sortedByCode(const Rows& rows) {
    return std::adjacent_find(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
               return QLatin1StringView(a.code) >= QLatin1StringView(b.code);
           }) == rows.end();
}

} // namespace

void TestGeoServices::init() {
    // The names in the user's language are taken once per process: make them English.
    qputenv("LC_ALL", "en_US.UTF-8");
}

void TestGeoServices::flagsAndValidCodes_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("valid");
    QTest::newRow("CH") << QStringLiteral("CH") << ucs4({0x1F1E8, 0x1F1ED}) << true;
    QTest::newRow("AD, first row") << QStringLiteral("AD") << ucs4({0x1F1E6, 0x1F1E9}) << true;
    QTest::newRow("ZW, last row") << QStringLiteral("ZW") << ucs4({0x1F1FF, 0x1F1FC}) << true;
    QTest::newRow("XK, directory only") << QStringLiteral("XK") << ucs4({0x1F1FD, 0x1F1F0}) << false;
    QTest::newRow("lower case") << QStringLiteral("ch") << ucs4({0x1F1E8, 0x1F1ED}) << false;
    QTest::newRow("highest unit") << QStringLiteral("\uFFFFA") << ucs4({0x2F1A4, 0x1F1E6}) << false;
    QTest::newRow("one letter") << QStringLiteral("D") << QString() << false;
}

void TestGeoServices::flagsAndValidCodes() {
    QFETCH(QString, code);
    QFETCH(QString, flag);
    QFETCH(bool, valid);
    QCOMPARE(countries::stringFlagForCountryCode(code), flag);
    QCOMPARE(countries::stringFlagForCountryCode(code).isNull(), flag.isNull());
    QCOMPARE(GeoServices::sharedServices().isValidCountryCode(code), valid);
}

void TestGeoServices::countryNames_data() {
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("German") << QByteArray("de_DE.UTF-8") << "DE" << QStringLiteral("Deutschland");
    QTest::newRow("French") << QByteArray("fr_CH.UTF-8") << "CH" << QStringLiteral("Suisse");
    for (const char* plain : {"C", "C.UTF-8", "POSIX", static_cast<const char*>(nullptr)})
        QTest::addRow("%s locale: English", plain ? plain : "no")
            << QByteArray(plain) << "MC" << QStringLiteral("Monaco");
    QTest::newRow("not ISO but known") << QByteArray("en_US.UTF-8") << "XK" << QStringLiteral("Kosovo");
    QTest::newRow("unknown code") << QByteArray("en_US.UTF-8") << "QX" << QString();
    QTest::newRow("empty") << QByteArray("en_US.UTF-8") << "" << QString();
}

void TestGeoServices::countryNames() {
    QFETCH(QByteArray, locale);
    QFETCH(QString, code);
    QFETCH(QString, expected);
    qputenv("LC_ALL", locale);
    if (locale.isNull())
        qunsetenv("LANG");
    const QString name = countries::stringCountryForCountryCode(code);
    QCOMPARE(name, expected);
    QCOMPARE(name.isNull(), expected.isNull());
}

void TestGeoServices::tablesAreSortedAndWellFormed() {
    const auto rows = countries::nativeNames();
    QCOMPARE(rows.size(), size_t(245));
    QVERIFY(sortedByCode(rows));
    QHash<QString, QString> rowOfName;
    for (const auto& row : rows) {
        // At least one name, and no gap before the last.
        const auto end = std::find(row.names.begin(), row.names.end(), nullptr);
        QVERIFY2(end != row.names.begin() && std::all_of(end, row.names.end(), std::logical_not()), row.code);
        for (const char* name : std::span(row.names.begin(), end)) {
            const QString text = QString::fromUtf8(name);
            QVERIFY2(!text.trimmed().isEmpty() && text != QLatin1StringView(","), row.code);
            const QString other = rowOfName.value(text);
            QVERIFY2(other.isEmpty(), qPrintable(text + " in " + other + " and " + row.code));
            rowOfName.insert(text, QLatin1StringView(row.code));
        }
    }
    const auto points = countries::representativePoints();
    QCOMPARE(points.size(), size_t(245));
    QVERIFY(sortedByCode(points));
    // Each point lies in its country; AN (Curaçao) and GZ (Gaza) have no outline under their code.
    GeoServices& services = GeoServices::sharedServices();
    for (const auto& point : points) {
        const QString code = QString::fromLatin1(point.code);
        if (services.countryPaths().paths().value(code).isEmpty() || code == u"AN" || code == u"GZ")
            continue;
        const auto location = Location::createWithCountryCode(code);
        QVERIFY2(location, point.code);
        QCOMPARE(services.countryCodeUsingPolygonsForLocation(*location), code);
    }
    for (const QString& code : countries::isoCountryCodes())
        QCOMPARE(services.emojiFlagForCountryCode(code), countries::stringFlagForCountryCode(code));
}

void TestGeoServices::codesForNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");
    QTest::newRow("lower case") << "suisse" << QStringLiteral("CH");
    QTest::newRow("later name of a row") << "Scotland" << QStringLiteral("GB");
    QTest::newRow("punctuation kept, case not") << "u.s.a." << QStringLiteral("US");
    QTest::newRow("native script") << "日本" << QStringLiteral("JP");
    QTest::newRow("Cyrillic, other case") << "РОССИЯ" << QStringLiteral("RU");
    QTest::newRow("user's language") << "Germany" << QStringLiteral("DE");
    QTest::newRow("user's language, upper case") << "SWITZERLAND" << QStringLiteral("CH");
    QTest::newRow("accents count") << "Osterreich" << QString();
    QTest::newRow("prefix") << "Österr" << QString();
    QTest::newRow("not trimmed") << " Suisse" << QString();
    QTest::newRow("empty") << "" << QString();
}

void TestGeoServices::codesForNames() {
    QFETCH(QString, name);
    QFETCH(QString, code);
    QCOMPARE(GeoServices::sharedServices().countryCodeForCountryName(name), code);
}

void TestGeoServices::countryOfLocation_data() {
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<QString>("code");
    QTest::newRow("Vatican inside Rome") << 41.9017 << 12.4345 << "VA"; // where 1:50m draws it
    QTest::newRow("Maseru, Lesotho inside South Africa") << -29.31 << 27.48 << "LS";
    QTest::newRow("Kiruna, at Chukotka's latitude") << 67.8558 << 20.2253 << "SE";
    QTest::newRow("Chukotka east of 180°") << 67.0 << -177.5 << "RU";
    QTest::newRow("Taveuni, Fiji at 180°") << -16.85 << -179.95 << "FJ";
    QTest::newRow("South Pole") << -89.99 << 45.0 << "AQ";
    QTest::newRow("Southern Ocean") << -60.0 << 0.0 << QString();
}

void TestGeoServices::countryOfLocation() {
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(QString, code);
    QCOMPARE(GeoServices::sharedServices().countryCodeUsingPolygonsForLocation(Location(latitude, longitude)),
             code);
}

void TestGeoServices::indexAgreesWithWalkingEveryPath() {
    const CountryOutlines& outlines = GeoServices::sharedServices().countryPaths();
    QVERIFY(outlines.paths().size() > 200);
    std::mt19937 random(6709);
    std::uniform_real_distribution<double> longitude(-181, 181), latitude(-91, 91), jitter(-2, 2);
    int found = 0;
    const auto points = countries::representativePoints();
    for (int i = 0; i < 20000; ++i) {
        // Every other point near a country's middle, so that half of them are on land or near a coast.
        const auto& p = points[size_t(i / 2) % points.size()];
        const double x = i % 2 ? p.longitude + jitter(random) : longitude(random);
        const double y = i % 2 ? p.latitude + jitter(random) : latitude(random);
        const QString indexed = outlines.countryCodeAt(x, y);
        QCOMPARE(indexed, outlines.countryCodeByWalkingAllPaths(x, y));
        found += !indexed.isNull();
    }
    QVERIFY(found > 5000);
}

QTEST_GUILESS_MAIN(TestGeoServices)
#include "tst_geoservices.moc"
