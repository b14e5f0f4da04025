// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/cloud/KeychainCredentialStore.h"

#include <qt6keychain/keychain.h>

KeychainCredentialStore::KeychainCredentialStore(const QString& service, QObject* parent)
    : QObject(parent)
    , service_(service) {}

void KeychainCredentialStore::readPassword(const QString& key, ReadCompletion completion) {
    auto* job = new QKeychain::ReadPasswordJob(service_, this);
    job->setAutoDelete(true);
    job->setKey(key);
    connect(job, &QKeychain::Job::finished, this, [completion = std::move(completion)](QKeychain::Job* done) {
        auto* read = static_cast<QKeychain::ReadPasswordJob*>(done);
        if (read->error() == QKeychain::NoError)
            completion(read->textData(), QString());
        else if (read->error() == QKeychain::EntryNotFound)
            completion(std::nullopt, QString());
        else
            completion(std::nullopt, read->errorString());
    });
    job->start();
}

void KeychainCredentialStore::writePassword(const QString& key, const QString& password,
                                            WriteCompletion completion) {
    auto* job = new QKeychain::WritePasswordJob(service_, this);
    job->setAutoDelete(true);
    job->setKey(key);
    job->setTextData(password);
    connect(job, &QKeychain::Job::finished, this, [completion = std::move(completion)](QKeychain::Job* done) {
        completion(done->error() == QKeychain::NoError ? QString() : done->errorString());
    });
    job->start();
}

void KeychainCredentialStore::deletePassword(const QString& key, WriteCompletion completion) {
    auto* job = new QKeychain::DeletePasswordJob(service_, this);
    job->setAutoDelete(true);
    job->setKey(key);
    connect(job, &QKeychain::Job::finished, this, [completion = std::move(completion)](QKeychain::Job* done) {
        const bool gone = done->error() == QKeychain::NoError || done->error() == QKeychain::EntryNotFound;
        completion(gone ? QString() : done->errorString());
    });
    job->start();
}
