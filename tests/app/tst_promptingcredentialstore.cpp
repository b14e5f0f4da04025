// SPDX-License-Identifier: GPL-3.0-or-later
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
    // The user answers, declines, or is not asked for a password written this run.
    void asksOncePerRunAndSaysWhy() {
        for (const auto& [written, userAnswers, expected] :
             {std::tuple{QString(), true, std::optional<QString>("secret")},
              {QString(), false, std::nullopt},
              {"typed", true, "typed"}}) {
            DeadKeyring keyring;
            QStringList reasons;
            const bool answering = userAnswers; // a lambda cannot capture a structured binding
            PromptingCredentialStore store(keyring, [&](const QString&, const QString& why) {
                reasons.append(why);
                return answering ? std::optional<QString>(QStringLiteral("secret")) : std::nullopt;
            });
            if (!written.isNull())
                store.writePassword(QStringLiteral("bob@dav"), written, [](QString) {});
            QList<std::optional<QString>> answers;
            for (int i = 0; i < 3; ++i)
                store.readPassword(QStringLiteral("bob@dav"), [&](std::optional<QString> password, QString) {
                    answers.append(password);
                });
            QTRY_COMPARE(answers.size(), 3);
            QCOMPARE(reasons, written.isNull() ? QStringList{"No keyring daemon"} : QStringList());
            QCOMPARE(keyring.reads, written.isNull() ? 1 : 0);
            QCOMPARE(answers, QList<std::optional<QString>>(3, expected));
        }
    }
};

QTEST_GUILESS_MAIN(TestPromptingCredentialStore)
#include "tst_promptingcredentialstore.moc"
