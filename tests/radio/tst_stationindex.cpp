// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/StationIndex.h"
#include "support/DirectoryFixture.h"

#include <QTest>

// Stations named by their uuid's letter so that results read as short strings.
static StationIndex sample() {
    return StationIndex({
        stationFromJson(R"({"stationuuid":"a","name":"Radio FM","tags":"pop","votes":5,"clickcount":1})"),
        stationFromJson(R"({"stationuuid":"b","name":"Café Central","tags":"jazz","votes":9,"clickcount":3})"),
        stationFromJson(R"({"stationuuid":"c","name":"Zeta","tags":"cafe music,rock","votes":1,"clickcount":7})"),
        stationFromJson(R"({"stationuuid":"d","name":"alpha","votes":5,"clickcount":2})"),
        stationFromJson(R"({"stationuuid":"e","name":"Track 10","tags":"Rock","clickcount":7})"),
        stationFromJson(R"({"stationuuid":"f","name":"Track 9","tags":"talk show"})"),
    });
}

static QString ids(const StationIndex& index, const QList<int>& rows) {
    QString s;
    for (int i : rows)
        s += index.stations().at(i).string(Station::Key::StationUuid);
    return s;
}

class TestStationIndex : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void filters_data() {
        QTest::addColumn<QStringList>("tags");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no condition") << QStringList{} << QString() << "abcdef";
        QTest::newRow("tags: any of them") << QStringList{"Jazz", "Rock"} << QString() << "bce";
        QTest::newRow("no tags means Variety") << QStringList{"Variety"} << QString() << "d";
        QTest::newRow("tags OR search") << QStringList{"Jazz"} << "fm" << "ab";
        QTest::newRow("accents and case ignored, tags searched too") << QStringList{} << "CAFE" << "bc";
        QTest::newRow("a blank is a real search") << QStringList{} << " " << "abcef";
        QTest::newRow("nothing matches") << QStringList{} << "xyz" << "";
    }

    void filters() {
        QFETCH(QStringList, tags);
        QFETCH(QString, search);
        QFETCH(QString, expected);
        const StationIndex index = sample();
        QCOMPARE(ids(index, index.filter({0, 1, 2, 3, 4, 5}, tags, search)), expected);
    }

    // The sort setting as stored: 0 votes, 1 clicks, 2 names, 3 tags; anything else is clicks.
    void orders_data() {
        QTest::addColumn<int>("setting");
        QTest::addColumn<QString>("expected");
        QTest::newRow("votes, highest first, ties keep their order") << 0 << "badcef";
        QTest::newRow("clicks, highest first") << 1 << "cebdaf";
        QTest::newRow("names in the user's collation") << 2 << "dbaf" "ec";
        QTest::newRow("raw tags text, collated") << 3 << "dcbaef";
        QTest::newRow("unknown setting: clicks") << 7 << "cebdaf";
    }

    void orders() {
        QFETCH(int, setting);
        QFETCH(QString, expected);
        StationIndex index = sample();
        QCOMPARE(ids(index, index.order(StationIndex::sortKeyForSetting(setting))), expected);
    }
};

QTEST_GUILESS_MAIN(TestStationIndex)
#include "tst_stationindex.moc"
