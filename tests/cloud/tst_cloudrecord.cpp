#include "directory/cloud/CloudAccount.h"
#include "directory/cloud/CloudRecord.h"
#include "directory/cloud/HttpDates.h"

#include <QtTest>

namespace {
QByteArray tagged(const QCborValue& root, quint64 tag = cloudenvelope::kRecordTag) {
    return QCborValue(QCborTag(cloudenvelope::kSelfDescribeTag), QCborValue(QCborTag(tag), root)).toCbor();
}

QCborMap recordMap(const QCborValue& fields) {
    return QCborMap{{QStringLiteral("recordType"), QStringLiteral("AppData")},
                    {QStringLiteral("recordName"), QStringLiteral("AppData.1")},
                    {QStringLiteral("fields"), fields}};
}
} // namespace

class TestCloudRecord : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void envelopeRoundTrip() {
        CloudRecord record;
        record.recordType = QStringLiteral("AppData");
        record.recordName = QStringLiteral("AppData.1");
        record.fields.insert(QStringLiteral("favorite_stations"), QByteArray("\x00\xff\xd9", 3));
        record.fields.insert(QStringLiteral("recent_stations"), QByteArray());
        const QByteArray bytes = cloudenvelope::encode(record);
        QVERIFY(bytes.startsWith("\xd9\xd9\xf7")); // self-described CBOR
        const std::optional<CloudRecord> back = cloudenvelope::decode(bytes);
        QVERIFY(back);
        QCOMPARE(back->recordType, record.recordType);
        QCOMPARE(back->recordName, record.recordName);
        QCOMPARE(back->fields, record.fields);

        // A later version may add keys: they are passed over.
        QCborMap extended = recordMap(QCborMap{{QStringLiteral("favorite_stations"), QByteArray("x")}});
        extended.insert(QStringLiteral("zone"), QStringLiteral("default"));
        QVERIFY(cloudenvelope::decode(tagged(extended)));
    }

    void envelopeRefuses_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("AppData.1");
        QTest::newRow("a station list, not a record") << tagged(recordMap(QCborMap()), 0x4F535401);
        QTest::newRow("no format tag") << QCborValue(recordMap(QCborMap())).toCbor();
        QTest::newRow("root not a map") << tagged(QCborValue(QStringLiteral("AppData")));
        QTest::newRow("fields missing") << tagged(
            QCborMap{{QStringLiteral("recordType"), QStringLiteral("AppData")},
                     {QStringLiteral("recordName"), QStringLiteral("AppData.1")}});
        QTest::newRow("field as text") << tagged(
            recordMap(QCborMap{{QStringLiteral("favorite_stations"), QStringLiteral("x")}}));
        QTest::newRow("field named by a number") << tagged(recordMap(QCborMap{{1, QByteArray("x")}}));
        QTest::newRow("bytes after the record") << tagged(recordMap(QCborMap())) + QByteArray("\x00", 1);
        QTest::newRow("cut short")
            << tagged(recordMap(QCborMap{{QStringLiteral("favorite_stations"), QByteArray("xyz")}})).chopped(2);
    }

    void envelopeRefuses() {
        QFETCH(QByteArray, bytes);
        QString why;
        QVERIFY(!cloudenvelope::decode(bytes, &why));
        QVERIFY(!why.isEmpty());
    }

    void httpDates_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QDateTime>("date");
        QTest::newRow("IMF-fixdate") << QByteArray("Sun, 06 Nov 1994 08:49:37 GMT")
                                     << QDateTime(QDate(1994, 11, 6), QTime(8, 49, 37), Qt::UTC);
        QTest::newRow("single-digit day")
            << QByteArray("Wed, 1 Jan 2025 00:00:00 GMT") << QDateTime(QDate(2025, 1, 1), QTime(0, 0), Qt::UTC);
        QTest::newRow("not GMT") << QByteArray("Sun, 06 Nov 1994 08:49:37 PST") << QDateTime();
        QTest::newRow("seconds, not a date") << QByteArray("120") << QDateTime();
        QTest::newRow("bad month") << QByteArray("Sun, 06 Nox 1994 08:49:37 GMT") << QDateTime();
        QTest::newRow("signed year") << QByteArray("S 6 Nov -0995 16:49:37 GMT") << QDateTime(); // found by fuzzing
    }

    void httpDates() {
        QFETCH(QByteArray, text);
        QFETCH(QDateTime, date);
        QCOMPARE(httpdates::parse(text), date);
        if (date.isValid())
            QCOMPARE(httpdates::parse(httpdates::format(date)), date);
    }

    void folderURLs_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("nextcloud");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("record");
        QTest::newRow("WebDAV folder") << "https://dav.example.org/users/alice"
                                       << "alice" << false << "https://dav.example.org/users/alice/"
                                       << "https://dav.example.org/users/alice/Ostrel%20Radio/";
        QTest::newRow("Nextcloud at the root")
            << "https://cloud.example.org"
            << "alice" << true << "https://cloud.example.org/remote.php/dav/files/alice/"
            << "https://cloud.example.org/remote.php/dav/files/alice/Ostrel%20Radio/";
        QTest::newRow("Nextcloud under a path, user with @ and space")
            << "https://example.org/nextcloud/"
            << "a b@example.org" << true
            << "https://example.org/nextcloud/remote.php/dav/files/a%20b%40example.org/"
            << "https://example.org/nextcloud/remote.php/dav/files/a%20b%40example.org/Ostrel%20Radio/";
    }

    void folderURLs() {
        QFETCH(QString, server);
        QFETCH(QString, user);
        QFETCH(bool, nextcloud);
        QFETCH(QString, folder);
        QFETCH(QString, record);
        CloudAccount account;
        account.serverURL = QUrl(server);
        account.user = user;
        account.kind = nextcloud ? CloudAccount::ServerKind::Nextcloud : CloudAccount::ServerKind::WebDav;
        QVERIFY(account.isComplete());
        QCOMPARE(account.folderURL().toString(QUrl::FullyEncoded), folder);
        QCOMPARE(account.appFolderURL().toString(QUrl::FullyEncoded), record);
    }
};

QTEST_GUILESS_MAIN(TestCloudRecord)
#include "tst_cloudrecord.moc"
