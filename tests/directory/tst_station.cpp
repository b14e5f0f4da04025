#include "support/StationFixtures.h"

#include <QTest>

class TestStation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keepsEveryValueType();
    void integerReadings_data();
    void integerReadings();
    void equalityIgnoresKeyOrderAndNumberKind();
    void builderReplacesInPlace();
    void manyKeysStillFindHotOnes();
};

void TestStation::keepsEveryValueType() {
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
    QCOMPARE(s.keys(), (QStringList{"big", "bitrate", "geo_lat", "geo_long", "hls", "list", "name", "obj"}));
    QVERIFY(s.string(Station::Key::Bitrate).isNull()); // a number is no text
}

void TestStation::integerReadings_data() {
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

void TestStation::integerReadings() {
    QFETCH(QByteArray, json);
    QFETCH(qint64, expected);
    QCOMPARE(stationFromJson(json.constData()).value("v").toInteger(), expected);
}

void TestStation::equalityIgnoresKeyOrderAndNumberKind() {
    Station::Builder a;
    a.setString(std::string_view("name"), std::string_view("X")).setInteger(std::string_view("votes"), 3);
    Station::Builder b;
    b.setDouble(std::string_view("votes"), 3.0).setString(std::string_view("name"), std::string_view("X"));
    QVERIFY(a.build() == b.build());
    b.setString(std::string_view("extra"), std::string_view(""));
    QVERIFY(!(a.build() == b.build()));
    QVERIFY(!(Station() == a.build()));
}

void TestStation::builderReplacesInPlace() {
    const Station original = stationFromJson(R"({"stationuuid":"u","name":" A ","url":"x"})");
    Station::Builder copy(original);
    copy.setString(std::string_view("name"), std::string_view("A"));
    const Station changed = copy.build();
    QCOMPARE(changed.keys(), original.keys());
    QCOMPARE(changed.string(Station::Key::Name), QStringLiteral("A"));
    QCOMPARE(original.string(Station::Key::Name), QStringLiteral(" A "));
}

void TestStation::manyKeysStillFindHotOnes() {
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

QTEST_GUILESS_MAIN(TestStation)
#include "tst_station.moc"
