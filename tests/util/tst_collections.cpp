#include "util/Collections.h"

#include <QTest>

using namespace collections;

class TestCollections : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void removingTakesEveryEqualElement();
    void sortedTexts_data();
    void sortedTexts();
    void sortedNumbers();
    void collationModes();
};

void TestCollections::removingTakesEveryEqualElement() {
    const QStringList list{"a", "b", "a", "c"};
    QCOMPARE(arrayByRemovingObject(list, QStringLiteral("a")), (QStringList{"b", "c"}));
    QCOMPARE(arrayByRemovingObject(list, QStringLiteral("x")), list);
    QCOMPARE(arrayByAddingObject(list, QStringLiteral("d")).last(), QStringLiteral("d"));
    QCOMPARE(list.size(), 4);
}

void TestCollections::sortedTexts_data() {
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("numbers by value, case-insensitive")
        << QStringList{"rock", "80s", "2000s", "Jazz"} << QStringList{"80s", "2000s", "Jazz", "rock"};
    QTest::newRow("capitals do not come first") << QStringList{"Zeta", "alpha"} << QStringList{"alpha", "Zeta"};
    QTest::newRow("accented letters with their base") << QStringList{"Zulu", "Österreich", "Oman"}
                                                      << QStringList{"Oman", "Österreich", "Zulu"};
    QTest::newRow("empty") << QStringList{} << QStringList{};
}

void TestCollections::sortedTexts() {
    QFETCH(QStringList, input);
    QFETCH(QStringList, expected);
    QCOMPARE(allObjectsSorted(QSet<QString>(input.cbegin(), input.cend())), expected);
}

void TestCollections::sortedNumbers() {
    QCOMPARE(allObjectsSorted(QSet<int>{10, -2, 3}), (QList<int>{-2, 3, 10}));
}

void TestCollections::collationModes() {
    const Collation insensitive(Collation::Mode::CaseInsensitive);
    QCOMPARE(insensitive.compare(u"suisse", u"SUISSE"), 0);
    QVERIFY(insensitive.compare(u"Osterreich", u"Österreich") != 0);
    const Collation standard(Collation::Mode::Standard);
    QVERIFY(standard.less(u"track 9", u"track 10"));
    QVERIFY(standard.sortKey(u"track 9") < standard.sortKey(u"track 10"));
}

QTEST_GUILESS_MAIN(TestCollections)
#include "tst_collections.moc"
