// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/cloud/CredentialStore.h"

#include <QHash>
#include <QObject>
#include <functional>

// The desktop keyring, and when it does not answer, the user: asked once per run and told why,
// the answer kept in memory only. Never a password in a file.
class PromptingCredentialStore : public QObject, public CredentialStore {
    Q_OBJECT
public:
    // Asks the user for the password of `key`, saying `why`; nothing when they decline.
    using Prompt = std::function<std::optional<QString>(const QString& key, const QString& why)>;

    PromptingCredentialStore(CredentialStore& keyring, Prompt prompt, QObject* parent = nullptr);

    void readPassword(const QString& key, ReadCompletion completion) override;
    void writePassword(const QString& key, const QString& password, WriteCompletion completion) override;
    void deletePassword(const QString& key, WriteCompletion completion) override;

private:
    CredentialStore& keyring_;
    Prompt prompt_;
    QHash<QString, std::optional<QString>> answered_; // this run's answers, also "declined"
};
