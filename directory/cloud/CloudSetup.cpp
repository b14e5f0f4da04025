// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/cloud/CloudSetup.h"

#include "directory/cloud/CredentialStore.h"
#include "util/HttpTransport.h"
#include "util/UserDefaults.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

CloudSetup::CloudSetup(HttpTransport& transport, UserDefaults& defaults, CredentialStore& credentials,
                       const WebDavDatabase::Options& options, QObject* parent)
    : QObject(parent)
    , transport_(transport)
    , defaults_(defaults)
    , credentials_(credentials)
    , options_(options) {}

CloudSetup::~CloudSetup() = default;

void CloudSetup::resolveKind(CloudAccount account, std::function<void(CloudAccount)> done) {
    if (account.kind != CloudAccount::ServerKind::Auto)
        return done(account);
    // An address already inside the WebDAV tree is the folder itself.
    if (account.serverURL.path().contains(QLatin1String("/remote.php/"))) {
        account.kind = CloudAccount::ServerKind::WebDav;
        return done(account);
    }
    QUrl status = account.serverURL;
    QString path = status.path(QUrl::FullyEncoded);
    if (!path.endsWith(u'/'))
        path += u'/';
    status.setPath(path + QStringLiteral("status.php"), QUrl::StrictMode);
    HttpTransport::Request request;
    request.url = status;
    request.limits = {64 * 1024, options_.timeoutMs, options_.totalTimeoutMs};
    request.followRedirects = false;
    transport_.send(std::move(request), this, [account, done = std::move(done)](HttpTransport::Result result) mutable {
        // Nextcloud and ownCloud both answer {"installed": true, "productname": ..., ...}.
        const QJsonObject answer = QJsonDocument::fromJson(result.body).object();
        const bool isNextcloud = result.ok() && answer.contains(QLatin1String("installed"));
        account.kind = isNextcloud ? CloudAccount::ServerKind::Nextcloud : CloudAccount::ServerKind::WebDav;
        done(account);
    });
}

void CloudSetup::testConnection(CloudAccount account, const QString& password, Completion completion) {
    account.serverURL = CloudAccount::withoutUserInfo(account.serverURL);
    if (const QString why = account.insecureReason(); !why.isEmpty())
        return completion(Outcome{CloudError::make(CloudError::Code::ServerRejected, why), QString(), account});
    resolveKind(
        std::move(account), [this, password, completion = std::move(completion)](CloudAccount resolved) {
            auto database = std::make_shared<WebDavDatabase>(transport_, credentials_, options_);
            database->setAccount(resolved, password);
            database->checkServer([database, resolved, completion](WebDavDatabase::ServerCheck check) {
                completion(Outcome{check.error, check.warning, resolved});
                // The check's last reply still refers to the database: let it go after it.
                QMetaObject::invokeMethod(
                    database.get(), [database] {}, Qt::QueuedConnection);
            });
        });
}

void CloudSetup::configure(CloudAccount account, const QString& password, Completion completion) {
    testConnection(
        std::move(account), password, [this, password, completion = std::move(completion)](Outcome outcome) {
            if (!outcome.ok())
                return completion(outcome);
            outcome.account.enabled = true;
            credentials_.writePassword(
                outcome.account.credentialKey(), password,
                [this, outcome, completion](QString error) mutable {
                    if (!error.isNull()) {
                        outcome.passwordNotStored = true;
                        outcome.error = CloudError::make(
                            CloudError::Code::NotAuthenticated,
                            tr("The password could not be stored in the keyring: %1").arg(error));
                        return completion(outcome);
                    }
                    outcome.account.store(defaults_);
                    completion(outcome);
                });
        });
}

void CloudSetup::disable(std::function<void(QString error)> completion) {
    CloudAccount account = CloudAccount::load(defaults_);
    account.enabled = false;
    account.store(defaults_);
    credentials_.deletePassword(account.credentialKey(), std::move(completion));
}

std::unique_ptr<WebDavDatabase> CloudSetup::makeDatabase(HttpTransport& transport, const UserDefaults& defaults,
                                                         CredentialStore& credentials,
                                                         const WebDavDatabase::Options& options,
                                                         QObject* parent) {
    auto database = std::make_unique<WebDavDatabase>(transport, credentials, options, parent);
    database->setAccount(CloudAccount::load(defaults));
    return database;
}

int CloudSetup::configureFromCommandLine(const QString& url, const QString& user, QTextStream& in,
                                         QTextStream& out, HttpTransport& transport, UserDefaults& defaults,
                                         CredentialStore& credentials, CloudAccount::ServerKind kind,
                                         const WebDavDatabase::Options& options) {
    CloudAccount account;
    account.serverURL = CloudAccount::withoutUserInfo(QUrl::fromUserInput(url));
    account.user = user;
    account.kind = kind;
    if (!account.isComplete()) {
        out << tr("Give the address of a WebDAV folder or Nextcloud server (https) and a user name.") << '\n';
        out.flush();
        return UsageError;
    }
    if (const QString why = account.insecureReason(); !why.isEmpty()) {
        out << tr("Cloud sync is not set up: %1").arg(why) << '\n';
        out.flush();
        return UsageError;
    }
    const QString password = in.readLine();
    if (password.isEmpty()) {
        out << tr("Give the password on the first line of the standard input.") << '\n';
        out.flush();
        return UsageError;
    }

    CloudSetup setup(transport, defaults, credentials, options);
    QEventLoop loop;
    Outcome result;
    setup.configure(account, password, [&](Outcome outcome) {
        result = std::move(outcome);
        loop.quit();
    });
    loop.exec();

    if (!result.ok()) {
        out << tr("Cloud sync is not set up: %1").arg(result.error.message) << '\n';
        out.flush();
        if (result.passwordNotStored)
            return CredentialsNotStored;
        return result.error.code == CloudError::Code::NotAuthenticated ? LoginRefused : ServerUnusable;
    }
    if (!result.warning.isEmpty())
        out << tr("Warning: %1").arg(result.warning) << '\n';
    out << tr("Cloud sync is on, with the folder %1").arg(result.account.folderURL().toString()) << '\n';
    defaults.sync();
    out.flush();
    return Configured;
}
