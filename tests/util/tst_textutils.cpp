#include "util/IcuText.h"
#include "util/TextUtils.h"

#include <QTest>

class TestTextUtils : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void urlEncoding_data();
    void urlEncoding();
    void countTexts_data();
    void countTexts();
    void words_data();
    void words();
    void prefixes_data();
    void prefixes();
    void capitalized_data();
    void capitalized();
    void searchFolding();
};

void TestTextUtils::urlEncoding_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("accent and dash") << QStringLiteral("Café – Live") << QStringLiteral("Caf%C3%A9%20%E2%80%93%20Live");
    QTest::newRow("query characters stay") << QStringLiteral("Rock & Roll") << QStringLiteral("Rock%20&%20Roll");
    QTest::newRow("astral plane") << QStringLiteral("a\U0001F3B5b") << QStringLiteral("a%F0%9F%8E%B5b");
    QTest::newRow("empty") << QString() << QString();
}

void TestTextUtils::urlEncoding() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(text::URLEncodedString(input), expected);
}

void TestTextUtils::countTexts_data() {
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one") << qint64(1) << QStringLiteral("1 Station");
    QTest::newRow("zero") << qint64(0) << QStringLiteral("0 Stations");
    QTest::newRow("two") << qint64(2) << QStringLiteral("2 Stations");
    QTest::newRow("negative one") << qint64(-1) << QStringLiteral("-1 Stations");
    QTest::newRow("grouped") << qint64(12345) << QStringLiteral("12,345 Stations");
}

void TestTextUtils::countTexts() {
    QFETCH(qint64, count);
    QFETCH(QString, expected);
    QCOMPARE(text::countOf(count, QStringLiteral("Station"), QStringLiteral("Stations")), expected);
}

void TestTextUtils::words_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("runs of blanks") << QStringLiteral("  Radio   One  FM ") << QStringList{"Radio", "One", "FM"};
    QTest::newRow("tabs and no-break spaces") << QStringLiteral("Radio\t\u00A0One") << QStringList{"Radio", "One"};
    QTest::newRow("line breaks are not whitespace") << QStringLiteral("a\nb c") << QStringList{"a\nb", "c"};
    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("blanks only") << QStringLiteral("   ") << QStringList{};
}

void TestTextUtils::words() {
    QFETCH(QString, input);
    QFETCH(QStringList, expected);
    QCOMPARE(text::componentsSeparatedByCharactersInSetTrimmed(input, CharacterSet::whitespace()), expected);
}

void TestTextUtils::prefixes_data() {
    QTest::addColumn<QString>("string");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("options");
    QTest::addColumn<bool>("expected");
    QTest::newRow("https") << QStringLiteral("https://a") << QStringLiteral("http") << 0 << true;
    QTest::newRow("upper case") << QStringLiteral("HTTP://a") << QStringLiteral("http") << 0 << false;
    QTest::newRow("shorter than prefix") << QStringLiteral("htt") << QStringLiteral("http") << 0 << false;
    QTest::newRow("empty prefix") << QStringLiteral("abc") << QString() << 0 << false;
    QTest::newRow("case-insensitive") << QStringLiteral("HTTP://a") << QStringLiteral("http")
                                      << int(text::CompareOption::CaseInsensitive) << true;
    QTest::newRow("accents count") << QStringLiteral("Éte") << QStringLiteral("et")
                                   << int(text::CompareOption::CaseInsensitive) << false;
    QTest::newRow("accents ignored") << QStringLiteral("Éte") << QStringLiteral("et")
                                     << int(text::CompareOption::DiacriticInsensitive) << true;
}

void TestTextUtils::prefixes() {
    QFETCH(QString, string);
    QFETCH(QString, prefix);
    QFETCH(int, options);
    QFETCH(bool, expected);
    QCOMPARE(text::stringStrartsWith(string, prefix, text::CompareOptions(options)), expected);
}

void TestTextUtils::capitalized_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("words") << QStringLiteral("pop,ROCK, jazz") << QStringLiteral("Pop,Rock, Jazz");
    QTest::newRow("digits first") << QStringLiteral("80S") << QStringLiteral("80s");
    QTest::newRow("non-latin") << QStringLiteral("ΡΟΚ μουσική") << QStringLiteral("Ροκ Μουσική");
    QTest::newRow("empty") << QString() << QString();
}

void TestTextUtils::capitalized() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(icutext::capitalized(input), expected);
}

void TestTextUtils::searchFolding() {
    QCOMPARE(icutext::foldedForSearch(u"Café ÖSTERREICH"), icutext::foldedForSearch(u"cafe osterreich"));
    QCOMPARE(icutext::foldedForSearch(u"Straße"), QStringLiteral("strasse"));
}

QTEST_GUILESS_MAIN(TestTextUtils)
#include "tst_textutils.moc"
