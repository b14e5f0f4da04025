#include "directory/RadioBrowser.h"
#include "support/DirectoryFixture.h"

#include <QTest>

using R = RadioBrowser;

class TestStationFields : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The texts shown of a station, from the directory's fields.
    void shownTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QJsonObject>("station");
        QTest::addColumn<QString>("expected"); // tags sorted and joined by commas
        const auto tags = [](const QJsonValue& value) { return QJsonObject{{"tags", value}}; };
        QTest::newRow("tags: pieces trimmed and filtered") << "tags" << tags("pop,rock,, 80s ,a,Jazz") << "80s,Jazz,Pop,Rock";
        QTest::newRow("tags: case variants once") << "tags" << tags("pop,POP,Pop") << "Pop";
        QTest::newRow("tags: 31 kept, 32 dropped") << "tags" << tags(QString(31, u'x') + u',' + QString(32, u'y'))
                                                   << u'X' + QString(30, u'x');
        QTest::newRow("tags: 3 kept, 2 dropped") << "tags" << tags("abc,ab") << "Abc";
        QTest::newRow("tags: commas and blanks only") << "tags" << tags(" , ,, ") << "Variety";
        QTest::newRow("tags: quotes and dots trimmed") << "tags" << tags("\"news.\",_talk_") << "News,Talk";
        QTest::newRow("tags: not a text") << "tags" << tags(42) << "Variety";
        QTest::newRow("quality: codec and rate")
            << "quality" << QJsonObject{{"codec", "MP3"}, {"bitrate", 128}} << "MP3 - 128 kbps";
        QTest::newRow("quality: empty codec") << "quality" << QJsonObject{{"codec", ""}, {"bitrate", 64}} << "64 kbps";
        QTest::newRow("quality: codec, rate 0") << "quality" << QJsonObject{{"codec", "MP3"}, {"bitrate", 0}} << "MP3";
        QTest::newRow("quality: neither") << "quality" << QJsonObject{} << "";
        QTest::newRow("language: bare comma") << "language" << QJsonObject{{"language", "english,spanish"}} << "English, Spanish";
        QTest::newRow("language: blank after comma stays") << "language" << QJsonObject{{"language", "english, spanish"}}
                                                           << "English,  Spanish";
        QTest::newRow("language: empty") << "language" << QJsonObject{{"language", ""}} << "--";
        QTest::newRow("icon: https") << "icon" << QJsonObject{{"favicon", "https://a/icon.png"}}
                                     << "https://a/icon.png";
        QTest::newRow("icon: upper-case scheme") << "icon" << QJsonObject{{"favicon", "HTTP://a/icon.png"}} << QString();
        QTest::newRow("icon: relative") << "icon" << QJsonObject{{"favicon", "/icon.png"}} << QString();
        QTest::newRow("name: five words") << "name" << QJsonObject{{"name", "Radio One  Classic Rock FM"}} << "Radio\rOne\rClassic";
        QTest::newRow("name: one word") << "name" << QJsonObject{{"name", " Jazz "}} << "Jazz";
        QTest::newRow("name: none") << "name" << QJsonObject{} << "";
        const QString de = QStringLiteral("\U0001F1E9\U0001F1EA");
        QTest::newRow("location: state and country") << "location" << QJsonObject{{"state", "Bavaria"}, {"countrycode", "DE"}}
                                                     << de + " Bavaria, Germany";
        QTest::newRow("location: country only") << "location" << QJsonObject{{"countrycode", "DE"}} << de + " Germany";
        QTest::newRow("location: state as number") << "location" << QJsonObject{{"state", 7}, {"countrycode", "DE"}}
                                                   << de + " Germany";
        QTest::newRow("location: no country code") << "location" << QJsonObject{{"state", "Bavaria"}} << "Bavaria";
        QTest::newRow("location: code of three letters") << "location"
                                                         << QJsonObject{{"state", "Bavaria"}, {"countrycode", "DEU"}} << QString();
        QTest::newRow("location: unknown code") << "location" << QJsonObject{{"countrycode", "QQ"}}
                                                << QStringLiteral("\U0001F1F6\U0001F1F6 QQ");
    }

    void shownTexts() {
        QFETCH(QString, text);
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

    void identity() {
        const Station a = namedStation("u1", "A");
        QVERIFY(R::stationIsEqualTo(a, namedStation("u1", "other name")));
        QVERIFY(!R::stationIsEqualTo(a, namedStation("U1")));
        QVERIFY(!R::stationIsEqualTo(Station(), Station()));
        const Station anonymous = stationFromJson(R"({"name":"x"})");
        QVERIFY(!R::stationIsEqualTo(anonymous, stationFromJson(R"({"name":"x"})")));
        QVERIFY(R::stationIsEqualTo(anonymous, anonymous));
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
};

QTEST_GUILESS_MAIN(TestStationFields)
#include "tst_stationfields.moc"
