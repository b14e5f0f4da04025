#include "directory/StationArchive.h"
#include "support/DirectoryFixture.h"

#include <QtTest>

static StationList numbered(int count, const QString& prefix = QStringLiteral("s")) {
    StationList list;
    for (int i = 0; i < count; ++i)
        list.append(namedStation(prefix + QString::number(i)));
    return list;
}

class TestStationLists : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void limitsDropTheLastEntry_data() {
        QTest::addColumn<bool>("favorites");
        QTest::addColumn<int>("limit");
        QTest::newRow("21st favourite") << true << 20;
        QTest::newRow("8th recent") << false << 7;
    }

    void limitsDropTheLastEntry() {
        QFETCH(bool, favorites);
        QFETCH(int, limit);
        DirectoryFixture f;
        for (const Station& s : numbered(limit + 1)) {
            if (favorites)
                f.api->addFavoriteStation(s);
            else
                f.api->addRecentStation(s);
        }
        const StationList list = favorites ? f.api->favoriteStations() : f.api->recentStations();
        QCOMPARE(list.size(), limit);
        QCOMPARE(uuids(list).first(), QStringLiteral("s%1").arg(limit)); // newest first
        QVERIFY(!uuids(list).contains(QStringLiteral("s0")));             // the oldest went
    }

    void replayedRecentKeepsItsPlace() {
        DirectoryFixture f;
        f.api->addRecentStation(namedStation("a"));
        f.api->addRecentStation(namedStation("b"));
        QSignalSpy changes(f.api.get(), &RadioBrowser::recentStationsChanged);
        f.api->addRecentStation(namedStation("a", "renamed"));
        QCOMPARE(changes.count(), 0);
        QCOMPARE(uuids(f.api->recentStations()), (QStringList{"b", "a"}));
    }

    void moves_data() {
        QTest::addColumn<QString>("moved");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("beeps");
        QTest::newRow("towards the front") << "s2" << 1 << QStringList{"s0", "s2", "s1", "s3", "s4"} << 0;
        QTest::newRow("any non-zero is the front") << "s2" << -1 << QStringList{"s0", "s2", "s1", "s3", "s4"} << 0;
        QTest::newRow("towards the end") << "s2" << 0 << QStringList{"s0", "s1", "s3", "s2", "s4"} << 0;
        QTest::newRow("first to the front") << "s0" << 1 << QStringList{"s0", "s1", "s2", "s3", "s4"} << 1;
        QTest::newRow("last to the end") << "s4" << 0 << QStringList{"s0", "s1", "s2", "s3", "s4"} << 1;
        QTest::newRow("not a favourite") << "x" << 1 << QStringList{"s0", "s1", "s2", "s3", "s4"} << 0;
    }

    void moves() {
        QFETCH(QString, moved);
        QFETCH(int, direction);
        QFETCH(QStringList, expected);
        QFETCH(int, beeps);
        DirectoryFixture f;
        f.api->setFavoriteStations(numbered(5));
        QSignalSpy changes(f.api.get(), &RadioBrowser::favoriteStationsChanged);
        f.api->moveFavoriteStation(namedStation(moved, "other values"), direction);
        QCOMPARE(uuids(f.api->favoriteStations()), expected);
        QCOMPARE(f.beeps, beeps);
        QCOMPARE(changes.count(), expected == uuids(numbered(5)) ? 0 : 1);
        for (const Station& s : f.api->favoriteStations()) // the stored entry moved, not the one passed in
            QVERIFY(s.string(Station::Key::Name) != QStringLiteral("other values"));
    }

    // Adding a favourite again or removing one that is not there changes and writes nothing;
    // removing goes by the identifier, not by the other values.
    void addAndRemoveGoByIdentity() {
        DirectoryFixture f;
        f.api->addFavoriteStation(namedStation("a"));
        f.api->addFavoriteStation(namedStation("b"));
        f.api->waitForSaves();
        QFile::remove(f.supportFile("favoriteStations.dat"));
        QSignalSpy changes(f.api.get(), &RadioBrowser::favoriteStationsChanged);
        f.api->addFavoriteStation(namedStation("a"));
        f.api->removeFavoriteStation(namedStation("z"));
        f.api->waitForSaves();
        QCOMPARE(changes.count(), 0);
        QVERIFY(!QFile::exists(f.supportFile("favoriteStations.dat")));
        f.api->removeFavoriteStation(namedStation("a", "different name"));
        QCOMPARE(uuids(f.api->favoriteStations()), QStringList{"b"});
        QVERIFY(!f.api->isFavoriteStation(namedStation("a")));
        QVERIFY(f.api->isFavoriteStation(namedStation("b")));
    }

    // The lists come back at the next start; a damaged file starts an empty list that replaces it.
    void listsSurviveARestart() {
        DirectoryFixture f;
        f.api->addFavoriteStation(stationFromJson(R"({"stationuuid":"a","name":"A","geo_lat":null,"votes":3})"));
        f.api->addRecentStation(namedStation("r"));
        f.launch();
        QCOMPARE(uuids(f.api->favoriteStations()), QStringList{"a"});
        QVERIFY(f.api->favoriteStations().first().value("geo_lat").isAbsent()); // nulls are not stored
        QCOMPARE(f.api->favoriteStations().first().value(Station::Key::Votes).toInteger(), 3);
        QCOMPARE(uuids(f.api->recentStations()), QStringList{"r"});

        QFile file(f.supportFile("favoriteStations.dat"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xd9\xd9\xf7 not a list");
        file.close();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^unarchive error : "));
        f.launch();
        QVERIFY(f.api->favoriteStations().isEmpty());
        QCOMPARE(uuids(f.api->recentStations()), QStringList{"r"});
        f.api->addFavoriteStation(namedStation("b"));
        f.launch();
        QCOMPARE(uuids(f.api->favoriteStations()), QStringList{"b"});
    }

    void rapidChangesEndWithTheLastList() {
        DirectoryFixture f;
        for (int round = 0; round < 200; ++round) {
            f.api->addFavoriteStation(namedStation(QStringLiteral("f%1").arg(round)));
            if (round % 3 == 0)
                f.api->moveFavoriteStation(namedStation(QStringLiteral("f%1").arg(round)), 0);
        }
        const QStringList last = uuids(f.api->favoriteStations());
        f.api->waitForSaves();
        const auto stored = f.api->readStationsFromURL(f.api->favoriteStationsURL());
        QVERIFY(stored);
        QCOMPARE(uuids(*stored), last);
    }
};

QTEST_GUILESS_MAIN(TestStationLists)
#include "tst_stationlists.moc"
