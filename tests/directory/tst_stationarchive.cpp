#include "directory/RadioBrowser.h"
#include "directory/StationArchive.h"
#include "support/DirectoryFixture.h"

#include <QtTest>
#include <functional>

using Writer = std::function<void(QCborStreamWriter&)>;

// Bytes with the list's two tags in front and whatever `body` writes after them.
static QByteArray tagged(const Writer& body) {
    QByteArray bytes;
    QCborStreamWriter w(&bytes);
    w.append(QCborTag(archive::kSelfDescribeTag));
    w.append(QCborTag(archive::kStationListTag));
    body(w);
    return bytes;
}

// A one-station list whose single map holds key "k" with the value `value` writes.
static QByteArray oneValue(const Writer& value) {
    return tagged([&](QCborStreamWriter& w) {
        w.startArray(1);
        w.startMap(1);
        w.append(QLatin1String("k"));
        value(w);
        w.endMap();
        w.endArray();
    });
}

class TestStationArchive : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refusesAnythingElse_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray valid = archive::archivedDataWithRootObject({namedStation("u")});
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no tags") << QByteArray::fromHex("81a0"); // [{}]
        QTest::newRow("other format tag") << QByteArray(valid).replace(5, 1, "\x02");
        QTest::newRow("trailing byte") << valid + '\0';
        QTest::newRow("root is a map") << tagged([](QCborStreamWriter& w) { w.startMap(0); w.endMap(); });
        QTest::newRow("element is a text") << tagged([](QCborStreamWriter& w) { w.startArray(1); w.append(QLatin1String("x")); w.endArray(); });
        QTest::newRow("indefinite array") << tagged([](QCborStreamWriter& w) { w.startArray(); w.endArray(); });
        QTest::newRow("array longer than its content") << tagged([](QCborStreamWriter& w) { w.startArray(3); w.startMap(0); w.endMap(); w.endArray(); });
        QTest::newRow("null value") << oneValue([](QCborStreamWriter& w) { w.append(nullptr); });
        QTest::newRow("integer past 64 bits signed") << oneValue([](QCborStreamWriter& w) { w.append(quint64(1) << 63); });
        QTest::newRow("negative past 64 bits signed") << oneValue([](QCborStreamWriter& w) { w.append(QCborNegativeInteger(quint64(1) << 63 | 1)); });
        QTest::newRow("text not UTF-8") << oneValue([](QCborStreamWriter& w) { w.appendTextString("\xC3\x28", 2); });
        QTest::newRow("number key") << tagged([](QCborStreamWriter& w) { w.startArray(1); w.startMap(1); w.append(1); w.append(2); w.endMap(); w.endArray(); });
        QTest::newRow("duplicate key") << tagged([](QCborStreamWriter& w) {
            w.startArray(1); w.startMap(2);
            w.append(QLatin1String("name")); w.append(QLatin1String("a"));
            w.append(QLatin1String("name")); w.append(QLatin1String("b"));
            w.endMap(); w.endArray(); });
        QTest::newRow("huge declared length") << QByteArray::fromHex("d9d9f7da4f5354019bffffffffffffffff");
    }

    void refusesAnythingElse() {
        QFETCH(QByteArray, bytes);
        QString error;
        QVERIFY(!archive::decode(bytes, archive::kStationListClasses, &error));
        QVERIFY(!error.isEmpty());
    }

    void refusesEveryTruncation() {
        const QByteArray valid = archive::archivedDataWithRootObject(
            {stationFromJson(R"({"stationuuid":"u1","name":"Ünïcode","bitrate":128,"geo_long":1.5,"hls":true})"),
             namedStation("u2")});
        QVERIFY(archive::decode(valid, archive::kStationListClasses));
        for (qsizetype n = 0; n < valid.size(); ++n)
            QVERIFY2(!archive::decode(valid.first(n), archive::kStationListClasses), qPrintable(QString::number(n)));
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
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"favoriteStations.dat"}); // no temporary left

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^writeToURL \\[.+\\]$"));
        api.writeStations({namedStation("a")}, QUrl::fromLocalFile(dir.filePath("no/such/folder/list.dat")));

        // A file of one station: the loaded one.
        const QUrl one = QUrl::fromLocalFile(dir.filePath("loadedStation.dat"));
        api.writeStation(namedStation("x", "Radio X"), one);
        QCOMPARE(api.readStationFromURL(one).string(Station::Key::Name), QStringLiteral("Radio X"));
        api.writeStations({}, one);
        QVERIFY(api.readStationFromURL(one).isNull());
    }
};

QTEST_GUILESS_MAIN(TestStationArchive)
#include "tst_stationarchive.moc"
