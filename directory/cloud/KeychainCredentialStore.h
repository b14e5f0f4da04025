// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/cloud/CredentialStore.h"

// Passwords in the desktop keyring (Secret Service or KWallet) through QtKeychain. There is no
// plain-text fallback: without a keyring, storing fails and says so.
class KeychainCredentialStore : public QObject, public CredentialStore {
    Q_OBJECT
public:
    explicit KeychainCredentialStore(const QString& service = QStringLiteral("Ostrel Radio"),
                                     QObject* parent = nullptr);

    void readPassword(const QString& key, ReadCompletion completion) override;
    void writePassword(const QString& key, const QString& password, WriteCompletion completion) override;
    void deletePassword(const QString& key, WriteCompletion completion) override;

private:
    QString service_;
};
