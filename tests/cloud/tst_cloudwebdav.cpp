#include "directory/cloud/CredentialStore.h"
#include "directory/cloud/WebDavDatabase.h"
#include "support/Tether.h"
#include "support/WebDavServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTest>

namespace {
using Result = std::pair<std::optional<CloudRecord>, CloudError>;
using Code = CloudError::Code;

// The small WebDAV stand-in of fake_dav_server.py on a free loopback port.
class FakeDavServer {
public:
    explicit FakeDavServer(const QStringList& arguments) : server_("tests/cloud/fake_dav_server.py", arguments) {}
    QUrl url(const QString& path) const { return server_.url(path); }
    // Each {"method", "path", "headers"}, oldest first.
    QJsonArray requests() { return QJsonDocument::fromJson(server_.call(QStringLiteral("/_requests"))).array(); }

private:
    ScriptServer server_;
};

CloudRecord newRecord(const QByteArray& favorites) {
    CloudRecord record;
    record.recordType = QStringLiteral("AppData");
    record.recordName = QStringLiteral("AppData.1");
    record.fields.insert(QStringLiteral("favorite_stations"), favorites);
    return record;
}
} // namespace

class TestWebDavDatabase : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void recordLifecycle();
    void unusableAccount_data();
    void unusableAccount();
    void serverCheck_data();
    void serverCheck();
    void waitsWhenAskedTo_data();
    void waitsWhenAskedTo();
    void weakTagsAreNeverSentInIfMatch();
    void ocETagComesBeforeETag();
    void requestsKeepNothingBetweenThem();

private:
    std::unique_ptr<WebDavDatabase> database(const QUrl& folder,
                                             const QString& password = WebDavServer::kPassword) {
        CloudAccount account;
        account.serverURL = folder;
        account.user = WebDavServer::kUser;
        account.enabled = true;
        credentials.writePassword(account.credentialKey(), password, [](QString) {});
        WebDavDatabase::Options options;
        options.timeoutMs = 20000;
        options.defaultRetryAfterMs = 100;
        options.maxRetryAfterMs = 1000;
        options.totalTimeoutMs = 3000;
        auto db = std::make_unique<WebDavDatabase>(credentials, options);
        db->setAccount(account);
        return db;
    }
    static Result fetch(WebDavDatabase& db) {
        std::optional<Result> result;
        db.fetchRecord(QStringLiteral("AppData.1"), [&](std::optional<CloudRecord> r, CloudError e) {
            result = Result{r, e};
        });
        (void)QTest::qWaitFor([&] { return result.has_value(); }, 30000);
        return result.value_or(Result{std::nullopt, CloudError::make(Code::ServerRejected, "no answer")});
    }
    static Result save(WebDavDatabase& db, const CloudRecord& record) {
        std::optional<Result> result;
        db.saveRecord(record, [&](std::optional<CloudRecord> r, CloudError e) { result = Result{r, e}; });
        (void)QTest::qWaitFor([&] { return result.has_value(); }, 30000);
        return result.value_or(Result{std::nullopt, CloudError::make(Code::ServerRejected, "no answer")});
    }

    MemoryCredentialStore credentials;
    std::unique_ptr<WebDavServer> server;
};

void TestWebDavDatabase::initTestCase() {
    server = std::make_unique<WebDavServer>();
}

void TestWebDavDatabase::cleanup() {
    if (!server->isRunning())
        server->start();
    for (const char* folder : {"dav/Ostrel Radio", "lax/Ostrel Radio"})
        QDir(server->documentPath(QString::fromLatin1(folder))).removeRecursively();
}

void TestWebDavDatabase::recordLifecycle() {
    auto db = database(server->url(QStringLiteral("/dav/")));
    auto [missing, missingError] = fetch(*db);
    QVERIFY(!missing);
    QCOMPARE(missingError.code, Code::RecordNotFound);

    // The first save makes the application's folder and the record.
    auto [created, createError] = save(*db, newRecord("one"));
    QVERIFY2(created, qPrintable(createError.description));
    QVERIFY(!created->changeTag.isEmpty() && !created->changeTag.startsWith("W/"));
    QVERIFY(created->modificationDate.isValid());
    QFile file(server->documentPath(QStringLiteral("dav/Ostrel Radio/AppData.1.cbor")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::optional<CloudRecord> onDisk = cloudenvelope::decode(file.readAll());
    QVERIFY(onDisk);
    QCOMPARE(onDisk->recordType, QStringLiteral("AppData"));
    QCOMPARE(onDisk->fields.value(QStringLiteral("favorite_stations")), QByteArray("one"));

    auto [fetched, fetchError] = fetch(*db);
    QVERIFY2(fetched, qPrintable(fetchError.description));
    QCOMPARE(fetched->changeTag, created->changeTag);
    QCOMPARE(fetched->modificationDate, created->modificationDate);
    QCOMPARE(fetched->fields, created->fields);

    // A save over the fetched version goes through; one more over the same version does not.
    CloudRecord changed = *fetched;
    changed.fields.insert(QStringLiteral("recent_stations"), "two");
    auto [saved, saveError] = save(*db, changed);
    QVERIFY2(saved, qPrintable(saveError.description));
    QVERIFY(saved->changeTag != fetched->changeTag);
    changed.fields.insert(QStringLiteral("recent_stations"), "three");
    auto [stale, staleError] = save(*db, changed);
    QVERIFY(!stale);
    QCOMPARE(staleError.code, Code::ServerRecordChanged);
    // Nor does a new record where one exists.
    auto [again, againError] = save(*db, newRecord("four"));
    QVERIFY(!again);
    QCOMPARE(againError.code, Code::ServerRecordChanged);
    QCOMPARE(fetch(*db).first->fields.value(QStringLiteral("recent_stations")), QByteArray("two"));
}

void TestWebDavDatabase::unusableAccount_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("serverDown");
    QTest::addColumn<int>("fetchCode");
    QTest::addColumn<int>("saveCode");
    QTest::newRow("wrong password") << "/dav/"
                                    << "wrong" << false << int(Code::NotAuthenticated)
                                    << int(Code::NotAuthenticated);
    QTest::newRow("server down") << "/dav/" << WebDavServer::kPassword << true
                                 << int(Code::NetworkUnavailable) << int(Code::NetworkUnavailable);
    QTest::newRow("no such folder") << "/nowhere/" << WebDavServer::kPassword << false
                                    << int(Code::RecordNotFound) << int(Code::ServerRejected);
}

void TestWebDavDatabase::unusableAccount() {
    QFETCH(QString, folder);
    QFETCH(QString, password);
    QFETCH(bool, serverDown);
    QFETCH(int, fetchCode);
    QFETCH(int, saveCode);
    auto db = database(server->url(folder), password);
    if (serverDown)
        server->stop();
    auto [fetched, fetchError] = fetch(*db);
    QVERIFY(!fetched);
    QCOMPARE(int(fetchError.code), fetchCode);
    QVERIFY(!fetchError.description.isEmpty());
    auto [saved, saveError] = save(*db, newRecord("x"));
    QVERIFY(!saved);
    QCOMPARE(int(saveError.code), saveCode);
}

void TestWebDavDatabase::serverCheck_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("warned");
    QTest::newRow("honours If-Match") << "/dav/" << WebDavServer::kPassword << int(Code::None) << false;
    QTest::newRow("ignores If-Match") << "/lax/" << WebDavServer::kPassword << int(Code::None) << true;
    QTest::newRow("wrong password") << "/dav/"
                                    << "wrong" << int(Code::NotAuthenticated) << false;
    QTest::newRow("no such folder") << "/nowhere/" << WebDavServer::kPassword << int(Code::ServerRejected)
                                    << false;
}

void TestWebDavDatabase::serverCheck() {
    QFETCH(QString, folder);
    QFETCH(QString, password);
    QFETCH(int, code);
    QFETCH(bool, warned);
    auto db = database(server->url(folder), password);
    std::optional<WebDavDatabase::ServerCheck> check;
    db->checkServer([&](WebDavDatabase::ServerCheck result) { check = result; });
    QVERIFY(QTest::qWaitFor([&] { return check.has_value(); }, 30000));
    QVERIFY2(int(check->error.code) == code, qPrintable(check->error.description));
    QCOMPARE(!check->warning.isEmpty(), warned);
    if (code == int(Code::None)) {
        QCOMPARE(check->refusesStaleSaves, !warned);
        // The application's folder is there, and the scratch file is gone.
        const QDir appFolder(server->documentPath(folder.mid(1) + QStringLiteral("Ostrel Radio")));
        QVERIFY(appFolder.exists());
        QVERIFY(appFolder.entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
}

void TestWebDavDatabase::waitsWhenAskedTo_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::newRow("Retry-After in seconds") << QStringList{"--busy", "2"} << int(Code::RecordNotFound);
    QTest::newRow("Retry-After as a date")
        << QStringList{"--busy", "2", "--retry-after", "date"} << int(Code::RecordNotFound);
    QTest::newRow("still busy after two waits") << QStringList{"--busy", "3"} << int(Code::RateLimited);
    QTest::newRow("huge Retry-After") << QStringList{"--busy", "2", "--retry-after", "huge"} << int(Code::RecordNotFound);
    QTest::newRow("answer that never ends") << QStringList{"--trickle"} << int(Code::NetworkUnavailable);
}

void TestWebDavDatabase::waitsWhenAskedTo() {
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    FakeDavServer fake(arguments);
    auto db = database(fake.url(QStringLiteral("/")));
    QCOMPARE(int(fetch(*db).second.code), code);
    const QJsonArray requests = fake.requests();
    // The first try and two after waiting; an endless answer is cut and not retried.
    QCOMPARE(requests.size(), code == int(Code::NetworkUnavailable) ? 1 : 3);
}

void TestWebDavDatabase::weakTagsAreNeverSentInIfMatch() {
    FakeDavServer fake({QStringLiteral("--weak")});
    auto db = database(fake.url(QStringLiteral("/")));
    QVERIFY(save(*db, newRecord("one")).first);
    auto [fetched, fetchError] = fetch(*db);
    QVERIFY2(fetched, qPrintable(fetchError.description));
    QVERIFY(fetched->changeTag.startsWith("W/"));
    CloudRecord changed = *fetched;
    changed.fields.insert(QStringLiteral("recent_stations"), "two");
    auto [saved, saveError] = save(*db, changed);
    QVERIFY2(saved, qPrintable(saveError.description));

    QJsonObject lastPut;
    for (const QJsonValue& request : fake.requests())
        if (request[QLatin1String("method")] == QLatin1String("PUT"))
            lastPut = request[QLatin1String("headers")].toObject();
    QVERIFY(!lastPut.contains(QLatin1String("if-match")));
    QVERIFY(lastPut.contains(QLatin1String("if-unmodified-since")));
}

void TestWebDavDatabase::ocETagComesBeforeETag() {
    FakeDavServer fake({QStringLiteral("--oc-etag")});
    auto db = database(fake.url(QStringLiteral("/")));
    QVERIFY(save(*db, newRecord("one")).first);
    auto [fetched, fetchError] = fetch(*db);
    QVERIFY2(fetched, qPrintable(fetchError.description));
    QVERIFY(fetched->changeTag != "\"rewritten\"");
    auto [saved, saveError] = save(*db, *fetched);
    QVERIFY2(saved, qPrintable(saveError.description));
}

void TestWebDavDatabase::requestsKeepNothingBetweenThem() {
    FakeDavServer fake({});
    auto db = database(fake.url(QStringLiteral("/")));
    fetch(*db);
    fetch(*db); // the server has set a session cookie by now
    const QJsonArray requests = fake.requests();
    QCOMPARE(requests.size(), 2);
    for (const QJsonValue& request : requests) {
        const QJsonObject headers = request[QLatin1String("headers")].toObject();
        QVERIFY(!headers.contains(QLatin1String("cookie")));
        QCOMPARE(headers[QLatin1String("accept-encoding")].toString(), QStringLiteral("identity"));
        QVERIFY(headers[QLatin1String("authorization")].toString().startsWith(QLatin1String("Basic ")));
    }
}

QTEST_GUILESS_MAIN(TestWebDavDatabase)
#include "tst_cloudwebdav.moc"
