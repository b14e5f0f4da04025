// SPDX-License-Identifier: GPL-3.0-or-later
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
        QCOMPARE(read(store, key), Read()); // none, and no error
        QCOMPARE(write(store, key, &password), QString());
        QCOMPARE(read(store, key), Read(password, QString()));
        QCOMPARE(read(store, QStringLiteral("bob@https://dav.example.org/alice/")), Read());
        QCOMPARE(write(store, key, nullptr), QString());
        QCOMPARE(read(store, key), Read());
        QCOMPARE(write(store, key, nullptr), QString()); // deleting what is not there is no error
    }

private:
    // The password found, if any, and the error.
    using Read = std::pair<std::optional<QString>, QString>;
    static Read read(CredentialStore& store, const QString& key) {
        std::optional<Read> result;
        store.readPassword(
            key, [&](std::optional<QString> password, QString error) { result.emplace(password, error); });
        (void)QTest::qWaitFor([&] { return result.has_value(); }, 20000);
        return result.value_or(Read(std::nullopt, QStringLiteral("no answer")));
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
