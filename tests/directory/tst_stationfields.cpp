#include "directory/RadioBrowser.h"
#include "support/DirectoryFixture.h"
#include "support/StationFixtures.h"

#include <QTest>

using R = RadioBrowser;

class TestStationFields : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tags_data();
    void tags();
    void soundQuality_data();
    void soundQuality();
    void languages_data();
    void languages();
    void iconPath_data();
    void iconPath();
    void truncatedName_data();
    void truncatedName();
    void location_data();
    void location();
    void identity();
    void indexInList();
    void preparingDropsNullsArraysObjects();
};

static QJsonObject withKey(const char* key, const QJsonValue& value) {
    return QJsonObject{{QString::fromLatin1(key), value}};
}

void TestStationFields::tags_data() {
    QTest::addColumn<QJsonValue>("tags");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("pieces trimmed and filtered") << QJsonValue("pop,rock,, 80s ,a,Jazz") << QStringList{"Pop", "Rock", "80s", "Jazz"};
    QTest::newRow("case variants once") << QJsonValue("pop,POP,Pop") << QStringList{"Pop"};
    QTest::newRow("31 kept, 32 dropped") << QJsonValue(QString(31, u'x') + u',' + QString(32, u'y'))
                                         << QStringList{u'X' + QString(30, u'x')};
    QTest::newRow("3 kept, 2 dropped") << QJsonValue("abc,ab") << QStringList{"Abc"};
    QTest::newRow("commas and blanks only") << QJsonValue(" , ,, ") << QStringList{"Variety"};
    QTest::newRow("quotes and dots trimmed") << QJsonValue("\"news.\",_talk_") << QStringList{"News", "Talk"};
    QTest::newRow("empty") << QJsonValue("") << QStringList{"Variety"};
    QTest::newRow("absent") << QJsonValue(QJsonValue::Undefined) << QStringList{"Variety"};
    QTest::newRow("not a text") << QJsonValue(42) << QStringList{"Variety"};
}

void TestStationFields::tags() {
    QFETCH(QJsonValue, tags);
    QFETCH(QStringList, expected);
    const QJsonObject object = tags.isUndefined() ? QJsonObject{} : withKey("tags", tags);
    QStringList got = R::tagsForStation(stationFromJson(object));
    got.sort();
    expected.sort();
    QCOMPARE(got, expected);
}

void TestStationFields::soundQuality_data() {
    QTest::addColumn<QJsonObject>("station");
    QTest::addColumn<QString>("expected");
    QTest::newRow("codec and rate") << QJsonObject{{"codec", "MP3"}, {"bitrate", 128}} << "MP3 - 128 kbps";
    QTest::newRow("rate only") << QJsonObject{{"bitrate", 128}} << "128 kbps";
    QTest::newRow("empty codec") << QJsonObject{{"codec", ""}, {"bitrate", 64}} << "64 kbps";
    QTest::newRow("codec, rate 0") << QJsonObject{{"codec", "MP3"}, {"bitrate", 0}} << "MP3";
    QTest::newRow("neither") << QJsonObject{} << "";
}

void TestStationFields::soundQuality() {
    QFETCH(QJsonObject, station);
    QFETCH(QString, expected);
    const QString got = R::soundQualityForStation(stationFromJson(station));
    QCOMPARE(got, expected);
    QVERIFY(!got.isNull());
}

void TestStationFields::languages_data() {
    QTest::addColumn<QJsonObject>("station");
    QTest::addColumn<QString>("expected");
    QTest::newRow("bare comma") << withKey("language", "english,spanish") << "English, Spanish";
    QTest::newRow("blank after comma stays") << withKey("language", "english, spanish") << "English,  Spanish";
    QTest::newRow("empty") << withKey("language", "") << "--";
    QTest::newRow("absent") << QJsonObject{} << "--";
}

void TestStationFields::languages() {
    QFETCH(QJsonObject, station);
    QFETCH(QString, expected);
    QCOMPARE(R::languageForStation(stationFromJson(station)), expected);
}

void TestStationFields::iconPath_data() {
    QTest::addColumn<QString>("favicon");
    QTest::addColumn<bool>("kept");
    QTest::newRow("https") << "https://a/icon.png" << true;
    QTest::newRow("http") << "http://a/icon.png" << true;
    QTest::newRow("upper-case scheme") << "HTTP://a/icon.png" << false;
    QTest::newRow("relative") << "/icon.png" << false;
    QTest::newRow("empty") << "" << false;
}

void TestStationFields::iconPath() {
    QFETCH(QString, favicon);
    QFETCH(bool, kept);
    const QString got = R::iconPathForStation(stationFromJson(withKey("favicon", favicon)));
    QCOMPARE(got.isNull(), !kept);
    if (kept)
        QCOMPARE(got, favicon);
}

void TestStationFields::truncatedName_data() {
    QTest::addColumn<QJsonObject>("station");
    QTest::addColumn<QString>("expected");
    QTest::newRow("five words") << withKey("name", "Radio One  Classic Rock FM") << "Radio\rOne\rClassic";
    QTest::newRow("one word") << withKey("name", " Jazz ") << "Jazz";
    QTest::newRow("no name") << QJsonObject{} << "";
}

void TestStationFields::truncatedName() {
    QFETCH(QJsonObject, station);
    QFETCH(QString, expected);
    QCOMPARE(R::truncatedNameForStation(stationFromJson(station)), expected);
}

void TestStationFields::location_data() {
    const QString de = QStringLiteral("\U0001F1E9\U0001F1EA");
    QTest::addColumn<QJsonObject>("station");
    QTest::addColumn<QString>("expected");
    QTest::newRow("state and country") << QJsonObject{{"state", "Bavaria"}, {"countrycode", "DE"}} << de + " Bavaria, Germany";
    QTest::newRow("country only") << QJsonObject{{"countrycode", "DE"}} << de + " Germany";
    QTest::newRow("state as number") << QJsonObject{{"state", 7}, {"countrycode", "DE"}} << de + " Germany";
    QTest::newRow("no country code") << QJsonObject{{"state", "Bavaria"}} << "Bavaria";
    QTest::newRow("code of three letters") << QJsonObject{{"state", "Bavaria"}, {"countrycode", "DEU"}} << QString();
    QTest::newRow("unknown code") << QJsonObject{{"countrycode", "QQ"}}
                                  << QStringLiteral("\U0001F1F6\U0001F1F6 QQ");
}

void TestStationFields::location() {
    QFETCH(QJsonObject, station);
    QFETCH(QString, expected);
    const QString got = R::locationForStation(stationFromJson(station));
    QCOMPARE(got, expected);
    QCOMPARE(got.isNull(), expected.isNull());
}

void TestStationFields::identity() {
    const Station a = namedStation("u1", "A");
    QVERIFY(R::stationIsEqualTo(a, namedStation("u1", "other name")));
    QVERIFY(!R::stationIsEqualTo(a, namedStation("U1")));
    QVERIFY(!R::stationIsEqualTo(a, Station()));
    QVERIFY(!R::stationIsEqualTo(Station(), Station()));
    const Station anonymous = stationFromJson(R"({"name":"x"})");
    QVERIFY(!R::stationIsEqualTo(anonymous, stationFromJson(R"({"name":"x"})")));
    QVERIFY(R::stationIsEqualTo(anonymous, anonymous));
}

void TestStationFields::indexInList() {
    DirectoryFixture fixture;
    RadioBrowser& api = *fixture.api;
    const StationList list{namedStation("a"), namedStation("b", "first"), namedStation("b", "second")};
    QCOMPARE(api.indexOfStation(namedStation("b"), list), 1);
    QCOMPARE(api.indexOfStation(namedStation("z"), list), RadioBrowser::kNotFound);
    QCOMPARE(api.indexOfStation(namedStation("a"), {}), RadioBrowser::kNotFound);
    QCOMPARE(api.indexOfStation(stationFromJson(R"({"name":"a"})"), list), RadioBrowser::kNotFound);
}

void TestStationFields::preparingDropsNullsArraysObjects() {
    DirectoryFixture fixture;
    RadioBrowser& api = *fixture.api;
    const Station prepared = api._prepareStationForWriting(stationFromJson(
        R"({"stationuuid":"u","geo_lat":null,"votes":3,"hls":true,"list":[1],"obj":{},"geo_long":1.5})"));
    QCOMPARE(prepared.keys(), (QStringList{"geo_long", "hls", "stationuuid", "votes"}));
    QVERIFY(prepared.value("hls").isNumber());
}

QTEST_GUILESS_MAIN(TestStationFields)
#include "tst_stationfields.moc"
