#include "geo/Countries.h"
#include "geo/CountryTables.h"

#include <cstring>
#include <QSet>
#include <QTest>

class TestCountries : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void flags_data();
    void flags();
    void countryNames_data();
    void countryNames();
    void directoryCountries();
    void nativeNamesTableIsWellFormed();
    void nativeNamesRows_data();
    void nativeNamesRows();
    void representativePointsTableIsWellFormed();
};

namespace {

QString ucs4(std::initializer_list<char32_t> codePoints) {
    return QString::fromUcs4(codePoints.begin(), qsizetype(codePoints.size()));
}

// Sets the user's language for one test and restores it afterwards.
class ScopedLanguage {
public:
    explicit ScopedLanguage(const QByteArray& locale)
        : saved_(qgetenv("LC_ALL")) {
        qputenv("LC_ALL", locale);
    }
    ~ScopedLanguage() { qputenv("LC_ALL", saved_); }

private:
    QByteArray saved_;
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

void TestCountries::flags_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CH") << QStringLiteral("CH") << ucs4({0x1F1E8, 0x1F1ED});
    QTest::newRow("DE") << QStringLiteral("DE") << ucs4({0x1F1E9, 0x1F1EA});
    QTest::newRow("AZ bounds") << QStringLiteral("AZ") << ucs4({0x1F1E6, 0x1F1FF});
    QTest::newRow("lower case is not a flag") << QStringLiteral("ch") << ucs4({0x1F208, 0x1F20D});
    QTest::newRow("highest unit") << QStringLiteral("\uFFFFA") << ucs4({0x2F1A4, 0x1F1E6});
    QTest::newRow("one letter") << QStringLiteral("D") << QString();
    QTest::newRow("three letters") << QStringLiteral("DEU") << QString();
    QTest::newRow("empty") << QStringLiteral("") << QString();
    QTest::newRow("null") << QString() << QString();
}

void TestCountries::flags() {
    QFETCH(QString, code);
    QFETCH(QString, expected);
    const QString flag = countries::stringFlagForCountryCode(code);
    QCOMPARE(flag, expected);
    QCOMPARE(flag.isNull(), expected.isNull());
}

void TestCountries::countryNames_data() {
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("English") << QByteArray("en_US.UTF-8") << QStringLiteral("DE")
                             << QStringLiteral("Germany");
    QTest::newRow("German") << QByteArray("de_DE.UTF-8") << QStringLiteral("DE")
                            << QStringLiteral("Deutschland");
    QTest::newRow("French") << QByteArray("fr_CH.UTF-8") << QStringLiteral("CH") << QStringLiteral("Suisse");
    QTest::newRow("not ISO but known")
        << QByteArray("en_US.UTF-8") << QStringLiteral("XK") << QStringLiteral("Kosovo");
    QTest::newRow("unknown code") << QByteArray("en_US.UTF-8") << QStringLiteral("QX") << QString();
    QTest::newRow("separator") << QByteArray("en_US.UTF-8") << QStringLiteral("DE_AT") << QString();
    QTest::newRow("empty") << QByteArray("en_US.UTF-8") << QStringLiteral("") << QString();
}

void TestCountries::countryNames() {
    QFETCH(QByteArray, locale);
    QFETCH(QString, code);
    QFETCH(QString, expected);
    ScopedLanguage language(locale);
    const QString name = countries::stringCountryForCountryCode(code);
    QCOMPARE(name, expected);
    QCOMPARE(name.isNull(), expected.isNull());
}

void TestCountries::directoryCountries() {
    const QStringList codes = countries::allCountryCodes();
    QCOMPARE(codes.size(), 218);
    QVERIFY(strictlyAscending(codes));
    QCOMPARE(codes.mid(0, 3), (QStringList{"AD", "AE", "AF"}));
    QCOMPARE(codes.mid(215), (QStringList{"ZA", "ZM", "ZW"}));
    QVERIFY(codes.contains(QStringLiteral("XK")));
    for (const char* left :
         {"AI", "BL", "BV", "CX", "DJ", "EH", "ER", "FM", "GM", "HM", "JE", "KI", "LA", "LI", "LR", "MF",
          "MH", "MP", "MR", "MS", "NR", "NU", "PN", "PW", "SS", "SX", "TK", "TL", "TV", "VG", "WS"})
        QVERIFY2(!codes.contains(QLatin1StringView(left)), left);
}

void TestCountries::nativeNamesTableIsWellFormed() {
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

void TestCountries::nativeNamesRows_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("AQ") << "AQ" << QStringList{"Antarctica", "Antártico", "Antarctique", "Антарктике"};
    QTest::newRow("BO") << "BO" << QStringList{"Bolivia", "Bulibiya", "Volívia", "Wuliwya"};
    QTest::newRow("GB") << "GB" << QStringList{"United Kingdom", "England",          "Scotland",
                                               "Wales",          "Northern Ireland", "Great Britain"};
    QTest::newRow("MA") << "MA" << QStringList{"Maroc", "ⵍⵎⵖⵔⵉⴱ", "المغرب"};
    QTest::newRow("US") << "US" << QStringList{"United States of America", "USA", "U.S.A."};
    QTest::newRow("AT") << "AT" << QStringList{"Österreich"};
    QTest::newRow("JP") << "JP" << QStringList{"日本"};
    QTest::newRow("RU") << "RU" << QStringList{"Россия"};
    QTest::newRow("TJ, native script") << "TJ" << QStringList{"Тоҷикистон"};
    QTest::newRow("SE from CLDR") << "SE" << QStringList{"Sverige"};
    QTest::newRow("TW, traditional script") << "TW" << QStringList{"台灣"};
}

void TestCountries::nativeNamesRows() {
    QFETCH(QString, code);
    QFETCH(QStringList, names);
    for (const auto& row : countries::nativeNames()) {
        if (code != QLatin1StringView(row.code))
            continue;
        QStringList actual;
        for (const char* name : row.names) {
            if (name)
                actual.append(QString::fromUtf8(name));
        }
        QCOMPARE(actual, names);
        return;
    }
    QFAIL("no row");
}

void TestCountries::representativePointsTableIsWellFormed() {
    const auto points = countries::representativePoints();
    QCOMPARE(points.size(), size_t(245));
    const QStringList codes = codesOf(points);
    QVERIFY(strictlyAscending(codes));
    for (const char* present : {"AN", "GZ", "MV", "MY", "NP", "UZ", "XK"})
        QVERIFY2(codes.contains(QLatin1StringView(present)), present);
    for (const char* absent : {"AX", "BL", "BQ", "CW", "MF", "SS", "SX"})
        QVERIFY2(!codes.contains(QLatin1StringView(absent)), absent);
    for (const auto& p : points) {
        QVERIFY2(p.latitude >= -90 && p.latitude <= 90, p.code);
        QVERIFY2(p.longitude >= -180 && p.longitude <= 180, p.code);
    }
}

QTEST_GUILESS_MAIN(TestCountries)
#include "tst_countries.moc"
