// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/Collections.h"
#include "util/IcuText.h"
#include "util/TextUtils.h"

#include <QTest>

using namespace collections;

using Conversion = QString (*)(const QString&);
Q_DECLARE_METATYPE(Conversion)

class TestTextUtils : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void conversions_data() {
        QTest::addColumn<Conversion>("conversion");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        const Conversion url = [](const QString& s) { return text::URLEncodedString(s); };
        const Conversion caps = [](const QString& s) { return icutext::capitalized(s); };
        QTest::newRow("url: accent and dash")
            << url << u"Café – Live"_qs << u"Caf%C3%A9%20%E2%80%93%20Live"_qs;
        QTest::newRow("url: query characters stay") << url << u"Rock & Roll"_qs << u"Rock%20&%20Roll"_qs;
        QTest::newRow("url: astral plane") << url << u"a\U0001F3B5b"_qs << u"a%F0%9F%8E%B5b"_qs;
        QTest::newRow("url: empty") << url << QString() << QString();
        QTest::newRow("caps: words") << caps << u"pop,ROCK, jazz"_qs << u"Pop,Rock, Jazz"_qs;
        QTest::newRow("caps: digits first") << caps << u"80S"_qs << u"80s"_qs;
        QTest::newRow("caps: non-latin") << caps << u"ΡΟΚ μουσική"_qs << u"Ροκ Μουσική"_qs;
        QTest::newRow("caps: empty") << caps << QString() << QString();
    }

    void conversions() {
        QFETCH(Conversion, conversion);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(conversion(input), expected);
    }

    void countTexts() {
        QStringList texts;
        for (qint64 n : {1, 0, -1, 12345})
            texts.append(text::countOf(n, QStringLiteral("Station"), QStringLiteral("Stations")));
        QCOMPARE(texts, (QStringList{"1 Station", "0 Stations", "-1 Stations", "12,345 Stations"}));
    }

    void words_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("runs of blanks") << u"  Radio   One  FM "_qs << QStringList{"Radio", "One", "FM"};
        QTest::newRow("tabs and no-break spaces") << u"Radio\t\u00A0One"_qs << QStringList{"Radio", "One"};
        QTest::newRow("line breaks are not whitespace") << u"a\nb c"_qs << QStringList{"a\nb", "c"};
        QTest::newRow("blanks only") << u"   "_qs << QStringList{};
    }

    void words() {
        QFETCH(QString, input);
        QFETCH(QStringList, expected);
        const QStringList words =
            text::componentsSeparatedByCharactersInSetTrimmed(input, CharacterSet::whitespace());
        QCOMPARE(words, expected);
    }

    void prefixes_data() {
        QTest::addColumn<QString>("string");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("options");
        QTest::addColumn<bool>("expected");
        const int caseless = int(text::CompareOption::CaseInsensitive);
        const int accentless = int(text::CompareOption::DiacriticInsensitive);
        QTest::newRow("https") << u"https://a"_qs << u"http"_qs << 0 << true;
        QTest::newRow("upper case") << u"HTTP://a"_qs << u"http"_qs << 0 << false;
        QTest::newRow("shorter than prefix") << u"htt"_qs << u"http"_qs << 0 << false;
        QTest::newRow("empty prefix") << u"abc"_qs << QString() << 0 << false;
        QTest::newRow("case-insensitive") << u"HTTP://a"_qs << u"http"_qs << caseless << true;
        QTest::newRow("accents count") << u"Éte"_qs << u"et"_qs << caseless << false;
        QTest::newRow("accents ignored") << u"Éte"_qs << u"et"_qs << accentless << true;
    }

    void prefixes() {
        QFETCH(QString, string);
        QFETCH(QString, prefix);
        QFETCH(int, options);
        QFETCH(bool, expected);
        QCOMPARE(text::stringStrartsWith(string, prefix, text::CompareOptions(options)), expected);
    }

    void searchFolding() {
        QCOMPARE(icutext::foldedForSearch(u"Café ÖSTERREICH"), icutext::foldedForSearch(u"cafe osterreich"));
        QCOMPARE(icutext::foldedForSearch(u"Straße"), QStringLiteral("strasse"));
    }

    void listOperations() {
        const QStringList list{"a", "b", "a", "c"};
        QCOMPARE(arrayByRemovingObject(list, QStringLiteral("a")), (QStringList{"b", "c"}));
        QCOMPARE(arrayByRemovingObject(list, QStringLiteral("x")), list);
        QCOMPARE(arrayByAddingObject(list, QStringLiteral("d")).last(), QStringLiteral("d"));
        QCOMPARE(allObjectsSorted(QSet<int>{10, -2, 3}), (QList<int>{-2, 3, 10}));
    }

    void sortedTexts_data() {
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("numbers by value, case-insensitive")
            << QStringList{"rock", "80s", "2000s", "Jazz"} << QStringList{"80s", "2000s", "Jazz", "rock"};
        QTest::newRow("capitals do not come first")
            << QStringList{"Zeta", "alpha"} << QStringList{"alpha", "Zeta"};
        QTest::newRow("accented letters with their base")
            << QStringList{"Zulu", "Österreich", "Oman"} << QStringList{"Oman", "Österreich", "Zulu"};
        QTest::newRow("empty") << QStringList{} << QStringList{};
    }

    void sortedTexts() {
        QFETCH(QStringList, input);
        QFETCH(QStringList, expected);
        QCOMPARE(allObjectsSorted(QSet<QString>(input.cbegin(), input.cend())), expected);
    }

    void collationModes() {
        const Collation insensitive(Collation::Mode::CaseInsensitive);
        QCOMPARE(insensitive.compare(u"suisse", u"SUISSE"), 0);
        QVERIFY(insensitive.compare(u"Osterreich", u"Österreich") != 0);
        const Collation standard(Collation::Mode::Standard);
        QVERIFY(standard.less(u"track 9", u"track 10"));
        QVERIFY(standard.sortKey(u"track 9") < standard.sortKey(u"track 10"));
    }
};

QTEST_GUILESS_MAIN(TestTextUtils)
#include "tst_textutils.moc"
