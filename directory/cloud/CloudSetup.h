// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/cloud/CloudAccount.h"
#include "directory/cloud/CloudDatabase.h"
#include "directory/cloud/WebDavDatabase.h"

#include <memory>
#include <QObject>

class CredentialStore;
class HttpTransport;
class QTextStream;
class UserDefaults;

// Setting up the cloud account: finding the user's WebDAV folder, checking the server, and
// keeping the account (settings) and its password (credential store). Main thread.
class CloudSetup : public QObject {
    Q_OBJECT
public:
    struct Outcome {
        CloudError error;               // set when the account cannot be used (or was not stored)
        QString warning;                // usable, but with a risk the user should know
        CloudAccount account;           // with its server kind resolved
        bool passwordNotStored = false; // usable, but the credential store refused the password
        bool ok() const { return error.ok(); }
    };
    using Completion = std::function<void(Outcome)>;

    // Exit codes of the command line (sysexits.h).
    enum ExitCode {
        Configured = 0,
        UsageError = 64,
        ServerUnusable = 69,
        CredentialsNotStored = 74,
        LoginRefused = 77
    };

    CloudSetup(HttpTransport& transport, UserDefaults& defaults, CredentialStore& credentials,
               const WebDavDatabase::Options& options = WebDavDatabase::Options(), QObject* parent = nullptr);
    ~CloudSetup() override;

    HttpTransport& transport() const { return transport_; }

    // "Test connection": resolves an Auto server kind (a Nextcloud or ownCloud server answers
    // status.php), then checks login and folder and that the server refuses a stale If-Match;
    // when it does not, the outcome carries a warning. Stores nothing.
    void testConnection(CloudAccount account, const QString& password, Completion completion);
    // Tests, and when the account is usable stores the password, then the account, enabled.
    void configure(CloudAccount account, const QString& password, Completion completion);
    // Sync off; the password is removed from the credential store.
    void disable(std::function<void(QString error)> completion);

    // The store for the account in the settings; without an enabled one it has no account,
    // which makes sync behave as for a user who is not signed in.
    static std::unique_ptr<WebDavDatabase>
    makeDatabase(HttpTransport& transport, const UserDefaults& defaults, CredentialStore& credentials,
                 const WebDavDatabase::Options& options = WebDavDatabase::Options(),
                 QObject* parent = nullptr);

    // `--configure-cloud URL USER`: reads the password from the first line of `in`, tests the
    // account and stores it, reporting on `out`. Runs its own event loop until done; returns
    // an ExitCode.
    static int configureFromCommandLine(const QString& url, const QString& user, QTextStream& in,
                                        QTextStream& out, HttpTransport& transport, UserDefaults& defaults,
                                        CredentialStore& credentials,
                                        CloudAccount::ServerKind kind = CloudAccount::ServerKind::Auto,
                                        const WebDavDatabase::Options& options = WebDavDatabase::Options());

private:
    void resolveKind(CloudAccount account, std::function<void(CloudAccount)> done);

    HttpTransport& transport_;
    UserDefaults& defaults_;
    CredentialStore& credentials_;
    WebDavDatabase::Options options_;
};
