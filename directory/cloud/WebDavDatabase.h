// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/cloud/CloudAccount.h"
#include "directory/cloud/CloudDatabase.h"

#include <QHash>
#include <QObject>

class CredentialStore;
class HttpTransport;

// The record store over a WebDAV folder of the user's storage (Nextcloud, ownCloud, Apache
// mod_dav, ...): each record is one file "<name>.cbor" in the application's folder, in the
// envelope of CloudRecord.h.
//
// Fetch is a GET; a save is a PUT made conditional on the fetched version (If-Match with its
// strong entity tag, If-Unmodified-Since with its date where the server gave only a weak tag,
// If-None-Match: * for a new record), so that the server refuses with 412 to overwrite a newer
// version. The version is the server's entity tag (OC-ETag before ETag) and Last-Modified date.
//
// Requests run on the main thread through the program's HTTP transport, with a 15-second idle
// timeout and a one-minute total time limit, identity encoding (entity tags of compressed bodies differ), no cookies and no redirects.
// A 429 answer is retried after the wait the server asks for, a few times.
class WebDavDatabase : public QObject, public CloudDatabase {
    Q_OBJECT
public:
    struct Options {
        int timeoutMs = 15000;      // without a byte
        int totalTimeoutMs = 60000; // for a whole request, however it trickles in
        int rateLimitRetries = 2; // retries after a 429 before giving up
        int defaultRetryAfterMs = 5000;
        int maxRetryAfterMs = 60000; // a longer wait is cut to this
        qint64 maxRecordBytes = 8 * 1024 * 1024;
    };

    WebDavDatabase(HttpTransport& transport, CredentialStore& credentials, QObject* parent = nullptr);
    WebDavDatabase(HttpTransport& transport, CredentialStore& credentials, const Options& options,
                   QObject* parent = nullptr);
    ~WebDavDatabase() override;

    // The account to use from now on; its password is read from the credential store at the
    // first request.
    void setAccount(const CloudAccount& account);
    // The account with a password given here, not read from the store (checking an account
    // before it is stored).
    void setAccount(const CloudAccount& account, const QString& password);
    const CloudAccount& account() const { return account_; }

    bool hasAccount() const override;
    void fetchRecord(const QString& recordName, FetchCompletion completion) override;
    void saveRecord(const CloudRecord& record, SaveCompletion completion) override;

    QUrl recordURL(const QString& recordName) const;

    struct ServerCheck {
        CloudError error; // set when the folder cannot be used
        bool refusesStaleSaves = false;
        QString warning; // set when saves of two machines may overwrite each other
    };
    using CheckCompletion = std::function<void(ServerCheck)>;
    // Checks the login and the folder, creates the application's folder, and writes a scratch
    // file there with a stale If-Match, which a usable server refuses with 412.
    void checkServer(CheckCompletion completion);

private:
    struct Request {
        QByteArray verb;
        QUrl url;
        QList<std::pair<QByteArray, QByteArray>> headers;
        QByteArray body;
    };
    struct Response {
        CloudError failure; // the request could not be made or got no answer
        int status = 0;
        QByteArray body;
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray header(const char* name) const { return headers.value(QByteArray(name)); }
    };
    using ResponseHandler = std::function<void(Response)>;
    struct Version {
        QByteArray tag;
        QDateTime modified;
        QDateTime created;
    };

    void send(Request request, ResponseHandler handler);
    void transmit(const Request& request, const ResponseHandler& handler, int rateLimitRetriesLeft);
    void withPassword(std::function<void(CloudError)> then);
    int retryAfterMs(const Response& response) const;
    static CloudError errorFor(const Response& response);
    static Version versionFromHeaders(const Response& response);
    void readVersion(const QUrl& url, std::function<void(Version)> done);
    void put(const CloudRecord& record, const QByteArray& body, bool folderMade, SaveCompletion completion);
    void afterSave(CloudRecord saved, const QByteArray& body, const Response& response,
                   SaveCompletion completion);
    template <typename F> void later(F&& f);

    HttpTransport& transport_;
    CredentialStore& credentials_;
    Options options_;
    CloudAccount account_;
    std::optional<QString> password_;
    bool passwordFromStore_ = true;
    quint64 accountGeneration_ = 0;
    std::vector<std::function<void(CloudError)>> waitingForPassword_;
};
