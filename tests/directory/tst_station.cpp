#include "support/DirectoryFixture.h"

#include "directory/DirectoryJson.h"
#include "directory/StationArchive.h"
#include "directory/StationValidation.h"

#include <QTest>

class TestStation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keepsEveryValueType() {
        const Station s = stationFromJson(R"({"name":"Radio ✓","bitrate":128,"geo_lat":null,"hls":false,
            "geo_long":12.5,"list":[1,"a"],"obj":{"k":2},"big":9007199254740993})");
        QCOMPARE(s.string(Station::Key::Name), QStringLiteral("Radio ✓"));
        QCOMPARE(s.value(Station::Key::Bitrate).toInteger(), 128);
        QVERIFY(s.value("geo_lat").isNull());
        QVERIFY(s.value("hls").isNumber());
        QCOMPARE(s.value("geo_long").toDouble(), 12.5);
        QCOMPARE(s.value("list").type(), StationValue::Type::Array);
        QCOMPARE(s.value("list").toVariant().toList().size(), 2);
        QCOMPARE(s.value("obj").toVariant().toMap().value("k").toInt(), 2);
        QVERIFY(s.value("missing").isAbsent());
        QCOMPARE(s.keys(), (QStringList{"name", "bitrate", "geo_lat", "hls", "geo_long", "list", "obj", "big"})); // as sent
        QVERIFY(s.string(Station::Key::Bitrate).isNull()); // a number is no text
    }

    void integerReadings_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("integer") << QByteArray(R"({"v":-7})") << qint64(-7);
        QTest::newRow("large integer") << QByteArray(R"({"v":5000000000})") << qint64(5000000000);
        QTest::newRow("floating") << QByteArray(R"({"v":128.9})") << qint64(128);
        QTest::newRow("boolean") << QByteArray(R"({"v":true})") << qint64(1);
        QTest::newRow("text with leading digits") << QByteArray(R"({"v":" 128k"})") << qint64(128);
        QTest::newRow("text without digits") << QByteArray(R"({"v":"abc"})") << qint64(0);
        QTest::newRow("null") << QByteArray(R"({"v":null})") << qint64(0);
        QTest::newRow("absent") << QByteArray(R"({})") << qint64(0);
    }

    void integerReadings() {
        QFETCH(QByteArray, json);
        QFETCH(qint64, expected);
        QCOMPARE(stationFromJson(json.constData()).value("v").toInteger(), expected);
    }

    void onlyWebStreamAddressesPass_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("kept");
        QTest::newRow("http") << "http://stream.example/live" << true;
        QTest::newRow("https, upper case scheme") << "HTTPS://stream.example:8443/a.aac" << true;
        QTest::newRow("local file") << "file:///etc/passwd" << false;
        QTest::newRow("descriptor") << "fd://0" << false;
        QTest::newRow("udp") << "udp://239.0.0.1:5000" << false;
        QTest::newRow("network share") << "smb://nas/share/a.mp3" << false;
        QTest::newRow("capture device") << "v4l2:///dev/video0" << false;
        QTest::newRow("GIO scheme") << "trash:///" << false;
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
        b.setDouble(std::string_view("votes"), 3.0).setString(std::string_view("name"), std::string_view("X"));
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

    // last: it fills the process-wide key table
    void hostileKeysStayBounded() {
        const QByteArray list = archive::archivedDataWithRootObject({stationFromJson(QJsonObject{{"name", "Kept"}, {"url", "http://a.example/"}})});
        // Replies whose objects each bring 200 keys never seen, half of them too long to keep.
        for (int reply = 0; reply < 100; ++reply) {
            QByteArray json = R"([{"name":"R")";
            for (int i = 0; i < 200; ++i)
                json += ",\"k" + QByteArray::number(reply) + '_' + QByteArray::number(i) + QByteArray(i % 2 ? 70 : 0, 'x') + "\":1";
            const auto stations = directoryjson::parseStationArray(json + "}]", nullptr);
            QVERIFY(stations && stations->size() == 1);
            QCOMPARE(stations->first().string(Station::Key::Name), QStringLiteral("R"));
            QVERIFY(stations->first().size() <= 1 + int(stationkeys::kMaxNewKeysPerObject));
        }
        QVERIFY(!stationkeys::intern("a-key-nobody-has-seen-before")); // the table is full ...
        const auto read = archive::decode(list, archive::kStationListClasses); // ... and lists still read
        QVERIFY(read && read->size() == 1);
        QCOMPARE(read->first().string(Station::Key::Url), QStringLiteral("http://a.example/"));
    }
};

QTEST_GUILESS_MAIN(TestStation)
#include "tst_station.moc"
