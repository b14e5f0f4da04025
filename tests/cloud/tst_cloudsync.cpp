// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/ListRefresher.h"
#include "support/CloudFixture.h"
#include "support/CuttableProxy.h"
#include "support/LogCapture.h"

#include <QTest>

namespace {
const QString kFavorites = QStringLiteral("favoriteStations.dat");
const QString kRecents = QStringLiteral("recentStations.dat");
const QString kRecordPath = QStringLiteral("dav/Ostrel Radio/AppData.1.cbor");
const QString kFetchError = QStringLiteral("Fetch Error ----------------------------------\r [");
const QString kSaveError = QStringLiteral("Save Error ----------------------------------\r [");

QByteArray listBytes(const QStringList& ids) {
    return archive::archivedDataWithRootObject(namedStations(ids));
}

// A record store that refuses every save as changed since its fetch: a server where another
// machine always comes first.
class AlwaysChangedDatabase : public QObject, public CloudDatabase {
public:
    int fetches = 0;
    int saves = 0;
    bool hasAccount() const override { return true; }
    void fetchRecord(const QString& name, FetchCompletion done) override {
        ++fetches;
        CloudRecord record{CloudSync::kRecordType, name, {}, {}, QDateTime::currentDateTimeUtc(), "\"1\""};
        QTimer::singleShot(0, this, [done, record] { done(record, CloudError()); });
    }
    void saveRecord(const CloudRecord&, SaveCompletion done) override {
        ++saves;
        QTimer::singleShot(0, this, [done] {
            done(std::nullopt, CloudError::make(CloudError::Code::ServerRecordChanged, "changed"));
        });
    }
};
} // namespace

class TestCloudSync : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() {
        server.start();
        QDir(server.documentPath(QStringLiteral("dav/Ostrel Radio"))).removeRecursively();
    }

    void favouriteTravelsToTheOtherMachine() {
        LogCapture log({"ostrel.cloud"});
        CloudMachine a(server);
        CloudMachine b(server);
        a.launch();
        QCOMPARE(log.count("Fetch Error"), 1); // no record yet
        a.api->addFavoriteStation(namedStation("fa"));
        a.api->addRecentStation(namedStation("ra"));
        QVERIFY(a.settle());
        QCOMPARE(log.count("Record Saved ------------r"), 2);

        b.writeListFile(kFavorites, {"old"});
        b.launch();
        QCOMPARE(uuids(b.api->favoriteStations()), QStringList{"fa"});
        QCOMPARE(uuids(b.api->recentStations()), QStringList{"ra"});

        // The next start of either machine meets a record it has seen: ignored, whatever the local
        // list holds by then, and the date kept does not move.
        for (CloudMachine* machine : {&a, &b}) {
            const QDateTime seen = machine->defaults->value(settingskeys::kUploadDate).toDateTime();
            QVERIFY(seen.isValid());
            machine->shutDown();
            machine->writeListFile(kFavorites, {"local"});
            log.clear();
            machine->launch();
            QCOMPARE(log.lines(), QStringList{"iCloud synchonised favorite stations - ignored for same date."});
            QCOMPARE(uuids(machine->api->favoriteStations()), QStringList{"local"});
            QCOMPARE(machine->defaults->value(settingskeys::kUploadDate).toDateTime(), seen);
        }

        // Server dates have whole seconds: another version under the date already seen is taken over.
        const QDateTime seen = b.defaults->value(settingskeys::kUploadDate).toDateTime();
        putRecord({{"favorite_stations", listBytes({"same second"})}});
        QFile file(server.documentPath(kRecordPath));
        QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(seen, QFileDevice::FileModificationTime));
        b.launch();
        QCOMPARE(uuids(b.api->favoriteStations()), QStringList{"same second"});
    }

    // B starts with an older favourite in its file, its daily refresh due and a server that
    // answers slowly, and the user stars a station before the launch's fetch is back: the
    // record's favourite is kept on both machines, with B's new one on top.
    void launchFetchComesBeforeEverySave() {
        DirectoryEmulator directory;
        CloudMachine a(server);
        a.launch();
        a.api->addFavoriteStation(namedStation("x"));
        QVERIFY(a.settle());

        CuttableProxy slow(quint16(server.url().port()), std::chrono::milliseconds(1500));
        CloudMachine b(server);
        b.account.serverURL = slow.url(server.url(QStringLiteral("/dav/")));
        b.credentials.writePassword(b.account.credentialKey(), WebDavServer::kPassword, [](QString) {});
        b.writeListFile(kFavorites, {"z"});
        b.start(directory.baseUrl());
        ListRefresher refresher(b.api.get(), b.defaults.get());
        QSignalSpy refreshed(&refresher, &ListRefresher::finished);
        refresher.refreshIfDue(QDateTime::currentDateTime());
        b.api->addFavoriteStation(namedStation("y"));
        QTRY_COMPARE_WITH_TIMEOUT(b.fetched->count(), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(refreshed.count(), 1, 20000);
        QVERIFY(b.settle());
        QCOMPARE(uuids(b.api->favoriteStations()), (QStringList{"y", "x"}));
        QCOMPARE(b.readListFile(kFavorites), (QStringList{"y", "x"}));

        a.launch();
        QCOMPARE(uuids(a.api->favoriteStations()), (QStringList{"y", "x"}));
    }

    void recordFields_data() {
        QTest::addColumn<QVariantMap>("fields"); // field name to bytes
        QTest::addColumn<QStringList>("favorites");
        QTest::addColumn<QStringList>("recents");
        QTest::addColumn<QStringList>("expectedLines");
        const QByteArray undecodable = QByteArrayLiteral("\xd9\xd9\xf7 not a list");
        QStringList many;
        for (int i = 0; i < 100000; ++i)
            many.append(QStringLiteral("f%1").arg(i));
        StationList withFile = namedStations({"f1", "f2"});
        withFile.insert(1, stationFromJson(QJsonObject{{"stationuuid", "x"}, {"name", "X"}, {"url", "file:///etc/passwd"}}));
        const QString favoritesLine = QStringLiteral("iCloud synchonised favorite stations.");
        const QString recentsLine = QStringLiteral("iCloud synchonised recent stations.");
        QTest::newRow("empty recent bytes")
            << QVariantMap{{"favorite_stations", listBytes({"f1"})}, {"recent_stations", QByteArray()}}
            << QStringList{"f1"} << QStringList{"localR"} << QStringList{favoritesLine};
        QTest::newRow("an empty list is a list") << QVariantMap{{"favorite_stations", listBytes({})}}
                                                 << QStringList{} << QStringList{"localR"} << QStringList{favoritesLine};
        QTest::newRow("undecodable favourites")
            << QVariantMap{{"favorite_stations", undecodable}, {"recent_stations", listBytes({"r1"})}}
            << QStringList{"localF"} << QStringList{"r1"} << QStringList{"unarchive error : ", recentsLine};
        QTest::newRow("longer than the lists kept here")
            << QVariantMap{{"favorite_stations", listBytes(many)}, {"recent_stations", listBytes(many.mid(0, 9))}}
            << many.mid(0, 20) << many.mid(0, 7) << QStringList{favoritesLine, recentsLine};
        QTest::newRow("a file as a stream, a repeat")
            << QVariantMap{{"favorite_stations", archive::archivedDataWithRootObject(withFile + namedStations({"f1"}))}}
            << QStringList{"f1", "f2"} << QStringList{"localR"} << QStringList{favoritesLine};
    }

    void recordFields() {
        QFETCH(QVariantMap, fields);
        QFETCH(QStringList, favorites);
        QFETCH(QStringList, recents);
        QFETCH(QStringList, expectedLines);
        putRecord(fields);
        CloudMachine b(server);
        b.writeListFile(kFavorites, {"localF"});
        b.writeListFile(kRecents, {"localR"});
        LogCapture log({"ostrel.cloud", "ostrel.archive"});
        b.launch();
        QCOMPARE(uuids(b.api->favoriteStations()), favorites);
        QCOMPARE(uuids(b.api->recentStations()), recents);
        QCOMPARE(log.lines().size(), expectedLines.size());
        for (int i = 0; i < expectedLines.size(); ++i)
            QVERIFY2(log.lines().at(i).startsWith(expectedLines.at(i)), qPrintable(log.lines().at(i)));
        // What was taken over is in the files; what was not keeps its file.
        QCOMPARE(b.readListFile(kFavorites), favorites);
        QCOMPARE(b.readListFile(kRecents), recents);

        // "uploadDate" moved on before the fields were looked at: the same record is not tried again.
        log.clear();
        b.launch();
        QCOMPARE(log.lines(), QStringList{"iCloud synchonised favorite stations - ignored for same date."});
    }

    void conflictingSavesLoseNothing_data() {
        QTest::addColumn<bool>("recordExists");
        QTest::newRow("both make the record") << false;
        QTest::newRow("both change the record") << true;
    }

    void conflictingSavesLoseNothing() {
        QFETCH(bool, recordExists);
        CloudMachine a(server);
        CloudMachine b(server);
        a.launch();
        if (recordExists) {
            a.api->addFavoriteStation(namedStation("f0"));
            QVERIFY(a.settle());
        }
        b.launch();
        LogCapture log({"ostrel.cloud"});
        const qsizetype requestsBefore = server.accessLog().size();
        // A fetches, then B saves, then A saves over the version it fetched: refused, retried.
        a.database->holdNextSave();
        a.api->addFavoriteStation(namedStation("fa"));
        QVERIFY(QTest::qWaitFor([&] { return a.database->isHolding(); }, 10000));
        b.api->addRecentStation(namedStation("rb"));
        QVERIFY(b.settle());
        a.database->release();
        QVERIFY(a.settle());

        QCOMPARE(log.count("Save Error"), 0);
        QCOMPARE(log.count("Record Saved"), 2);
        QCOMPARE(server.accessLog().mid(requestsBefore).filter(QRegularExpression("^PUT .* 412$")).size(), 1);
        CloudMachine c(server);
        c.launch();
        QCOMPARE(uuids(c.api->favoriteStations()), recordExists ? (QStringList{"fa", "f0"}) : QStringList{"fa"});
        QCOMPARE(uuids(c.api->recentStations()), QStringList{"rb"});
    }

    void refusedSaveIsRetriedThreeTimes() {
        QTemporaryDir dir;
        UserDefaults defaults(dir.filePath("settings.ini"));
        AlwaysChangedDatabase database;
        CloudSync sync(database, defaults);
        QSignalSpy finished(&sync, &CloudSync::saveFinished);
        LogCapture log({"ostrel.cloud"});
        sync.save(RadioBrowser::kFavoritesCloudField, listBytes({"f"}));
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(database.saves, 1 + CloudSync::kMaxSaveRetries);
        QCOMPARE(database.fetches, database.saves); // each attempt fetches afresh
        QCOMPARE(log.lines().size(), 1);
        QVERIFY(log.lines().first().startsWith(kSaveError));
        QVERIFY(!defaults.contains(settingskeys::kUploadDate));
    }

    // The lists go on locally, with one line for each failed fetch or save and nothing else.
    void unusableCloud_data() {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("wrong password") << true;
        QTest::newRow("sync off: not a request") << false;
    }

    void unusableCloud() {
        QFETCH(bool, enabled);
        CloudMachine a(server, enabled ? QStringLiteral("wrong") : WebDavServer::kPassword, enabled);
        a.writeListFile(kFavorites, {"local"});
        const qsizetype requestsBefore = server.accessLog().size();
        LogCapture log({"ostrel.cloud"});
        a.launch();
        QCOMPARE(log.lines().size(), 1);
        QVERIFY2(log.lines().first().startsWith(kFetchError), qPrintable(log.lines().first()));
        QCOMPARE(log.lines().first().contains(QLatin1String("HTTP 401")), enabled);
        QCOMPARE(uuids(a.api->favoriteStations()), QStringList{"local"});

        a.api->addFavoriteStation(namedStation("new"));
        QVERIFY(a.settle());
        QCOMPARE(log.count(kSaveError), enabled ? 1 : 0);
        QCOMPARE(log.lines().size(), enabled ? 2 : 1);
        QCOMPARE(a.readListFile(kFavorites), (QStringList{"new", "local"}));
        QVERIFY(!a.defaults->contains(settingskeys::kUploadDate));
        if (!enabled)
            QCOMPARE(server.accessLog().size(), requestsBefore);
    }

    void quitWaitsForTheLastSave_data() {
        QTest::addColumn<bool>("answers");
        QTest::newRow("saved before quitting") << true;
        QTest::newRow("no answer: given up with one line") << false;
    }

    // The server starts with a damaged record: the save replaces it.
    void quitWaitsForTheLastSave() {
        QFETCH(bool, answers);
        server.putFile(kRecordPath, "not a record");
        CloudMachine a(server);
        LogCapture log({"ostrel.cloud"});
        a.launch();
        QVERIFY(a.settle());
        QCOMPARE(log.count("Unreadable cloud record"), 1);
        if (!answers)
            a.database->holdNextSave();
        a.api->addFavoriteStation(namedStation("last"));
        a.api->waitForSaves(); // as at quit: the file is written, its cloud save only handed over
        QCOMPARE(a.sync->finishSaves(std::chrono::seconds(answers ? 20 : 1)), answers);
        QCOMPARE(log.count("Quitting before the cloud has the latest lists"), answers ? 0 : 1);
        if (!answers) {
            a.database->release();
            return;
        }
        CloudMachine b(server);
        b.launch();
        QCOMPARE(uuids(b.api->favoriteStations()), QStringList{"last"});
    }

private:
    // A record on the server as another machine saved it.
    void putRecord(const QVariantMap& fields) {
        CloudRecord record{CloudSync::kRecordType, CloudSync::kRecordName, {}, {}, {}, {}};
        for (auto it = fields.begin(); it != fields.end(); ++it)
            record.fields.insert(it.key(), it.value().toByteArray());
        server.putFile(kRecordPath, cloudenvelope::encode(record));
    }

    WebDavServer server;
};

QTEST_GUILESS_MAIN(TestCloudSync)
#include "tst_cloudsync.moc"
