#include "app/PromptingCredentialStore.h"

#include <QTest>

namespace {
// A keyring that fails every read, as when no keyring daemon answers.
struct DeadKeyring : CredentialStore {
    int reads = 0;
    void readPassword(const QString&, ReadCompletion completion) override {
        ++reads;
        completion(std::nullopt, QStringLiteral("No keyring daemon"));
    }
    void writePassword(const QString&, const QString&, WriteCompletion completion) override {
        completion(QStringLiteral("No keyring daemon"));
    }
    void deletePassword(const QString&, WriteCompletion completion) override { completion(QString()); }
};
} // namespace

class TestPromptingCredentialStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void asksOncePerRunAndSaysWhy_data();
    void asksOncePerRunAndSaysWhy();
    void aWrittenPasswordIsUsedThisRun();
};

void TestPromptingCredentialStore::asksOncePerRunAndSaysWhy_data() {
    QTest::addColumn<bool>("userAnswers");
    QTest::newRow("user gives the password") << true;
    QTest::newRow("user declines") << false;
}

void TestPromptingCredentialStore::asksOncePerRunAndSaysWhy() {
    QFETCH(bool, userAnswers);
    DeadKeyring keyring;
    QStringList reasons;
    PromptingCredentialStore store(keyring, [&](const QString&, const QString& why) {
        reasons.append(why);
        return userAnswers ? std::optional<QString>(QStringLiteral("secret")) : std::nullopt;
    });
    QList<std::optional<QString>> answers;
    for (int i = 0; i < 3; ++i)
        store.readPassword(QStringLiteral("bob@dav"), [&](std::optional<QString> password, QString) { answers.append(password); });
    QTRY_COMPARE(answers.size(), 3);
    QCOMPARE(reasons, QStringList{"No keyring daemon"});
    QCOMPARE(keyring.reads, 1);
    for (const auto& answer : answers)
        QCOMPARE(answer, userAnswers ? std::optional<QString>(QStringLiteral("secret")) : std::nullopt);
}

void TestPromptingCredentialStore::aWrittenPasswordIsUsedThisRun() {
    DeadKeyring keyring;
    int prompts = 0;
    PromptingCredentialStore store(keyring, [&](const QString&, const QString&) {
        ++prompts;
        return std::optional<QString>();
    });
    store.writePassword(QStringLiteral("bob@dav"), QStringLiteral("typed"), [](QString) {});
    std::optional<QString> read;
    store.readPassword(QStringLiteral("bob@dav"), [&](std::optional<QString> password, QString) { read = password; });
    QTRY_VERIFY(read.has_value());
    QCOMPARE(*read, QStringLiteral("typed"));
    QCOMPARE(prompts, 0);
}

QTEST_GUILESS_MAIN(TestPromptingCredentialStore)
#include "tst_promptingcredentialstore.moc"
