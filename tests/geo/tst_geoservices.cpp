#include "geo/Countries.h"
#include "geo/CountryTables.h"
#include "geo/GeoServices.h"

#include <QTest>
#include <random>

// The country tables, the names and flags made from codes, and the lookups over the outlines.
class TestGeoServices : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void flags_data();
    void flags();
    void countryNames_data();
    void countryNames();
    void nativeNamesTableIsWellFormed();
    void representativePointsTableIsWellFormed();
    void flagCache_data();
    void flagCache();
    void validCodes_data();
    void validCodes();
    void codesForNames_data();
    void codesForNames();
    void countryOfLocation_data();
    void countryOfLocation();
    void representativePointsLieInTheirCountry_data();
    void representativePointsLieInTheirCountry();
    void indexAgreesWithWalkingEveryPath();
};

namespace {

QString ucs4(std::initializer_list<char32_t> codePoints) {
    return QString::fromUcs4(codePoints.begin(), qsizetype(codePoints.size()));
}

// Sets the user's language for one test and restores it afterwards.
class ScopedLanguage {
public:
    // A null locale: no locale variable set at all.
    explicit ScopedLanguage(const QByteArray& locale) : saved_(qgetenv("LC_ALL")), savedLang_(qgetenv("LANG")) {
        qputenv("LC_ALL", locale);
        if (locale.isNull())
            qunsetenv("LANG");
    }
    ~ScopedLanguage() {
        qputenv("LC_ALL", saved_);
        qputenv("LANG", savedLang_);
    }

private:
    QByteArray saved_, savedLang_;
};

template <typename Rows> QStringList codesOf(const Rows& rows) {
    QStringList codes;
    for (const auto& row : rows)
        codes.append(QString::fromLatin1(row.code));
    return codes;
}

bool strictlyAscending(const QStringList& list) {
    for (qsizetype i = 1; i < list.size(); ++i) {
        if (!(list[i - 1] < list[i]))
            return false;
    }
    return true;
}

} // namespace

void TestGeoServices::initTestCase() {
    // The names in the user's language are taken once per process: make them English.
    qputenv("LC_ALL", "en_US.UTF-8");
}

void TestGeoServices::flags_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CH") << QStringLiteral("CH") << ucs4({0x1F1E8, 0x1F1ED});
    QTest::newRow("AZ bounds") << QStringLiteral("AZ") << ucs4({0x1F1E6, 0x1F1FF});
    QTest::newRow("lower case") << QStringLiteral("ch") << ucs4({0x1F1E8, 0x1F1ED});
    QTest::newRow("mixed case") << QStringLiteral("dE") << ucs4({0x1F1E9, 0x1F1EA});
    QTest::newRow("highest unit") << QStringLiteral("\uFFFFA") << ucs4({0x2F1A4, 0x1F1E6});
    QTest::newRow("one letter") << QStringLiteral("D") << QString();
    QTest::newRow("three letters") << QStringLiteral("DEU") << QString();
    QTest::newRow("empty") << QStringLiteral("") << QString();
    QTest::newRow("null") << QString() << QString();
}

void TestGeoServices::flags() {
    QFETCH(QString, code);
    QFETCH(QString, expected);
    const QString flag = countries::stringFlagForCountryCode(code);
    QCOMPARE(flag, expected);
    QCOMPARE(flag.isNull(), expected.isNull());
}

void TestGeoServices::countryNames_data() {
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("English") << QByteArray("en_US.UTF-8") << QStringLiteral("DE")
                             << QStringLiteral("Germany");
    QTest::newRow("German") << QByteArray("de_DE.UTF-8") << QStringLiteral("DE")
                            << QStringLiteral("Deutschland");
    QTest::newRow("French") << QByteArray("fr_CH.UTF-8") << QStringLiteral("CH") << QStringLiteral("Suisse");
    for (const char* plain : {"C", "C.UTF-8", "POSIX", static_cast<const char*>(nullptr)})
        QTest::addRow("%s locale: English", plain ? plain : "no") << QByteArray(plain) << QStringLiteral("MC") << QStringLiteral("Monaco");
    QTest::newRow("not ISO but known")
        << QByteArray("en_US.UTF-8") << QStringLiteral("XK") << QStringLiteral("Kosovo");
    QTest::newRow("unknown code") << QByteArray("en_US.UTF-8") << QStringLiteral("QX") << QString();
    QTest::newRow("separator") << QByteArray("en_US.UTF-8") << QStringLiteral("DE_AT") << QString();
    QTest::newRow("empty") << QByteArray("en_US.UTF-8") << QStringLiteral("") << QString();
}

void TestGeoServices::countryNames() {
    QFETCH(QByteArray, locale);
    QFETCH(QString, code);
    QFETCH(QString, expected);
    ScopedLanguage language(locale);
    const QString name = countries::stringCountryForCountryCode(code);
    QCOMPARE(name, expected);
    QCOMPARE(name.isNull(), expected.isNull());
}

void TestGeoServices::nativeNamesTableIsWellFormed() {
    const auto rows = countries::nativeNames();
    QCOMPARE(rows.size(), size_t(245));
    const QStringList codes = codesOf(rows);
    QVERIFY(strictlyAscending(codes));
    for (const char* absent : {"MV", "MY", "NP", "UZ", "XK"})
        QVERIFY2(!codes.contains(QLatin1StringView(absent)), absent);

    QHash<QString, QString> rowOfName;
    for (const auto& row : rows) {
        QVERIFY2(row.names[0], row.code);
        bool ended = false;
        for (const char* name : row.names) {
            ended = ended || !name;
            QVERIFY2(ended == !name, row.code); // no gap before the last name
            if (!name)
                continue;
            const QString text = QString::fromUtf8(name);
            QVERIFY2(!text.trimmed().isEmpty() && text != QLatin1StringView(","), row.code);
            const QString other = rowOfName.value(text);
            QVERIFY2(other.isEmpty(), qPrintable(text + " in " + other + " and " + row.code));
            rowOfName.insert(text, QLatin1StringView(row.code));
        }
    }
}

void TestGeoServices::representativePointsTableIsWellFormed() {
    const auto points = countries::representativePoints();
    QCOMPARE(points.size(), size_t(245));
    const QStringList codes = codesOf(points);
    QVERIFY(strictlyAscending(codes));
    for (const auto& p : points) {
        QVERIFY2(p.latitude >= -90 && p.latitude <= 90, p.code);
        QVERIFY2(p.longitude >= -180 && p.longitude <= 180, p.code);
    }
}

void TestGeoServices::flagCache_data() {
    QTest::addColumn<QString>("code");
    for (const QString& code : countries::isoCountryCodes())
        QTest::newRow(qPrintable(code)) << code;
}

void TestGeoServices::flagCache() {
    QFETCH(QString, code);
    QCOMPARE(GeoServices::sharedServices().emojiFlagForCountryCode(code),
             countries::stringFlagForCountryCode(code));
}

void TestGeoServices::validCodes_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("valid");
    QTest::newRow("AX") << "AX" << true;
    QTest::newRow("AD, first row") << "AD" << true;
    QTest::newRow("ZW, last row") << "ZW" << true;
    QTest::newRow("XK, directory only") << "XK" << false;
    QTest::newRow("lower case") << "de" << false;
    QTest::newRow("three letters") << "DEU" << false;
    QTest::newRow("one letter") << "D" << false;
    QTest::newRow("empty") << "" << false;
}

void TestGeoServices::validCodes() {
    QFETCH(QString, code);
    QFETCH(bool, valid);
    QCOMPARE(GeoServices::sharedServices().isValidCountryCode(code), valid);
}

void TestGeoServices::codesForNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");
    QTest::newRow("lower case") << "suisse"
                                << "CH";
    QTest::newRow("upper case") << "SVIZZERA"
                                << "CH";
    QTest::newRow("later name of a row") << "Scotland"
                                         << "GB";
    QTest::newRow("punctuation kept, case not") << "u.s.a."
                                                << "US";
    QTest::newRow("official language") << "Éire"
                                       << "IE";
    QTest::newRow("de-facto official language") << "Schwiiz"
                                                << "CH";
    QTest::newRow("native script") << "日本"
                                   << "JP";
    QTest::newRow("traditional script") << "台灣"
                                        << "TW";
    QTest::newRow("Cyrillic, other case") << "РОССИЯ"
                                          << "RU";
    QTest::newRow("native name, other case") << "ÖSTERREICH"
                                             << "AT";
    QTest::newRow("user's language") << "Germany"
                                     << "DE";
    QTest::newRow("user's language, upper case") << "SWITZERLAND"
                                                 << "CH";
    QTest::newRow("accents count") << "Osterreich" << QString();
    QTest::newRow("prefix") << "Österr" << QString();
    QTest::newRow("not trimmed") << " Suisse" << QString();
    QTest::newRow("punctuation counts") << "USA." << QString();
    QTest::newRow("unknown") << "Atlantis" << QString();
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
    QTest::newRow("Bern") << 46.948 << 7.4474 << "CH";
    QTest::newRow("open Atlantic") << 0.0 << -30.0 << QString();
    QTest::newRow("San Marino inside Italy") << 43.9424 << 12.4578 << "SM";
    QTest::newRow("Vatican inside Rome") << 41.9017 << 12.4345 << "VA"; // where 1:50m draws it
    QTest::newRow("Maseru, Lesotho inside South Africa") << -29.31 << 27.48 << "LS";
    QTest::newRow("Pretoria") << -25.7479 << 28.2293 << "ZA";
    QTest::newRow("Pristina, no ISO number") << 42.6629 << 21.1655 << "XK";
    QTest::newRow("Hargeisa counts as Somalia") << 9.56 << 44.065 << "SO";
    QTest::newRow("Cayenne, split from France") << 4.9224 << -52.3135 << "GF";
    QTest::newRow("Paris") << 48.8566 << 2.3522 << "FR";
    QTest::newRow("Longyearbyen, split from Norway") << 78.2232 << 15.6267 << "SJ";
    QTest::newRow("Kiruna, at Chukotka's latitude") << 67.8558 << 20.2253 << "SE";
    QTest::newRow("Chukotka east of 180°") << 67.0 << -177.5 << "RU";
    QTest::newRow("Taveuni, Fiji at 180°") << -16.85 << -179.95 << "FJ";
    QTest::newRow("Fairbanks") << 64.8378 << -147.7164 << "US";
    QTest::newRow("Antarctica") << -80.0 << 0.0 << "AQ";
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

void TestGeoServices::representativePointsLieInTheirCountry_data() {
    QTest::addColumn<QString>("code");
    const auto& paths = GeoServices::sharedServices().countryPaths().paths();
    // AN (Curaçao) and GZ (Gaza) have no outline under their code.
    for (const auto& point : countries::representativePoints()) {
        const QString code = QString::fromLatin1(point.code);
        if (!paths.value(code).isEmpty() && code != u"AN" && code != u"GZ")
            QTest::newRow(point.code) << code;
    }
}

void TestGeoServices::representativePointsLieInTheirCountry() {
    QFETCH(QString, code);
    const auto location = Location::createWithCountryCode(code);
    QVERIFY(location);
    QCOMPARE(GeoServices::sharedServices().countryCodeUsingPolygonsForLocation(*location), code);
}

void TestGeoServices::indexAgreesWithWalkingEveryPath() {
    const CountryOutlines& outlines = GeoServices::sharedServices().countryPaths();
    QVERIFY(outlines.paths().size() > 200);
    std::mt19937 random(6709);
    std::uniform_real_distribution<double> longitude(-181, 181), latitude(-91, 91), jitter(-2, 2);
    int found = 0;
    for (int i = 0; i < 20000; ++i) {
        double x = longitude(random), y = latitude(random);
        if (i % 2) {
            // Near a country's middle, so that half the points are on land or near a coast.
            const auto points = countries::representativePoints();
            const auto& p = points[size_t(i / 2) % points.size()];
            x = p.longitude + jitter(random);
            y = p.latitude + jitter(random);
        }
        const QString indexed = outlines.countryCodeAt(x, y);
        QCOMPARE(indexed, outlines.countryCodeByWalkingAllPaths(x, y));
        found += !indexed.isNull();
    }
    QVERIFY(found > 5000);
}

QTEST_GUILESS_MAIN(TestGeoServices)
#include "tst_geoservices.moc"
