// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <QHash>
#include <QObject>
#include <QString>

// Where the account's password lives: never in the settings file.
// Completions run exactly once, on the caller's (main) thread, never before the call returns.
class CredentialStore {
public:
    // No password and a null error: none is stored under the key.
    using ReadCompletion = std::function<void(std::optional<QString> password, QString error)>;
    // A null error: done.
    using WriteCompletion = std::function<void(QString error)>;

    virtual ~CredentialStore() = default;
    virtual void readPassword(const QString& key, ReadCompletion completion) = 0;
    virtual void writePassword(const QString& key, const QString& password, WriteCompletion completion) = 0;
    virtual void deletePassword(const QString& key, WriteCompletion completion) = 0;
};

// Passwords in memory only: tests, and a run that must not touch the desktop keyring.
class MemoryCredentialStore : public QObject, public CredentialStore {
    Q_OBJECT
public:
    using QObject::QObject;

    void readPassword(const QString& key, ReadCompletion completion) override {
        const auto found = passwords_.constFind(key);
        const std::optional<QString> password =
            found == passwords_.cend() ? std::nullopt : std::optional<QString>(*found);
        later([completion = std::move(completion), password] { completion(password, QString()); });
    }
    void writePassword(const QString& key, const QString& password, WriteCompletion completion) override {
        passwords_.insert(key, password);
        later([completion = std::move(completion)] { completion(QString()); });
    }
    void deletePassword(const QString& key, WriteCompletion completion) override {
        passwords_.remove(key);
        later([completion = std::move(completion)] { completion(QString()); });
    }

    const QHash<QString, QString>& passwords() const { return passwords_; }

private:
    template <typename F> void later(F&& f) {
        QMetaObject::invokeMethod(this, std::forward<F>(f), Qt::QueuedConnection);
    }

    QHash<QString, QString> passwords_;
};
