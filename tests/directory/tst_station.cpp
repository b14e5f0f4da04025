#include "directory/RadioBrowser.h"
#include "directory/StationArchive.h"
#include "directory/StationValidation.h"
#include "support/DirectoryFixture.h"

#include <QtTest>

using R = RadioBrowser;
static StationList numbered(int count) {
    StationList list;
    for (int i = 0; i < count; ++i)
        list.append(namedStation(QStringLiteral("s") + QString::number(i)));
    return list;
}

class TestStation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every kind of value the directory sends is read, in the order sent; the archive keeps texts
    // and numbers and leaves out nulls, arrays and objects.
    void valuesSurviveParsingAndArchiving() {
        const Station s = stationFromJson(R"({"stationuuid":"u1","name":"Café ☕","bitrate":128,"votes":-5,
            "geo_lat":null,"geo_long":48.25,"hls":false,"clickcount":5000000000,"list":[1,"a"],"obj":{"k":2}})");
        QCOMPARE(s.keys(), (QStringList{"stationuuid", "name", "bitrate", "votes", "geo_lat", "geo_long",
                                        "hls", "clickcount", "list", "obj"}));
        QVERIFY(s.value("geo_lat").isNull());
        QCOMPARE(s.value("list").toVariant().toList().size(), 2);
        QCOMPARE(s.value("obj").toVariant().toMap().value("k").toInt(), 2);
        QVERIFY(s.value("missing").isAbsent());
        QVERIFY(s.string(Station::Key::Bitrate).isNull()); // a number is no text

        const QByteArray bytes = archive::archivedDataWithRootObject({s, stationFromJson("{}")});
        const auto decoded = archive::decode(bytes, archive::kStationListClasses);
        QVERIFY(decoded && decoded->size() == 2);
        const Station& d = decoded->first();
        QCOMPARE(d.keys(),
                 (QStringList{"stationuuid", "name", "bitrate", "votes", "geo_long", "hls", "clickcount"}));
        QCOMPARE(d.string(Station::Key::Name), QStringLiteral("Café ☕"));
        QCOMPARE(d.value(Station::Key::ClickCount).toInteger(), 5000000000);
        QCOMPARE(d.value(Station::Key::Votes).toInteger(), -5);
        QCOMPARE(d.value("geo_long").toDouble(), 48.25);
        QCOMPARE(d.value("hls").type(), StationValue::Type::Bool);
        QVERIFY(!(d == s));                 // the null and the array are gone ...
        QVERIFY(R::stationIsEqualTo(d, s)); // ... the identity is not
        QCOMPARE(decoded->at(1).size(), 0);
    }

    void integerReadings() {
        const Station s =
            stationFromJson(R"({"a":-7,"b":5000000000,"c":128.9,"d":true,"e":" 128k","f":"abc","g":null})");
        QList<qint64> got;
        for (const char* key : {"a", "b", "c", "d", "e", "f", "g", "absent"})
            got.append(s.value(key).toInteger());
        QCOMPARE(got, (QList<qint64>{-7, 5000000000, 128, 1, 128, 0, 0, 0}));
    }

    void onlyWebStreamAddressesPass_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("kept");
        QTest::newRow("http") << "http://stream.example/live" << true;
        QTest::newRow("https, upper case scheme") << "HTTPS://stream.example:8443/a.aac" << true;
        QTest::newRow("local file") << "file:///etc/passwd" << false;
        QTest::newRow("no host") << "http:///etc/passwd" << false;
        QTest::newRow("relative") << "stream.example/live" << false;
    }

    void onlyWebStreamAddressesPass() {
        QFETCH(QString, url);
        QFETCH(bool, kept);
        const Station s = stationFromJson(QJsonObject{{"name", "Radio"}, {"url", url}, {"bitrate", 128}});
        QCOMPARE(stationvalidation::validatedStations({s}).size(), kept ? 1 : 0);
    }

    void equalityIgnoresKeyOrderAndNumberKind() {
        Station::Builder a;
        a.setString(std::string_view("name"), std::string_view("X")).setInteger(std::string_view("votes"), 3);
        Station::Builder b;
        b.setDouble(std::string_view("votes"), 3.0)
            .setString(std::string_view("name"), std::string_view("X"));
        QVERIFY(a.build() == b.build());
        b.setString(std::string_view("extra"), std::string_view(""));
        QVERIFY(!(a.build() == b.build()));
        QVERIFY(!(Station() == a.build()));

        // A builder made from a station replaces a value in place and leaves the station alone.
        const Station original = stationFromJson(R"({"stationuuid":"u","name":" A ","url":"x"})");
        Station::Builder copy(original);
        copy.setString(std::string_view("name"), std::string_view("A"));
        const Station changed = copy.build();
        QCOMPARE(changed.keys(), original.keys());
        QCOMPARE(changed.string(Station::Key::Name), QStringLiteral("A"));
        QCOMPARE(original.string(Station::Key::Name), QStringLiteral(" A "));
    }

    void manyKeysStillFindHotOnes() {
        // The hot keys' index table holds 255 slots; later keys must still be found by a scan.
        Station::Builder builder;
        for (int i = 0; i < 300; ++i)
            builder.setInteger(QByteArray("k" + QByteArray::number(i)).toStdString(), i);
        builder.setString(std::string_view("stationuuid"), std::string_view("late"));
        const Station s = builder.build();
        QCOMPARE(s.size(), 301);
        QCOMPARE(s.string(Station::Key::StationUuid), QStringLiteral("late"));
        QVERIFY(s.value(Station::Key::Name).isAbsent());
        QCOMPARE(s.value("k299").toInteger(), 299);
    }

    // The 21st favourite and the 8th recent push the oldest out; the newest comes first.
    void limitsDropTheOldestEntry() {
        DirectoryFixture f;
        for (const Station& s : numbered(21))
            f.api->addFavoriteStation(s);
        for (const Station& s : numbered(8))
            f.api->addRecentStation(s);
        const QStringList favorites = uuids(f.api->favoriteStations());
        const QStringList recents = uuids(f.api->recentStations());
        QCOMPARE(QList<qsizetype>({favorites.size(), recents.size()}), QList<qsizetype>({20, 7}));
        QCOMPARE(QStringList({favorites.first(), favorites.last(), recents.first(), recents.last()}),
                 QStringList({"s20", "s1", "s7", "s1"}));
    }

    void moves_data() {
        QTest::addColumn<QString>("moved");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("beeps");
        QTest::newRow("towards the front") << "s2" << 1 << QStringList{"s0", "s2", "s1", "s3", "s4"} << 0;
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

    // Adding a favourite or a recent again, or removing one that is not there, changes and writes
    // nothing; removing goes by the identifier, not by the other values.
    void addAndRemoveGoByIdentity() {
        DirectoryFixture f;
        f.api->addFavoriteStation(namedStation("a"));
        f.api->addFavoriteStation(namedStation("b"));
        f.api->addRecentStation(namedStation("a"));
        f.api->addRecentStation(namedStation("b"));
        f.api->waitForSaves();
        QFile::remove(f.supportFile("favoriteStations.dat"));
        QSignalSpy changes(f.api.get(), &RadioBrowser::favoriteStationsChanged);
        QSignalSpy recentChanges(f.api.get(), &RadioBrowser::recentStationsChanged);
        f.api->addFavoriteStation(namedStation("a"));
        f.api->addRecentStation(namedStation("a", "renamed"));
        f.api->removeFavoriteStation(namedStation("z"));
        f.api->waitForSaves();
        QCOMPARE(changes.count() + recentChanges.count(), 0);
        QCOMPARE(uuids(f.api->recentStations()), (QStringList{"b", "a"}));
        QVERIFY(!QFile::exists(f.supportFile("favoriteStations.dat")));
        f.api->removeFavoriteStation(namedStation("a", "different name"));
        QCOMPARE(uuids(f.api->favoriteStations()), QStringList{"b"});
        QVERIFY(!f.api->isFavoriteStation(namedStation("a")));
        QVERIFY(f.api->isFavoriteStation(namedStation("b")));
    }

    // The lists come back at the next start; a damaged file starts an empty list that replaces it.
    void listsSurviveARestart() {
        DirectoryFixture f;
        f.api->addFavoriteStation(namedStation("a"));
        f.api->addRecentStation(namedStation("r"));
        f.launch();
        QCOMPARE(uuids(f.api->favoriteStations()), QStringList{"a"});
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

    // last: it fills the process-wide key table
    void hostileKeysStayBounded() {
        const QByteArray list = archive::archivedDataWithRootObject(
            {stationFromJson(QJsonObject{{"name", "Kept"}, {"url", "http://a.example/"}})});
        // Replies whose objects each bring 200 keys never seen, half of them too long to keep.
        for (int reply = 0; reply < 100; ++reply) {
            QByteArray json = R"([{"name":"R")";
            for (int i = 0; i < 200; ++i)
                json += ",\"k" + QByteArray::number(reply) + '_' + QByteArray::number(i) +
                        QByteArray(i % 2 ? 70 : 0, 'x') + "\":1";
            const auto stations = directoryjson::parseStationArray(json + "}]", nullptr);
            QVERIFY(stations && stations->size() == 1);
            QCOMPARE(stations->first().string(Station::Key::Name), QStringLiteral("R"));
            QVERIFY(stations->first().size() <= 1 + int(stationkeys::kMaxNewKeysPerObject));
        }
        QVERIFY(!stationkeys::intern("a-key-nobody-has-seen-before"));         // the table is full ...
        const auto read = archive::decode(list, archive::kStationListClasses); // ... and lists still read
        QVERIFY(read && read->size() == 1);
        QCOMPARE(read->first().string(Station::Key::Url), QStringLiteral("http://a.example/"));
    }
};

QTEST_GUILESS_MAIN(TestStation)
#include "tst_station.moc"
