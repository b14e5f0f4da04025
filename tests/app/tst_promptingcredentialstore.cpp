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
    void asksOncePerRunAndSaysWhy_data() {
        QTest::addColumn<QString>("written"); // a password written this run, before the reads
        QTest::addColumn<bool>("userAnswers");
        QTest::addColumn<QString>("expected");
        QTest::newRow("user gives the password") << QString() << true << "secret";
        QTest::newRow("user declines") << QString() << false << QString();
        QTest::newRow("written this run: not asked") << "typed" << true << "typed";
    }

    void asksOncePerRunAndSaysWhy() {
        QFETCH(QString, written);
        QFETCH(bool, userAnswers);
        QFETCH(QString, expected);
        DeadKeyring keyring;
        QStringList reasons;
        PromptingCredentialStore store(keyring, [&](const QString&, const QString& why) {
            reasons.append(why);
            return userAnswers ? std::optional<QString>(QStringLiteral("secret")) : std::nullopt;
        });
        if (!written.isNull())
            store.writePassword(QStringLiteral("bob@dav"), written, [](QString) {});
        QList<std::optional<QString>> answers;
        for (int i = 0; i < 3; ++i)
            store.readPassword(QStringLiteral("bob@dav"), [&](std::optional<QString> password, QString) { answers.append(password); });
        QTRY_COMPARE(answers.size(), 3);
        QCOMPARE(reasons, written.isNull() ? QStringList{"No keyring daemon"} : QStringList());
        if (written.isNull())
            QCOMPARE(keyring.reads, 1);
        const std::optional<QString> want =
            expected.isNull() ? std::nullopt : std::optional<QString>(expected);
        QCOMPARE(answers, QList<std::optional<QString>>(3, want));
    }
};

QTEST_GUILESS_MAIN(TestPromptingCredentialStore)
#include "tst_promptingcredentialstore.moc"
