// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QUrl>

class UserDefaults;

// The non-secret half of the user's cloud account, kept in the settings; the password is the
// credential store's.
struct CloudAccount {
    enum class ServerKind {
        Auto,      // only while setting up: a Nextcloud or ownCloud server is detected
        WebDav,    // the address is the WebDAV folder itself
        Nextcloud, // the address is the server's base; the user's files are under remote.php
    };

    QUrl serverURL;
    QString user;
    ServerKind kind = ServerKind::WebDav;
    bool enabled = false; // off until an account has been set up and tested

    // The folder in the user's storage that holds the records.
    static inline const QString kAppFolderName = QStringLiteral("Ostrel Radio");

    static CloudAccount load(const UserDefaults& defaults);
    void store(UserDefaults& defaults) const;

    // An http(s) address and a user name: enough to try.
    bool isComplete() const;
    // Why the address may not carry the password, or empty when it may: https, or plain http to
    // this machine only.
    QString insecureReason() const;
    // The address without a user name and password in it: those never reach the settings file.
    static QUrl withoutUserInfo(const QUrl& url) { return url.adjusted(QUrl::RemoveUserInfo); }
    bool isActive() const { return enabled && isComplete(); }
    // The user's WebDAV folder, ending in a slash.
    QUrl folderURL() const;
    // The application's folder inside it, ending in a slash.
    QUrl appFolderURL() const;
    // Names the password in the credential store: one per user and server.
    QString credentialKey() const;

    static QString kindName(ServerKind kind);
    static ServerKind kindFromName(const QString& name);

    Q_DECLARE_TR_FUNCTIONS(CloudAccount) // tr() for its texts; last, as the macro ends in "private:"
};
