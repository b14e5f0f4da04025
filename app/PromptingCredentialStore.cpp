// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PromptingCredentialStore.h"

PromptingCredentialStore::PromptingCredentialStore(CredentialStore& keyring, Prompt prompt, QObject* parent)
    : QObject(parent), keyring_(keyring), prompt_(std::move(prompt)) {}

void PromptingCredentialStore::readPassword(const QString& key, ReadCompletion completion) {
    if (answered_.contains(key)) {
        const std::optional<QString> answer = answered_.value(key);
        QMetaObject::invokeMethod(this, [completion = std::move(completion), answer] { completion(answer, QString()); },
                                  Qt::QueuedConnection);
        return;
    }
    keyring_.readPassword(key, [this, key, completion = std::move(completion)](std::optional<QString> password, QString error) {
        if (error.isNull()) {
            completion(password, error);
            return;
        }
        const std::optional<QString> answer = prompt_ ? prompt_(key, error) : std::nullopt;
        answered_.insert(key, answer); // once per run, whatever the user answered
        completion(answer, answer ? QString() : error);
    });
}

void PromptingCredentialStore::writePassword(const QString& key, const QString& password, WriteCompletion completion) {
    answered_.insert(key, password); // usable this run even when the keyring refuses it
    keyring_.writePassword(key, password, std::move(completion));
}

void PromptingCredentialStore::deletePassword(const QString& key, WriteCompletion completion) {
    answered_.remove(key);
    keyring_.deletePassword(key, std::move(completion));
}
