#include "directory/DirectoryJson.h"
#include "support/DirectoryFixture.h"
#include "support/LogCapture.h"

#include <QtTest>

namespace {
constexpr int kWait = 20000;
} // namespace

class TestDirectoryClient : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { f_ = emulator_.freshFixture(); }

    void stationsAreValidatedAndDeduplicated() {
        StationsOutcome out;
        f_->api->requestStationsForCountryCode(QStringLiteral("DE"), true, out.completion());
        QTRY_COMPARE_WITH_TIMEOUT(out.calls, 1, kWait);
        QVERIFY2(out.error.isNull(), qPrintable(out.error));
        const QStringList got = names(*out.stations);
        QCOMPARE(got.size(), 312); // the emulator's 319 working stations less 4 invalid and 3 repeats
        QCOMPARE(got.count(QStringLiteral("Radio One")), 1);   // quotes, full stop, blanks trimmed; repeat dropped
        QCOMPARE(got.count(QStringLiteral("Klassik Welle")), 3); // 128, 64, 128: each against the last kept
        QCOMPARE(got.count(QStringLiteral("Jazz Lounge")), 1);
        QCOMPARE(got.count(QStringLiteral("ROCK ANTENNE")), 1); // case matters
        QCOMPARE(got.count(QStringLiteral("Café Noir")), 1);
        QCOMPARE(got.count(QString()), 1);                     // only trim characters: kept, empty
        QVERIFY(got.contains(QStringLiteral("Talk Radio Zero")));
        QVERIFY(got.contains(QStringLiteral("Bitrate als Text")));
        QVERIFY(!got.contains(QStringLiteral("Leere Adresse")));
        QVERIFY(!got.contains(QStringLiteral("Ohne Bitrate")));
        for (const Station& s : *out.stations)
            QVERIFY(!s.utf8(Station::Key::Url).empty());
        // The request asked for working stations only, with our name on it.
        const QJsonObject request = emulator_.lastRequest();
        QCOMPARE(request.value("path").toString(), QStringLiteral("/json/stations/bycountrycodeexact/DE"));
        QVERIFY(request.value("raw_query").toString().contains(QStringLiteral("hidebroken=true")));
        QVERIFY(QJsonDocument(request.value("headers").toObject()).toJson().contains("Ostrel Radio/"));
    }

    // A country's listing file answers later requests, also after a restart, until a refresh;
    // an empty one or a failed refresh does not count.
    void listingFileAnswersUntilRefreshed() {
        const QUrl listing = f_->api->listingURLForCountryCode(QStringLiteral("AT"));
        f_->api->writeStations({}, listing);
        StationsOutcome first;
        f_->api->requestStationsForCountryCode(QStringLiteral("AT"), false, first.completion());
        QTRY_COMPARE_WITH_TIMEOUT(first.calls, 1, kWait);
        QVERIFY(!first.stations->isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(uuids(f_->api->readStationsFromURL(listing).value_or(StationList())),
                                  uuids(*first.stations), kWait);
        QFile file(listing.toLocalFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        f_->launch(emulator_.baseUrl());            // a new start: no help from memory
        emulator_.setMode(R"({"mode":"http500"})"); // the network would fail now
        StationsOutcome second;
        f_->api->requestStationsForCountryCode(QStringLiteral("AT"), false, second.completion());
        QTRY_COMPARE_WITH_TIMEOUT(second.calls, 1, kWait);
        QVERIFY(second.error.isNull());
        QCOMPARE(names(*second.stations), names(*first.stations));
        QCOMPARE(emulator_.requestCount(QStringLiteral("/json/stations")), 1);

        StationsOutcome failed; // refresh: the network again, not the cache nor the listing
        f_->api->requestStationsForCountryCode(QStringLiteral("AT"), true, failed.completion());
        QTRY_COMPARE_WITH_TIMEOUT(failed.calls, 1, kWait);
        QCOMPARE(emulator_.requestCount(QStringLiteral("/json/stations")), 2);
        QVERIFY(!failed.stations);
        QVERIFY(failed.error.contains(QStringLiteral("500")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void failuresGiveReadableErrors_data() {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QString>("errorPart");
        QTest::newRow("slow server") << QByteArray(R"({"mode":"delay","seconds":5})") << "did not answer within 1 seconds";
        QTest::newRow("HTTP 500 with HTML") << QByteArray(R"({"mode":"http500"})") << "HTTP 500";
        QTest::newRow("truncated JSON") << QByteArray(R"({"mode":"truncated"})") << "not valid JSON";
        QTest::newRow("object instead of array") << QByteArray(R"({"mode":"object"})") << "not a list of stations";
        QTest::newRow("endless body") << QByteArray(R"({"mode":"endless","interval":0,"chunk_size":65536})") << "larger than 1 MiB";
        QTest::newRow("HTML page") << QByteArray(R"({"mode":"html"})") << "not valid JSON";
        QTest::newRow("not found") << QByteArray(R"({"mode":"notfound"})") << "HTTP 404";
    }

    void failuresGiveReadableErrors() {
        QFETCH(QByteArray, mode);
        QFETCH(QString, errorPart);
        HttpFetcher::Limits limits;
        // Short only where the silence is the point: elsewhere a loaded machine must not turn the
        // expected error into a timeout.
        limits.idleTimeoutMs = mode.contains("delay") ? 1000 : 20000;
        limits.maxBodyBytes = 1024 * 1024;
        f_->http->setLimits(limits);
        emulator_.setMode(mode);
        StationsOutcome out;
        f_->api->requestStationsForCountryCode(QStringLiteral("JP"), true, out.completion());
        QTRY_COMPARE_WITH_TIMEOUT(out.calls, 1, kWait);
        emulator_.reset(); // a round trip through the event loop: room for a second, wrong call
        QCOMPARE(out.calls, 1);
        QVERIFY(!out.stations);
        QVERIFY2(out.error.contains(errorPart), qPrintable(out.error));
        QVERIFY(!QFile::exists(f_->supportFile(QStringLiteral("Listings/JP.dat"))));
    }

    void hostileCountryCodesNameNoFile_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("path");
        QTest::newRow("parent folder") << "../../x" << "/json/stations/bycountrycodeexact/..%2F..%2Fx";
        QTest::newRow("slash") << "D/E" << "/json/stations/bycountrycodeexact/D%2FE";
        QTest::newRow("empty") << "" << "/json/stations/bycountrycodeexact/";
        QTest::newRow("query characters") << "DE?x=1#y" << "/json/stations/bycountrycodeexact/DE%3Fx%3D1%23y";
    }

    void hostileCountryCodesNameNoFile() {
        QFETCH(QString, code);
        QFETCH(QString, path);
        QVERIFY(f_->api->listingURLForCountryCode(code).isEmpty());
        StationsOutcome out;
        f_->api->requestStationsForCountryCode(code, false, out.completion());
        QTRY_COMPARE_WITH_TIMEOUT(out.calls, 1, kWait);
        QCOMPARE(emulator_.lastRequest().value("path").toString(), path);
        f_->api->waitForSaves();
        QCOMPARE(QDir(f_->supportFile(QStringLiteral("Listings"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(QDir(f_->dir.path()).entryList(QDir::Files), QStringList{"settings.ini"});
    }

    void cacheServesRepeatedRequests() {
        for (int i = 0; i < 2; ++i) {
            int calls = 0;
            f_->api->requestCountries([&](std::optional<QJsonArray> countries, QString error) {
                ++calls;
                QVERIFY(error.isNull());
                QVERIFY(countries && countries->size() > 5);
            });
            QTRY_COMPARE_WITH_TIMEOUT(calls, 1, kWait);
        }
        QCOMPARE(emulator_.requestCount(QStringLiteral("/json/countries")), 1);

        emulator_.setMode(R"({"mode":"http500","count":1})"); // error replies are not stored
        int calls = 0;
        QString error;
        f_->api->requestServers([&](QStringList, QString e) { ++calls; error = e; });
        QTRY_COMPARE_WITH_TIMEOUT(calls, 1, kWait);
        QVERIFY(!error.isNull());
        QStringList servers;
        f_->api->requestServers([&](QStringList s, QString e) {
            ++calls;
            error = e;
            servers = s;
        });
        QTRY_COMPARE_WITH_TIMEOUT(calls, 2, kWait);
        QVERIFY(error.isNull());
        QVERIFY(!servers.isEmpty());
        QCOMPARE(QSet<QString>(servers.begin(), servers.end()).size(), servers.size()); // each once
    }

    void clicksAlwaysReachTheServer() {
        LogCapture log({"ostrel.directory"});
        f_->api->incrementClickForStationWithUID(QStringLiteral("some-uuid"));
        // The reply repeats the id: a long one must not make a long log line.
        f_->api->incrementClickForStationWithUID(QString(5000, u'x'));
        f_->api->incrementClickForStationWithUID(QString()); // nothing at all
        QTRY_COMPARE_WITH_TIMEOUT(log.count(QStringLiteral("Response for increment request : {")), 2, kWait);
        QCOMPARE(emulator_.requestCount(QStringLiteral("/json/url/")), 2);
        for (const QString& line : log.lines())
            QVERIFY2(line.size() <= 400, qPrintable(line.left(100)));

        emulator_.setMode(R"({"mode":"notfound"})");
        f_->api->incrementClickForStationWithUID(QStringLiteral("a/b"));
        QTRY_COMPARE_WITH_TIMEOUT(log.count(QStringLiteral("Failed to increment request : ")), 1, kWait);
        QVERIFY(log.lines().last().contains(QStringLiteral("404")));
        QCOMPARE(emulator_.requestCount(QStringLiteral("/json/url/a%2Fb")), 1);
    }

    void discoveredServerNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("kept");
        QTest::newRow("host name") << "de1.api.radio-browser.info" << true;
        QTest::newRow("https base") << "https://de1.api.radio-browser.info" << true;
        QTest::newRow("http base with a port") << "http://127.0.0.1:8080" << true;
        QTest::newRow("local file") << "file:///etc" << false;
        QTest::newRow("path in a host name") << "evil.example/../x" << false;
        QTest::newRow("user in the address") << "https://user:pw@evil.example" << false;
        QTest::newRow("blank") << " " << false;
    }

    void discoveredServerNames() {
        QFETCH(QString, name);
        QFETCH(bool, kept);
        const QByteArray reply = QJsonDocument(QJsonArray{QJsonObject{{"name", name}}}).toJson();
        QCOMPARE(directoryjson::parseServerNames(reply, nullptr).value_or(QStringList()).size(), kept ? 1 : 0);
    }

    void firstStartStoresTheDefaultServer() {
        DirectoryFixture fresh;
        QCOMPARE(fresh.api->server(), RadioBrowser::kDefaultServer);
        QCOMPARE(fresh.defaults->string(QStringLiteral("radioServer")), RadioBrowser::kDefaultServer);
        // A server given for one run is used but not stored.
        fresh.launch(QStringLiteral("http://127.0.0.1:1"));
        QCOMPARE(fresh.api->server(), QStringLiteral("http://127.0.0.1:1"));
        QCOMPARE(fresh.defaults->string(QStringLiteral("radioServer")), RadioBrowser::kDefaultServer);
    }

private:
    DirectoryEmulator emulator_;
    std::unique_ptr<DirectoryFixture> f_;
};

QTEST_GUILESS_MAIN(TestDirectoryClient)
#include "tst_directoryclient.moc"
