#include "directory/cloud/KeychainCredentialStore.h"

#include <QTest>

// Runs inside with_keyring.sh: the real desktop keyring, on a private session bus.
class TestKeychainStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void passwordRoundTrip() {
        KeychainCredentialStore store(QStringLiteral("Ostrel Radio test"));
        const QString key = QStringLiteral("alice@https://dav.example.org/alice/");
        const QString password = QStringLiteral("pässwörd with spaces");

        Read missing = read(store, key);
        QVERIFY2(missing.error.isNull(), qPrintable(missing.error));
        QVERIFY(!missing.password);

        QCOMPARE(write(store, key, &password), QString());
        Read stored = read(store, key);
        QVERIFY2(stored.password, qPrintable(stored.error));
        QCOMPARE(*stored.password, password);
        QVERIFY(!read(store, QStringLiteral("bob@https://dav.example.org/alice/")).password);

        QCOMPARE(write(store, key, nullptr), QString());
        QVERIFY(!read(store, key).password);
        QCOMPARE(write(store, key, nullptr), QString()); // deleting what is not there is no error
    }

private:
    struct Read {
        std::optional<QString> password;
        QString error;
    };
    static Read read(CredentialStore& store, const QString& key) {
        std::optional<Read> result;
        store.readPassword(key, [&](std::optional<QString> password, QString error) {
            result = Read{password, error};
        });
        (void)QTest::qWaitFor([&] { return result.has_value(); }, 20000);
        return result.value_or(Read{std::nullopt, QStringLiteral("no answer")});
    }
    static QString write(CredentialStore& store, const QString& key, const QString* password) {
        std::optional<QString> result;
        auto done = [&](QString error) { result = error; };
        if (password)
            store.writePassword(key, *password, done);
        else
            store.deletePassword(key, done);
        (void)QTest::qWaitFor([&] { return result.has_value(); }, 20000);
        return result.value_or(QStringLiteral("no answer"));
    }
};

QTEST_GUILESS_MAIN(TestKeychainStore)
#include "tst_cloudkeychain.moc"
