// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/DirectoryJson.h"
#include "directory/ListRefresher.h"
#include "directory/ListingRefresher.h"
#include "directory/ServerDiscovery.h"
#include "support/DirectoryFixture.h"
#include "support/LogCapture.h"

#include <QtTest>

Q_DECLARE_METATYPE(StationSearch)

static constexpr int kWait = 20000;

// The directory's client against its emulator: station lists, searches, errors, turning to
// another server when one fails, clicks, votes, and keeping the favourites in step.

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
        // Quotes, full stops and blanks are trimmed before repeats are dropped; "Klassik Welle" comes at
        // 128, 64 and 128 kbps, each compared with the last one kept; case matters; a name of trim
        // characters only is kept, empty; no address or no bitrate is dropped.
        QList<qsizetype> counts;
        for (const char* name : {"Radio One", "Klassik Welle", "Jazz Lounge", "ROCK ANTENNE", "Café Noir", "",
                                 "Talk Radio Zero", "Bitrate als Text", "Leere Adresse", "Ohne Bitrate"})
            counts.append(got.count(QString::fromUtf8(name)));
        QCOMPARE(counts, (QList<qsizetype>{1, 3, 1, 1, 1, 1, 1, 1, 0, 0}));
        // The request asked for working stations only, with our name on it.
        const QJsonObject request = emulator_.lastRequest();
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
        QCOMPARE(uuids(f_->api->readStationsFromURL(listing).value_or(StationList())),
                 uuids(*first.stations));
    }

    void failuresGiveReadableErrors_data() {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QString>("errorPart");
        QTest::newRow("slow server") << QByteArray(R"({"mode":"delay","seconds":5})") << "within 1 seconds";
        QTest::newRow("HTTP 500 with HTML") << QByteArray(R"({"mode":"http500"})") << "HTTP 500";
        QTest::newRow("truncated JSON") << QByteArray(R"({"mode":"truncated"})") << "not valid JSON";
        QTest::newRow("an object") << QByteArray(R"({"mode":"object"})") << "not a list of stations";
        QTest::newRow("endless body")
            << QByteArray(R"({"mode":"endless","interval":0,"chunk_size":65536})") << "larger than 1 MiB";
    }

    void failuresGiveReadableErrors() {
        QFETCH(QByteArray, mode);
        QFETCH(QString, errorPart);
        // A short silence only where it is the point: elsewhere a loaded machine must not turn the
        // expected error into a timeout.
        f_->http->setLimits(
            {.maxBodyBytes = 1024 * 1024, .idleTimeoutMs = mode.contains("delay") ? 1000 : 20000});
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
        const QString exact = QStringLiteral("/json/stations/bycountrycodeexact/");
        QTest::newRow("parent folder") << "../../x" << exact + "..%2F..%2Fx";
        QTest::newRow("empty") << "" << exact;
        QTest::newRow("query characters") << "DE?x=1#y" << exact + "DE%3Fx%3D1%23y";
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
        QVERIFY(QDir(f_->supportFile(QStringLiteral("Listings"))).isEmpty());
        QCOMPARE(QDir(f_->dir.path()).entryList(QDir::Files), QStringList{"settings.ini"});
    }

    // The server and country lists answer from the cache for a day, then ask again; while the
    // network is down an older copy still serves. Error replies are never stored.
    void listsAreFetchedAgainAfterADay_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("countries") << "/json/countries";
        QTest::newRow("servers") << "/json/servers";
    }

    void listsAreFetchedAgainAfterADay() {
        QFETCH(QString, path);
        QDateTime now = QDateTime::currentDateTimeUtc();
        f_->http->setClock([&now] { return now; });
        auto ask = [&] { return path == QLatin1String("/json/servers") ? serversError() : countriesError(); };
        emulator_.setMode(QByteArray(R"({"mode":"http500","count":1,"path_prefix":")") + path.toUtf8() + "\"}");
        QVERIFY(!ask().isNull());
        for (const auto& [hoursLater, reached] : {std::pair{0, 2}, {23, 2}, {2, 3}}) {
            now = now.addSecs(hoursLater * 3600);
            QCOMPARE(ask(), QString());
            QCOMPARE(emulator_.requestCount(path), reached);
        }
        if (path == QLatin1String("/json/countries")) // in the directory's order of names
            QCOMPARE(emulator_.lastRequest(path).value("raw_query").toString(), QStringLiteral("order=name"));
        now = now.addDays(2);
        emulator_.setMode(R"({"mode":"disconnect"})"); // the network retries a closed connection once
        QCOMPARE(ask(), QString());
        QVERIFY(emulator_.requestCount(path) > 3);
    }

    // A listing file is old after twelve hours, and one written by a clock set ahead is old too.
    void listingAge_data() {
        QTest::addColumn<int>("ageMinutes"); // at the time asked; none: no file
        QTest::addColumn<bool>("stale");
        QTest::newRow("no file") << -1 << false;
        QTest::newRow("just written") << 0 << false;
        QTest::newRow("almost twelve hours") << 12 * 60 - 1 << false;
        QTest::newRow("just over twelve hours") << 12 * 60 + 1 << true;
        QTest::newRow("two days") << 2 * 24 * 60 << true;
        QTest::newRow("from the future") << -60 << true;
    }

    void listingAge() {
        QFETCH(int, ageMinutes);
        QFETCH(bool, stale);
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const ListingRefresher listings(f_->api.get(), [now] { return now; });
        const QUrl listing = f_->api->listingURLForCountryCode(QStringLiteral("AT"));
        if (ageMinutes != -1) {
            f_->api->writeStations(namedStations({"a"}), listing);
            QFile file(listing.toLocalFile());
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(now.addSecs(-ageMinutes * 60), QFileDevice::FileModificationTime));
        }
        QCOMPARE(listings.isStale(QStringLiteral("AT")), stale);
    }

    // The directory's own host is looked up in DNS first; the list it serves is the fall-back,
    // and the only way for any other discovery host.
    void serversFromDnsFirst_data() {
        QTest::addColumn<QString>("discovery");
        QTest::addColumn<QStringList>("records"); // target:port:priority:weight
        QTest::addColumn<QStringList>("servers"); // "listed": the discovery host's list
        QTest::addColumn<bool>("asked");          // DNS was asked
        const QString host = serverdiscovery::kDefaultHost;
        QTest::newRow("priority, then weight; each once")
            << host
            << QStringList{"de2.api.radio-browser.info.:443:10:5", "DE1.api.radio-browser.info.:443:10:50",
                           "fi1.api.radio-browser.info.:443:20:100", "nl1.api.radio-browser.info.:8443:5:0",
                           "de1.api.radio-browser.info.:443:10:50", "evil.example/x:443:1:1"}
            << QStringList{"https://nl1.api.radio-browser.info:8443", "de1.api.radio-browser.info",
                           "de2.api.radio-browser.info", "fi1.api.radio-browser.info"}
            << true;
        QTest::newRow("DNS fails") << host << QStringList() << QStringList{"listed"} << true;
        QTest::newRow("no such service") << host << QStringList{".:0:0:0"} << QStringList{"listed"} << true;
        QTest::newRow("an address") << QStringLiteral("http://127.0.0.1:8080") << QStringList{"a.example.:443:0:0"}
                                    << QStringList{"listed"} << false;
        QTest::newRow("another host") << QStringLiteral("mirror.example") << QStringList{"a.example.:443:0:0"}
                                      << QStringList{"listed"} << false;
    }

    void serversFromDnsFirst() {
        QFETCH(QString, discovery);
        QFETCH(QStringList, records);
        QFETCH(QStringList, servers);
        QFETCH(bool, asked);
        QObject context;
        QStringList askedNames;
        const serverdiscovery::SrvLookup lookup = [&](const QString& name, QObject* ctx, serverdiscovery::SrvCompletion done) {
            askedNames.append(name);
            QList<serverdiscovery::SrvRecord> answer;
            for (const QString& r : records)
                answer.append({r.section(u':', 0, 0), quint16(r.section(u':', 1, 1).toUInt()),
                               quint16(r.section(u':', 2, 2).toUInt()), quint16(r.section(u':', 3, 3).toUInt())});
            QMetaObject::invokeMethod(ctx, [done, answer] { done(answer, answer.isEmpty() ? "Server failure" : ""); },
                                      Qt::QueuedConnection);
        };
        std::optional<QStringList> got;
        serverdiscovery::discover(
            discovery, lookup, &context,
            [](serverdiscovery::ServersCompletion done) { done({QStringLiteral("listed")}, QString()); },
            [&](QStringList s, QString) { got = s; });
        QTRY_VERIFY(got);
        QCOMPARE(*got, servers);
        QCOMPARE(askedNames, asked ? QStringList{"_api._tcp.radio-browser.info"} : QStringList());
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
        QTest::newRow("local file") << "file:///etc" << false;
        QTest::newRow("path in a host name") << "evil.example/../x" << false;
        QTest::newRow("user in the address") << "https://user:pw@evil.example" << false;
        QTest::newRow("blank") << " " << false;
    }

    void discoveredServerNames() {
        QFETCH(QString, name);
        QFETCH(bool, kept);
        const QByteArray reply = QJsonDocument(QJsonArray{QJsonObject{{"name", name}}}).toJson();
        QCOMPARE(directoryjson::parseServerNames(reply).valueOr({}).size(),
                 kept ? 1 : 0);
    }

    void searchSendsEveryFacet_data() {
        QTest::addColumn<StationSearch>("query");
        QTest::addColumn<QString>("sent");
        QTest::newRow("name") << StationSearch{.name = QStringLiteral(" welle ")} << "name=welle";
        QTest::newRow("several tags")
            << StationSearch{.tags = {QStringLiteral("jazz"), QStringLiteral(" "), QStringLiteral("pop")}}
            << "tagList=jazz,pop";
        const StationSearch everything{.language = QStringLiteral("german"),
                                       .countryCode = QStringLiteral("de"),
                                       .codec = QStringLiteral("MP3"),
                                       .minBitrate = 128,
                                       .httpsOnly = true};
        QTest::newRow("every facet")
            << everything << "language=german&countrycode=DE&codec=MP3&bitrateMin=128&is_https=true";
    }

    void searchSendsEveryFacet() {
        QFETCH(StationSearch, query);
        QFETCH(QString, sent);
        QVERIFY(!search(query).isEmpty());
        const QString raw = lastSearchQuery();
        QVERIFY2(raw.startsWith(sent + QStringLiteral("&hidebroken=true&")), qPrintable(raw));
        QVERIFY2(raw.endsWith(QStringLiteral("&offset=0&limit=500")), qPrintable(raw));
    }

    void failingServerIsReplacedForTheRun_data() {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<bool>("deadFirst"); // the first server refuses connections
        QTest::addColumn<bool>("replaced");
        QTest::newRow("refused") << QByteArray() << true << true;
        QTest::newRow("HTTP 500") << QByteArray(R"({"mode":"http500","count":1})") << false << true;
        QTest::newRow("every server down")
            << QByteArray(R"({"mode":"http500","path_prefix":"/json/countries"})") << false << false;
        QTest::newRow("wrong request, not a dead server")
            << QByteArray(R"({"mode":"notfound","count":1})") << false << false;
    }

    void failingServerIsReplacedForTheRun() {
        QFETCH(QByteArray, mode);
        QFETCH(bool, deadFirst);
        QFETCH(bool, replaced);
        // The emulator under two names stands for two servers.
        const QString port = emulator_.baseUrl().section(u':', -1);
        const QString first = deadFirst ? QStringLiteral("http://127.0.0.1:1") : emulator_.baseUrl();
        const QString second = QStringLiteral("http://localhost:") + port;
        emulator_.listServers({first, second});
        f_->launch(QString(), emulator_.baseUrl());
        f_->api->setServer(first);
        if (!mode.isEmpty())
            emulator_.setMode(mode);

        QCOMPARE(countriesError().isNull(), replaced);
        QCOMPARE(f_->api->server(), replaced ? second : first);
        QCOMPARE(f_->defaults->string(settingskeys::kRadioServer), first); // only the user changes it
        if (replaced) {
            QTest::ignoreMessage(QtInfoMsg, QRegularExpression("^Response for increment request"));
            f_->api->incrementClickForStationWithUID(QStringLiteral("x"));
            QTRY_COMPARE_WITH_TIMEOUT(emulator_.requestCount(QStringLiteral("/json/url/x")), 1, kWait);
            QCOMPARE(emulator_.lastRequest().value("headers").toObject().value("Host").toString(),
                     QStringLiteral("localhost:") + port);
        }
    }

    void votesCountOncePerTenMinutes() {
        const Station target = search({.countryCode = QStringLiteral("FR")}).first();
        const qint64 now = 1'800'000'000;
        auto vote = [&](qint64 at) {
            std::optional<std::pair<bool, QString>> result;
            f_->api->voteForStation(target, at,
                                    [&](bool counted, QString why) { result.emplace(counted, why); });
            [&] { QTRY_VERIFY_WITH_TIMEOUT(result, kWait); }();
            return result.value_or(std::pair(true, QStringLiteral("no answer")));
        };
        QCOMPARE(vote(now), std::pair(true, QStringLiteral("Vote counted")));
        f_->launch(emulator_.baseUrl()); // the rule holds across restarts, without asking the directory
        QCOMPARE(vote(now + 599),
                 std::pair(false, QStringLiteral("You voted for this station less than 10 minutes ago")));
        QCOMPARE(emulator_.requestCount(QStringLiteral("/json/vote/")), 1);
        // Ten minutes on, the directory decides (its own clock says it is too soon).
        QCOMPARE(vote(now + 600),
                 std::pair(false, QStringLiteral("you are voting for the same station too often")));
        QCOMPARE(emulator_.requestCount(QStringLiteral("/json/vote/")), 2);
    }

    void listsFollowTheDirectoryAndKeepWhatItDropped() {
        const StationList at = search({.countryCode = QStringLiteral("AT")});
        QVERIFY(at.size() > 4);
        const auto uuid = [](const Station& s) { return s.string(Station::Key::StationUuid); };
        f_->api->setFavoriteStations({at[0], at[1], at[2]});
        f_->api->setRecentStations({at[3], at[1]});
        emulator_.edit(
            {{uuid(at[0]), QJsonObject{{"name", "Renamed"}, {"favicon", "https://new.example/i.png"}}},
             {uuid(at[1]), QJsonValue()},               // gone from the directory
             {uuid(at[2]), QJsonObject{{"url", ""}}}}); // listed, but unusable now

        ListRefresher refresher(f_->api.get(), f_->defaults.get());
        QSignalSpy finished(&refresher, &ListRefresher::finished);
        const QDateTime start = QDateTime::fromSecsSinceEpoch(1'800'000'000);
        refresher.refreshIfDue(start);
        QVERIFY(finished.wait(kWait));
        QCOMPARE(finished.last().first().toBool(), true);

        const StationList favorites = f_->api->favoriteStations();
        QCOMPARE(favorites.size(), 3);
        QCOMPARE(favorites[0].string(Station::Key::Name), QStringLiteral("Renamed"));
        QCOMPARE(favorites[0].string(Station::Key::Favicon), QStringLiteral("https://new.example/i.png"));
        QVERIFY(!ListRefresher::isUnlisted(favorites[0]) && ListRefresher::isUnlisted(favorites[1]));
        QCOMPARE(favorites[2], at[2]); // unusable now, but listed: left as it was
        QVERIFY(ListRefresher::isUnlisted(f_->api->recentStations()[1]));

        refresher.refreshIfDue(start.addSecs(3600)); // once a day is enough
        refresher.refreshIfDue(start.addDays(1));
        QVERIFY(finished.wait(kWait));
        QCOMPARE(emulator_.requestCount(QStringLiteral("/json/stations/byuuid")), 2);
        f_->launch(emulator_.baseUrl()); // saved like any change: the mark survives a restart
        QVERIFY(ListRefresher::isUnlisted(f_->api->favoriteStations().value(1)));
    }

private:
    StationList search(const StationSearch& query) {
        StationsOutcome out;
        f_->api->requestSearch(query, 0, false, out.completion());
        [&] { QTRY_COMPARE_WITH_TIMEOUT(out.calls, 1, kWait); }();
        if (!out.error.isNull())
            qWarning("search failed: %s", qPrintable(out.error));
        return out.stations.value_or(StationList());
    }
    // Asks for the countries and waits for the answer: null when a list of countries came.
    QString countriesError() {
        int calls = 0;
        QString error;
        f_->api->requestCountries([&](Expected<QJsonArray> countries) {
            ++calls;
            error = countries.ok() ? (countries->size() > 5 ? QString() : QStringLiteral("(no countries)"))
                                   : countries.error().message;
        });
        [&] { QTRY_COMPARE_WITH_TIMEOUT(calls, 1, kWait); }();
        return error;
    }
    QString serversError() {
        std::optional<QString> error;
        f_->api->requestServers([&](Expected<QStringList> servers) {
            error = servers.ok() ? (servers->isEmpty() ? QStringLiteral("(no servers)") : QString())
                                 : servers.error().message;
        });
        [&] { QTRY_VERIFY_WITH_TIMEOUT(error, kWait); }();
        return error.value_or(QStringLiteral("no answer"));
    }
    QString lastSearchQuery() {
        return emulator_.lastRequest(QStringLiteral("/json/stations/search")).value("raw_query").toString();
    }

    DirectoryEmulator emulator_;
    std::unique_ptr<DirectoryFixture> f_;
};

QTEST_GUILESS_MAIN(TestDirectoryClient)
#include "tst_directoryclient.moc"
