// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/RadioBrowser.h"
#include "directory/StationArchive.h"
#include "directory/StationValidation.h"
#include "support/DirectoryFixture.h"

#include <functional>
#include <QtTest>

using R = RadioBrowser;
static StationList numbered(int count) {
    StationList list;
    for (int i = 0; i < count; ++i)
        list.append(namedStation(QStringLiteral("s") + QString::number(i)));
    return list;
}

// Stations: their values, the texts shown of them, their archive, and the favourite and recent lists.
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

        // Any value read as an integer.
        const Station n =
            stationFromJson(R"({"a":-7,"b":5000000000,"c":128.9,"d":true,"e":" 128k","f":"abc","g":null})");
        QList<qint64> got;
        for (const char* key : {"a", "b", "c", "d", "e", "f", "g", "absent"})
            got.append(n.value(key).toInteger());
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

    void equalityAndIdentity() {
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

        // The directory's identity: the identifier alone, and only when there is one.
        const Station a1 = namedStation("u1", "A");
        QVERIFY(R::stationIsEqualTo(a1, namedStation("u1", "other name")));
        QVERIFY(!R::stationIsEqualTo(a1, namedStation("U1")));
        QVERIFY(!R::stationIsEqualTo(Station(), Station()));
        const Station anonymous = stationFromJson(R"({"name":"x"})");
        QVERIFY(!R::stationIsEqualTo(anonymous, stationFromJson(R"({"name":"x"})")));
        QVERIFY(R::stationIsEqualTo(anonymous, anonymous));
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
        QVERIFY(!names(f.api->favoriteStations()).contains("other values")); // the stored entry moved
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

    // The lists come back at the next start as they were last, after many quick changes; a damaged
    // file starts an empty list that replaces it.
    void listsSurviveARestart() {
        DirectoryFixture f;
        for (int round = 0; round < 200; ++round) {
            f.api->addFavoriteStation(namedStation(QStringLiteral("f%1").arg(round)));
            if (round % 3 == 0)
                f.api->moveFavoriteStation(namedStation(QStringLiteral("f%1").arg(round)), 0);
        }
        f.api->addRecentStation(namedStation("r"));
        const QStringList last = uuids(f.api->favoriteStations());
        f.launch();
        QCOMPARE(uuids(f.api->favoriteStations()), last);
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

    // The texts shown of a station, from the directory's fields.
    void shownTexts_data() {
        QTest::addColumn<QJsonObject>("station");
        QTest::addColumn<QString>("expected"); // tags sorted and joined by commas
        const auto tags = [](const QJsonValue& value) { return QJsonObject{{"tags", value}}; };
        const auto json = [](const char* text) { return QJsonDocument::fromJson(text).object(); };
        const QString de = QStringLiteral("\U0001F1E9\U0001F1EA");
        // clang-format off
        QTest::newRow("tags: trimmed, filtered") << tags("pop,rock,, 80s ,a,Jazz") << "80s,Jazz,Pop,Rock";
        QTest::newRow("tags: case variants once") << tags("pop,POP,Pop") << "Pop";
        QTest::newRow("tags: 31 kept, 32 dropped") << tags(QString(31, u'x') + u',' + QString(32, u'y'))
                                                   << u'X' + QString(30, u'x');
        QTest::newRow("tags: 3 kept, 2 dropped") << tags("abc,ab") << "Abc";
        QTest::newRow("tags: commas and blanks only") << tags(" , ,, ") << "Variety";
        QTest::newRow("tags: quotes and dots trimmed") << tags("\"news.\",_talk_") << "News,Talk";
        QTest::newRow("tags: not a text") << tags(42) << "Variety";
        QTest::newRow("quality: both") << json(R"({"codec":"MP3","bitrate":128})") << "MP3 - 128 kbps";
        QTest::newRow("quality: empty codec") << json(R"({"codec":"","bitrate":64})") << "64 kbps";
        QTest::newRow("quality: codec, rate 0") << json(R"({"codec":"MP3","bitrate":0})") << "MP3";
        QTest::newRow("quality: neither") << QJsonObject{} << "";
        QTest::newRow("language: comma") << json(R"({"language":"english,spanish"})") << "English, Spanish";
        QTest::newRow("language: blank") << json(R"({"language":"english, spanish"})") << "English,  Spanish";
        QTest::newRow("language: empty") << json(R"({"language":""})") << "--";
        QTest::newRow("icon: https") << QJsonObject{{"favicon", "https://a/i.png"}} << "https://a/i.png";
        QTest::newRow("icon: upper-case scheme") << QJsonObject{{"favicon", "HTTP://a/i.png"}} << QString();
        QTest::newRow("icon: relative") << json(R"({"favicon":"/icon.png"})") << QString();
        QTest::newRow("name: five words") << json(R"({"name":"Radio One  Classic Rock FM"})")
                                          << "Radio\rOne\rClassic";
        QTest::newRow("name: one word") << json(R"({"name":" Jazz "})") << "Jazz";
        QTest::newRow("name: none") << QJsonObject{} << "";
        QTest::newRow("location: state, country") << json(R"({"state":"Bavaria","countrycode":"DE"})")
                                                  << de + " Bavaria, Germany";
        QTest::newRow("location: country only") << json(R"({"countrycode":"DE"})") << de + " Germany";
        QTest::newRow("location: state 7") << json(R"({"state":7,"countrycode":"DE"})") << de + " Germany";
        QTest::newRow("location: no country code") << json(R"({"state":"Bavaria"})") << "Bavaria";
        QTest::newRow("location: DEU") << json(R"({"state":"Bavaria","countrycode":"DEU"})") << QString();
        QTest::newRow("location: QQ") << json(R"({"countrycode":"QQ"})") << "\U0001F1F6\U0001F1F6 QQ";
        // clang-format on
    }

    void shownTexts() {
        // The text shown is named at the start of the row's name.
        const QString text = QString::fromUtf8(QTest::currentDataTag()).section(u':', 0, 0);
        QFETCH(QJsonObject, station);
        QFETCH(QString, expected);
        static const QHash<QString, QString (*)(const Station&)> shown{{"quality", R::soundQualityForStation},
                                                                       {"language", R::languageForStation},
                                                                       {"icon", R::iconPathForStation},
                                                                       {"name", R::truncatedNameForStation},
                                                                       {"location", R::locationForStation}};
        const Station s = stationFromJson(station);
        QStringList tags = R::tagsForStation(s);
        tags.sort();
        const QString got = text == "tags" ? tags.join(u',') : shown.value(text)(s);
        QCOMPARE(got, expected);
        if (text != "name") // a missing text and an empty one are told apart
            QCOMPARE(got.isNull(), expected.isNull());
    }

    void listHelpers() {
        DirectoryFixture fixture;
        RadioBrowser& api = *fixture.api;
        // A station is found in a list by its identifier alone, the first of repeats.
        const StationList list{namedStation("a"), namedStation("b", "first"), namedStation("b", "second")};
        QCOMPARE(api.indexOfStation(namedStation("b"), list), 1);
        QCOMPARE(api.indexOfStation(namedStation("z"), list), RadioBrowser::kNotFound);
        QCOMPARE(api.indexOfStation(stationFromJson(R"({"name":"a"})"), list), RadioBrowser::kNotFound);
        // What is written of a station leaves out nulls, arrays and objects.
        const Station prepared = api._prepareStationForWriting(stationFromJson(
            R"({"stationuuid":"u","geo_lat":null,"votes":3,"hls":true,"list":[1],"obj":{},"geo_long":1.5})"));
        QCOMPARE(prepared.keys(), (QStringList{"stationuuid", "votes", "hls", "geo_long"}));
        QVERIFY(prepared.value("hls").isNumber());
    }

    void refusesAnythingElse_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray valid = archive::archivedDataWithRootObject({namedStation("u")});
        // The list's two tags, then CBOR as written in the comments; "k" is 616b.
        const auto list = [](const char* hex) {
            return QByteArray::fromHex("d9d9f7da4f535401" + QByteArray(hex));
        };
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no tags") << QByteArray::fromHex("81a0"); // [{}]
        QTest::newRow("other format tag") << QByteArray(valid).replace(5, 1, "\x02");
        QTest::newRow("trailing byte") << valid + '\0';
        QTest::newRow("root is a map") << list("a0");                                        // {}
        QTest::newRow("element is a text") << list("816178");                                // ["x"]
        QTest::newRow("indefinite array") << list("9fff");                                   // [_ ]
        QTest::newRow("array longer than its content") << list("83a0");                      // [{}, ...
        QTest::newRow("null value") << list("81a1616bf6");                                   // [{"k": null}]
        QTest::newRow("integer past 64 bits signed") << list("81a1616b1b8000000000000000");  // 2^63
        QTest::newRow("negative past 64 bits signed") << list("81a1616b3b8000000000000000"); // -2^63 - 1
        QTest::newRow("text not UTF-8") << list("81a1616b62c328");
        QTest::newRow("number key") << list("81a10102");                // [{1: 2}]
        QTest::newRow("duplicate key") << list("81a2616b6161616b6162"); // [{"k": "a", "k": "b"}]
        QTest::newRow("huge declared length") << list("9bffffffffffffffff");
    }

    void refusesAnythingElse() {
        QFETCH(QByteArray, bytes);
        const Expected<StationList> refused = archive::decode(bytes, archive::kStationListClasses);
        QVERIFY(!refused);
        QVERIFY(!refused.error().message.isEmpty());
    }

    void refusesEveryTruncation() {
        const QByteArray valid = archive::archivedDataWithRootObject(
            {stationFromJson(
                 R"({"stationuuid":"u1","name":"Ünïcode","bitrate":128,"geo_long":1.5,"hls":true})"),
             namedStation("u2")});
        QVERIFY(archive::decode(valid, archive::kStationListClasses));
        for (qsizetype n = 0; n < valid.size(); ++n)
            QVERIFY2(!archive::decode(valid.first(n), archive::kStationListClasses),
                     qPrintable(QString::number(n)));
    }

    void allowedClassesAreEnforced() {
        const QByteArray bytes = archive::archivedDataWithRootObject({stationFromJson(R"({"n":1})")});
        using C = archive::ArchiveClass;
        QVERIFY(!archive::decode(bytes, C::Array | C::Dictionary | C::String));
        QVERIFY(archive::decode(bytes, C::Array | C::Dictionary | C::Number));
        QVERIFY(!archive::decode(bytes, C::Dictionary | C::Number));
    }

    void writesReplaceFilesAndReportFailures() {
        QTemporaryDir dir;
        DirectoryFixture fixture;
        RadioBrowser& api = *fixture.api;
        const QUrl url = QUrl::fromLocalFile(dir.filePath("favoriteStations.dat"));
        api.writeStations({namedStation("a"), namedStation("b")}, url);
        api.writeStations({namedStation("c")}, url);
        QCOMPARE(uuids(api.readStationsFromURL(url).value_or(StationList())), QStringList{"c"});
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 QStringList{"favoriteStations.dat"}); // no temporary left

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^writeToURL \\[.+\\]$"));
        api.writeStations({namedStation("a")}, QUrl::fromLocalFile(dir.filePath("no/such/folder/list.dat")));

        // A file of one station: the loaded one.
        const QUrl one = QUrl::fromLocalFile(dir.filePath("loadedStation.dat"));
        api.writeStation(namedStation("x", "Radio X"), one);
        QCOMPARE(api.readStationFromURL(one).string(Station::Key::Name), QStringLiteral("Radio X"));
        api.writeStations({}, one);
        QVERIFY(api.readStationFromURL(one).isNull());
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
            const auto stations = directoryjson::parseStationArray(json + "}]");
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
