#include "directory/ListRefresher.h"
#include "radio/EverywhereSearch.h"
#include "support/DirectoryFixture.h"

#include <QtTest>

Q_DECLARE_METATYPE(StationSearch)

namespace {
constexpr int kWait = 20000;
} // namespace

// Searching the whole directory, turning to another server when one fails, votes, and keeping
// the favourites in step with the directory.
class TestDirectorySearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { f_ = emulator_.freshFixture(); }

    void searchSendsEveryFacet_data() {
        QTest::addColumn<StationSearch>("query");
        QTest::addColumn<QString>("sent");
        QTest::newRow("name") << StationSearch{.name = QStringLiteral(" welle ")} << "name=welle";
        QTest::newRow("several tags") << StationSearch{.tags = {QStringLiteral("jazz"), QStringLiteral(" "), QStringLiteral("pop")}}
                                      << "tagList=jazz,pop";
        const StationSearch everything{.language = QStringLiteral("german"), .countryCode = QStringLiteral("de"),
                                       .codec = QStringLiteral("MP3"), .minBitrate = 128, .httpsOnly = true};
        QTest::newRow("every facet") << everything
                                     << "language=german&countrycode=DE&codec=MP3&bitrateMin=128&is_https=true";
    }

    void searchSendsEveryFacet() {
        QFETCH(StationSearch, query);
        QFETCH(QString, sent);
        const StationList found = search(query);
        QVERIFY(!found.isEmpty());
        const QString raw =
            emulator_.lastRequest(QStringLiteral("/json/stations/search")).value("raw_query").toString();
        QVERIFY2(raw.startsWith(sent + QStringLiteral("&hidebroken=true&")), qPrintable(raw));
        QVERIFY2(raw.endsWith(QStringLiteral("&offset=0&limit=500")), qPrintable(raw));
        for (const Station& s : found) { // what came back is what was asked for, validated
            QVERIFY(!s.utf8(Station::Key::Url).empty());
            if (query.minBitrate)
                QVERIFY(s.value(Station::Key::Bitrate).toInteger() >= query.minBitrate);
            if (query.httpsOnly)
                QVERIFY(s.value("url_resolved").toString().startsWith(QLatin1String("https://")));
            if (!query.countryCode.isEmpty())
                QCOMPARE(s.string(Station::Key::CountryCode), query.countryCode.toUpper());
        }
        // The next page starts where this one ended; a repeated search comes from the cache.
        search(query, 500);
        QVERIFY(emulator_.lastRequest(QStringLiteral("/json/stations/search"))
                    .value("raw_query")
                    .toString()
                    .contains("offset=500"));
        search(query);
        QCOMPARE(emulator_.requestCount(QStringLiteral("/json/stations/search")), 2);
    }

    void failingServerIsReplacedForTheRun_data() {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<bool>("deadFirst"); // the first server refuses connections
        QTest::addColumn<bool>("replaced");
        QTest::newRow("refused") << QByteArray() << true << true;
        QTest::newRow("HTTP 500") << QByteArray(R"({"mode":"http500","count":1})") << false << true;
        QTest::newRow("HTML page") << QByteArray(R"({"mode":"html","count":1})") << false << true;
        QTest::newRow("every server down") << QByteArray(R"({"mode":"http500","path_prefix":"/json/countries"})") << false
                                           << false;
        QTest::newRow("wrong request, not a dead server") << QByteArray(R"({"mode":"notfound","count":1})") << false
                                                          << false;
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

        int calls = 0;
        QString error;
        f_->api->requestCountries([&](std::optional<QJsonArray>, QString e) {
            ++calls;
            error = e;
        });
        QTRY_COMPARE_WITH_TIMEOUT(calls, 1, kWait);
        QCOMPARE(error.isNull(), replaced);
        QCOMPARE(f_->api->server(), replaced ? second : first);
        QCOMPARE(f_->defaults->string(QStringLiteral("radioServer")), first); // only the user changes it
        if (replaced) {
            QTest::ignoreMessage(QtInfoMsg, QRegularExpression("^Response for increment request"));
            f_->api->incrementClickForStationWithUID(QStringLiteral("x"));
            QTRY_COMPARE_WITH_TIMEOUT(emulator_.requestCount(QStringLiteral("/json/url/x")), 1, kWait);
            QCOMPARE(emulator_.lastRequest().value("headers").toObject().value("Host").toString(),
                     QStringLiteral("localhost:") + port);
            f_->api->setServer(first); // the user's choice is used again
            QCOMPARE(f_->api->server(), first);
        }
    }

    void typingSendsOnlyTheLatestQuery() {
        EverywhereSearch everywhere(f_->api.get());
        QSignalSpy results(&everywhere, &EverywhereSearch::resultsChanged);
        QSignalSpy busy(&everywhere, &EverywhereSearch::busyChanged);
        auto type = [&](const char* text) { everywhere.setQuery({.name = QString::fromUtf8(text)}); };
        for (const char* text : {"r", "ra", "rad", "radio"}) // one keystroke after the other
            type(text);
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 1, kWait);
        QCOMPARE(emulator_.requestCount(QStringLiteral("/json/stations/search")), 1);
        QVERIFY(emulator_.lastRequest(QStringLiteral("/json/stations/search"))
                    .value("raw_query")
                    .toString()
                    .startsWith("name=radio&"));
        QVERIFY(everywhere.results().size() > 450); // a full page, less what validation drops
        QVERIFY(everywhere.hasMore());

        // A slow answer is never shown once the query changed, and nothing else goes out meanwhile.
        emulator_.setMode(R"({"mode":"delay","seconds":2,"count":1})");
        type("welle");
        QTRY_VERIFY_WITH_TIMEOUT(everywhere.isBusy(), kWait);
        type("jazz");
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 2, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(!everywhere.isBusy(), kWait);
        QCOMPARE(emulator_.requestCount(QStringLiteral("/json/stations/search")), 3);
        for (const Station& s : everywhere.results())
            QVERIFY(s.string(Station::Key::Name).contains(QLatin1String("jazz"), Qt::CaseInsensitive));

        type("radio"); // from the cache, then the next page from the network
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 3, kWait);
        everywhere.moreResults();
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 4, kWait);
        QVERIFY(everywhere.results().size() > 500);
        QVERIFY(emulator_.lastRequest(QStringLiteral("/json/stations/search"))
                    .value("raw_query")
                    .toString()
                    .contains("offset=500"));
        everywhere.setQuery({}); // cleared at once
        QCOMPARE(results.last().first().value<StationList>().size(), 0);
    }

    void votesCountOncePerTenMinutes() {
        const Station target = search({.countryCode = QStringLiteral("FR")}).first();
        const qint64 now = 1'800'000'000;
        auto vote = [&](qint64 at) {
            int calls = 0;
            std::pair<bool, QString> result;
            f_->api->voteForStation(target, at, [&](bool counted, QString message) {
                ++calls;
                result = {counted, message};
            });
            [&] { QTRY_COMPARE_WITH_TIMEOUT(calls, 1, kWait); }();
            return result;
        };
        QCOMPARE(vote(now), std::pair(true, QStringLiteral("Vote counted")));
        QCOMPARE(vote(now + 60).first, false);
        f_->launch(emulator_.baseUrl()); // the rule holds across restarts, without asking the directory
        QCOMPARE(vote(now + 599).second, QStringLiteral("You voted for this station less than 10 minutes ago"));
        QCOMPARE(emulator_.requestCount(QStringLiteral("/json/vote/")), 1);
        // Ten minutes on, the directory decides (its own clock says it is too soon).
        QCOMPARE(vote(now + 600), std::pair(false, QStringLiteral("you are voting for the same station too often")));
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
        QCOMPARE(emulator_.lastRequest(QStringLiteral("/json/stations/byuuid")).value("method").toString(),
                 QStringLiteral("POST"));

        const StationList favorites = f_->api->favoriteStations();
        QCOMPARE(favorites.size(), 3);
        QCOMPARE(favorites[0].string(Station::Key::Name), QStringLiteral("Renamed"));
        QCOMPARE(favorites[0].string(Station::Key::Favicon), QStringLiteral("https://new.example/i.png"));
        QCOMPARE(QList<bool>({ListRefresher::isUnlisted(favorites[0]), ListRefresher::isUnlisted(favorites[1]),
                              ListRefresher::isUnlisted(favorites[2])}),
                 QList<bool>({false, true, false}));
        QCOMPARE(favorites[2], at[2]);
        QVERIFY(ListRefresher::isUnlisted(f_->api->recentStations()[1]));

        // Saved like any change: the mark survives a restart. Once a day is enough.
        f_->launch(emulator_.baseUrl());
        QCOMPARE(f_->api->favoriteStations().size(), 3);
        QVERIFY(ListRefresher::isUnlisted(f_->api->favoriteStations()[1]));
        ListRefresher later(f_->api.get(), f_->defaults.get());
        QSignalSpy laterFinished(&later, &ListRefresher::finished);
        later.refreshIfDue(start.addSecs(3600));
        later.refreshIfDue(start.addDays(1));
        QVERIFY(laterFinished.wait(kWait));
        QCOMPARE(emulator_.requestCount(QStringLiteral("/json/stations/byuuid")), 2);
    }

private:
    StationList search(const StationSearch& query, int offset = 0) {
        StationsOutcome out;
        f_->api->requestSearch(query, offset, false, out.completion());
        [&] { QTRY_COMPARE_WITH_TIMEOUT(out.calls, 1, kWait); }();
        if (!out.error.isNull())
            qWarning("search failed: %s", qPrintable(out.error));
        return out.stations.value_or(StationList());
    }

    DirectoryEmulator emulator_;
    std::unique_ptr<DirectoryFixture> f_;
};

QTEST_GUILESS_MAIN(TestDirectorySearch)
#include "tst_directorysearch.moc"
