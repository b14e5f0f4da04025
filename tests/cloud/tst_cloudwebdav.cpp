#include "directory/cloud/CredentialStore.h"
#include "directory/cloud/WebDavDatabase.h"
#include "support/WebDavServer.h"

#include <QtTest>

namespace {
using Result = std::pair<std::optional<CloudRecord>, CloudError>;
using Code = CloudError::Code;

CloudRecord newRecord(const QByteArray& favorites) {
    CloudRecord record;
    record.recordType = QStringLiteral("AppData");
    record.recordName = QStringLiteral("AppData.1");
    record.fields.insert(QStringLiteral("favorite_stations"), favorites);
    return record;
}

// The small WebDAV stand-in of fake_dav_server.py on a free loopback port, for what Apache
// cannot be made to do.
struct FakeDavServer : ScriptServer {
    explicit FakeDavServer(const QStringList& arguments)
        : ScriptServer("tests/cloud/fake_dav_server.py", arguments) {}
    // Each {"method", "path", "headers"}, oldest first.
    QJsonArray requests() { return QJsonDocument::fromJson(call(QStringLiteral("/_requests"))).array(); }
};
} // namespace

class TestWebDavDatabase : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() {
        server.start();
        for (const char* folder : {"dav/Ostrel Radio", "lax/Ostrel Radio"})
            QDir(server.documentPath(QString::fromLatin1(folder))).removeRecursively();
    }

    void recordLifecycle() {
        auto db = database(server.url(QStringLiteral("/dav/")));
        // The first save makes the application's folder and the record.
        auto [created, createError] = save(*db, newRecord("one"));
        QVERIFY2(created, qPrintable(createError.description));
        QVERIFY(!created->changeTag.isEmpty() && !created->changeTag.startsWith("W/"));
        QVERIFY(created->modificationDate.isValid());
        QFile file(server.documentPath(QStringLiteral("dav/Ostrel Radio/AppData.1.cbor")));
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

    // What the set-up's check of the server, then a fetch and a first save say of an account.
    void accounts_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("serverDown");
        QTest::addColumn<int>("checkCode");
        QTest::addColumn<bool>("warned");
        QTest::addColumn<int>("fetchCode");
        QTest::addColumn<int>("saveCode");
        const QString pw = WebDavServer::kPassword;
        QTest::newRow("honours If-Match") << "/dav/" << pw << false << int(Code::None) << false
                                          << int(Code::RecordNotFound) << int(Code::None);
        QTest::newRow("ignores If-Match") << "/lax/" << pw << false << int(Code::None) << true
                                          << int(Code::RecordNotFound) << int(Code::None);
        QTest::newRow("wrong password") << "/dav/" << "wrong" << false << int(Code::NotAuthenticated) << false
                                        << int(Code::NotAuthenticated) << int(Code::NotAuthenticated);
        QTest::newRow("server down") << "/dav/" << pw << true << int(Code::NetworkUnavailable) << false
                                     << int(Code::NetworkUnavailable) << int(Code::NetworkUnavailable);
        QTest::newRow("no such folder") << "/nowhere/" << pw << false << int(Code::ServerRejected) << false
                                        << int(Code::RecordNotFound) << int(Code::ServerRejected);
    }

    void accounts() {
        QFETCH(QString, folder);
        QFETCH(QString, password);
        QFETCH(bool, serverDown);
        QFETCH(int, checkCode);
        QFETCH(bool, warned);
        QFETCH(int, fetchCode);
        QFETCH(int, saveCode);
        auto db = database(server.url(folder), password);
        if (serverDown)
            server.stop();
        std::optional<WebDavDatabase::ServerCheck> check;
        db->checkServer([&](WebDavDatabase::ServerCheck result) { check = result; });
        QVERIFY(QTest::qWaitFor([&] { return check.has_value(); }, 30000));
        QVERIFY2(int(check->error.code) == checkCode, qPrintable(check->error.description));
        QCOMPARE(!check->warning.isEmpty(), warned);
        if (checkCode == int(Code::None)) {
            QCOMPARE(check->refusesStaleSaves, !warned);
            // The application's folder is there, and the scratch file is gone.
            const QDir appFolder(server.documentPath(folder.mid(1) + QStringLiteral("Ostrel Radio")));
            QVERIFY(appFolder.exists());
            QVERIFY(appFolder.entryList(QDir::Files | QDir::Hidden).isEmpty());
        }
        auto [fetched, fetchError] = fetch(*db);
        QVERIFY(!fetched);
        QCOMPARE(int(fetchError.code), fetchCode);
        QVERIFY(!fetchError.description.isEmpty());
        auto [saved, saveError] = save(*db, newRecord("x"));
        QCOMPARE(bool(saved), saveCode == int(Code::None));
        QCOMPARE(int(saveError.code), saveCode);
    }

    void waitsWhenAskedTo_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::newRow("Retry-After in seconds") << QStringList{"--busy", "2"} << int(Code::RecordNotFound);
        QTest::newRow("Retry-After as a date")
            << QStringList{"--busy", "2", "--retry-after", "date"} << int(Code::RecordNotFound);
        QTest::newRow("still busy after two waits") << QStringList{"--busy", "3"} << int(Code::RateLimited);
        QTest::newRow("huge Retry-After") << QStringList{"--busy", "2", "--retry-after", "huge"} << int(Code::RecordNotFound);
        QTest::newRow("answer that never ends") << QStringList{"--trickle"} << int(Code::NetworkUnavailable);
    }

    void waitsWhenAskedTo() {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        FakeDavServer fake(arguments);
        auto db = database(fake.url(QStringLiteral("/")));
        QCOMPARE(int(fetch(*db).second.code), code);
        // The first try and two after waiting; an endless answer is cut and not retried.
        QCOMPARE(fake.requests().size(), code == int(Code::NetworkUnavailable) ? 1 : 3);
    }

    // Tags that cannot be compared: weak ones, or a wrong ETag beside Nextcloud's OC-ETag; or a
    // tag and dates that only the folder listing (PROPFIND) gives. A save over the fetched
    // version still goes through, with a condition the server can check.
    void tagsTheServerCannotCompare_data() {
        QTest::addColumn<QString>("quirk");
        QTest::addColumn<QString>("condition");
        QTest::newRow("weak tags: never in If-Match") << "--weak" << "if-unmodified-since";
        QTest::newRow("OC-ETag comes before ETag") << "--oc-etag" << "if-match";
        QTest::newRow("tag and dates only in the listing") << "--propfind-only" << "if-match";
    }

    void tagsTheServerCannotCompare() {
        QFETCH(QString, quirk);
        QFETCH(QString, condition);
        FakeDavServer fake({quirk});
        auto db = database(fake.url(QStringLiteral("/")));
        QVERIFY(save(*db, newRecord("one")).first);
        auto [fetched, fetchError] = fetch(*db);
        QVERIFY2(fetched, qPrintable(fetchError.description));
        QCOMPARE(fetched->changeTag.startsWith("W/"), quirk == "--weak");
        QVERIFY(fetched->modificationDate.isValid());
        QCOMPARE(fetched->creationDate.isValid(), quirk == "--propfind-only");
        CloudRecord changed = *fetched;
        changed.fields.insert(QStringLiteral("recent_stations"), "two");
        auto [saved, saveError] = save(*db, changed);
        QVERIFY2(saved, qPrintable(saveError.description));

        QJsonObject lastPut;
        for (const QJsonValue& request : fake.requests())
            if (request[QLatin1String("method")] == QLatin1String("PUT"))
                lastPut = request[QLatin1String("headers")].toObject();
        QVERIFY(lastPut.contains(condition));
        QCOMPARE(lastPut.contains(QLatin1String("if-match")), quirk != "--weak");
    }

    void requestsKeepNothingBetweenThem() {
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

private:
    std::unique_ptr<WebDavDatabase> database(const QUrl& folder, const QString& password = WebDavServer::kPassword) {
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
    // Runs one request of the store and waits for its answer.
    template <typename Start> static Result await(Start start) {
        std::optional<Result> result;
        start([&](std::optional<CloudRecord> r, CloudError e) { result = Result{r, e}; });
        (void)QTest::qWaitFor([&] { return result.has_value(); }, 30000);
        return result.value_or(Result{std::nullopt, CloudError::make(Code::ServerRejected, "no answer")});
    }
    static Result fetch(WebDavDatabase& db) {
        return await([&](auto done) { db.fetchRecord(QStringLiteral("AppData.1"), done); });
    }
    static Result save(WebDavDatabase& db, const CloudRecord& record) {
        return await([&](auto done) { db.saveRecord(record, done); });
    }

    MemoryCredentialStore credentials;
    WebDavServer server;
};

QTEST_GUILESS_MAIN(TestWebDavDatabase)
#include "tst_cloudwebdav.moc"
