// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/cloud/WebDavDatabase.h"

#include "directory/cloud/CloudLog.h"
#include "directory/cloud/CredentialStore.h"
#include "directory/cloud/HttpDates.h"
#include "util/HttpTransport.h"
#include "util/RemoteText.h"

#include <algorithm>
#include <QPointer>
#include <QTimer>
#include <QUuid>
#include <QXmlStreamReader>
#include <utility>

namespace {
const QByteArray kStaleTag = "\"0\"";

bool isWeak(const QByteArray& tag) {
    return tag.startsWith("W/");
}

bool isSuccess(int status) {
    return status >= 200 && status <= 299;
}

// getetag, getlastmodified and creationdate of the first resource in a PROPFIND answer.
void parsePropfind(const QByteArray& xml, QByteArray* tag, QDateTime* modified, QDateTime* created) {
    const QString dav = QStringLiteral("DAV:");
    QXmlStreamReader reader(xml);
    while (!reader.atEnd() && !reader.hasError()) {
        reader.readNext();
        if (reader.namespaceUri() != dav)
            continue;
        const auto name = reader.name();
        if (reader.isEndElement() && name == QLatin1String("response"))
            return; // only the first resource
        if (!reader.isStartElement())
            continue;
        if (name == QLatin1String("getetag"))
            *tag = reader.readElementText().trimmed().toLatin1();
        else if (name == QLatin1String("getlastmodified"))
            *modified = httpdates::parse(reader.readElementText().trimmed().toLatin1());
        else if (name == QLatin1String("creationdate"))
            *created = QDateTime::fromString(reader.readElementText().trimmed(), Qt::ISODate).toUTC();
    }
}
} // namespace

WebDavDatabase::WebDavDatabase(HttpTransport& transport, CredentialStore& credentials, QObject* parent)
    : WebDavDatabase(transport, credentials, Options(), parent) {}

WebDavDatabase::WebDavDatabase(HttpTransport& transport, CredentialStore& credentials, const Options& options,
                               QObject* parent)
    : QObject(parent)
    , transport_(transport)
    , credentials_(credentials)
    , options_(options) {}

WebDavDatabase::~WebDavDatabase() = default;

template <typename F> void WebDavDatabase::later(F&& f) {
    QMetaObject::invokeMethod(this, std::forward<F>(f), Qt::QueuedConnection);
}

void WebDavDatabase::setAccount(const CloudAccount& account) {
    account_ = account;
    password_.reset();
    passwordFromStore_ = true;
    ++accountGeneration_;
}

void WebDavDatabase::setAccount(const CloudAccount& account, const QString& password) {
    setAccount(account);
    password_ = password;
    passwordFromStore_ = false;
}

bool WebDavDatabase::hasAccount() const {
    return account_.isActive();
}

QUrl WebDavDatabase::recordURL(const QString& recordName) const {
    QUrl url = account_.appFolderURL();
    url.setPath(url.path(QUrl::FullyEncoded) + QString::fromLatin1(QUrl::toPercentEncoding(recordName)) +
                    QStringLiteral(".cbor"),
                QUrl::StrictMode);
    return url;
}

// ---- Transport

void WebDavDatabase::withPassword(std::function<void(CloudError)> then) {
    if (password_) {
        then(CloudError());
        return;
    }
    waitingForPassword_.push_back(std::move(then));
    if (waitingForPassword_.size() > 1)
        return; // a read is under way
    const quint64 generation = accountGeneration_;
    credentials_.readPassword(
        account_.credentialKey(), [this, self = QPointer<WebDavDatabase>(this),
                                   generation](std::optional<QString> password, QString error) {
            if (!self || generation != accountGeneration_)
                return; // the account changed meanwhile; its own read answers the waiting requests
            CloudError result;
            if (password)
                password_ = *password;
            else if (error.isNull())
                result = CloudError::make(CloudError::Code::NotAuthenticated,
                                          tr("No password is stored for %1").arg(account_.credentialKey()));
            else
                result =
                    CloudError::make(CloudError::Code::NotAuthenticated,
                                     tr("The password could not be read from the keyring: %1").arg(error));
            auto waiting = std::exchange(waitingForPassword_, {});
            for (auto& then : waiting)
                then(result);
        });
}

void WebDavDatabase::send(Request request, ResponseHandler handler) {
    withPassword([this, request = std::move(request), handler = std::move(handler)](CloudError error) {
        if (error.ok() && !account_.insecureReason().isEmpty())
            error = CloudError::make(CloudError::Code::ServerRejected, account_.insecureReason());
        if (!error.ok()) {
            Response response;
            response.failure = error;
            handler(response);
            return;
        }
        transmit(request, handler, options_.rateLimitRetries);
    });
}

void WebDavDatabase::transmit(const Request& request, const ResponseHandler& handler,
                              int rateLimitRetriesLeft) {
    HttpTransport::Request net;
    net.url = request.url;
    net.method = request.verb;
    net.body = request.body;
    net.headers = {
        {"Authorization", "Basic " + (account_.user + u':' + password_.value_or(QString())).toUtf8().toBase64()},
        // Entity tags name the bytes as sent: a compressed body would have another one.
        {"Accept-Encoding", "identity"},
    };
    net.headers.append(request.headers);
    net.limits = {options_.maxRecordBytes, options_.timeoutMs, options_.totalTimeoutMs};
    net.followRedirects = false;

    transport_.send(std::move(net), this, [this, request, handler, rateLimitRetriesLeft](HttpTransport::Result result) {
        using Code = CloudError::Code;
        Response response;
        response.status = result.status;
        if (result.error.code == Code::TooSlow) {
            response.status = 0;
            response.failure = CloudError::make(Code::NetworkUnavailable, result.error.message);
        } else if (result.error.code == Code::TooLarge) {
            response.failure = CloudError::make(
                Code::ServerRejected, tr("The answer is larger than %1 MiB").arg(options_.maxRecordBytes / (1024 * 1024)),
                result.status);
        } else if (response.status == 0) {
            response.failure = CloudError::make(Code::NetworkUnavailable, result.error.message);
        } else {
            // Any status is an answer here: the callers decide what it means.
            for (const auto& [name, value] : result.headers)
                response.headers.insert(name.toLower(), value);
            response.body = std::move(result.body);
        }
        if (response.status == 429 && rateLimitRetriesLeft > 0) {
            QTimer::singleShot(retryAfterMs(response), this, [this, request, handler, rateLimitRetriesLeft] {
                transmit(request, handler, rateLimitRetriesLeft - 1);
            });
            return;
        }
        handler(std::move(response));
    });
}

int WebDavDatabase::retryAfterMs(const Response& response) const {
    const QByteArray retryAfter = response.header("retry-after").trimmed();
    qint64 ms = options_.defaultRetryAfterMs;
    bool isNumber = false;
    const qint64 seconds = retryAfter.toLongLong(&isNumber);
    if (isNumber) {
        // Compared in seconds first: a huge value must not overflow.
        ms = seconds > options_.maxRetryAfterMs / 1000 ? options_.maxRetryAfterMs : seconds * 1000;
    } else {
        // A date: measured against the server's own clock, never this machine's.
        const QDateTime until = httpdates::parse(retryAfter);
        const QDateTime now = httpdates::parse(response.header("date"));
        if (until.isValid() && now.isValid())
            ms = now.msecsTo(until);
    }
    return int(std::clamp<qint64>(ms, 0, options_.maxRetryAfterMs));
}

CloudError WebDavDatabase::errorFor(const Response& response) {
    using Code = CloudError::Code;
    if (!response.failure.ok())
        return response.failure;
    const int status = response.status;
    if (status == 401)
        return CloudError::make(Code::NotAuthenticated, tr("The server refused the login (HTTP 401)"), status);
    if (status == 403)
        return CloudError::make(Code::ServerRejected, tr("The server does not allow this (HTTP 403)"), status);
    if (status == 412)
        return CloudError::make(Code::ServerRecordChanged,
                                tr("The record changed on the server since it was fetched (HTTP 412)"), status);
    if (status == 423) // Nextcloud locks a file while another request writes it
        return CloudError::make(Code::ServerRecordChanged,
                                tr("Another save is writing the record (HTTP 423)"), status);
    if (status == 429)
        return CloudError::make(Code::RateLimited, tr("The server keeps asking to wait (HTTP 429)"), status);
    if (status >= 300 && status <= 399)
        return CloudError::make(Code::ServerRejected,
                                tr("The server redirects to %1 (HTTP %2): use that address")
                                    .arg(QString::fromUtf8(response.header("location")))
                                    .arg(status),
                                status);
    return CloudError::make(Code::ServerRejected, tr("The server answered HTTP %1").arg(status), status);
}

WebDavDatabase::Version WebDavDatabase::versionFromHeaders(const Response& response) {
    Version version;
    // Nextcloud's ETag header may be rewritten by proxies; its OC-ETag is the file's own.
    version.tag = response.header("oc-etag").trimmed();
    if (version.tag.isEmpty())
        version.tag = response.header("etag").trimmed();
    version.modified = httpdates::parse(response.header("last-modified"));
    return version;
}

void WebDavDatabase::readVersion(const QUrl& url, std::function<void(Version)> done) {
    Request request{
        "PROPFIND",
        url,
        {{"Depth", "0"}, {"Content-Type", "application/xml; charset=utf-8"}},
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
        "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:getetag/><d:getlastmodified/><d:creationdate/></d:prop>"
        "</d:propfind>"};
    send(std::move(request), [done = std::move(done)](Response response) {
        Version version;
        if (response.failure.ok() && response.status == 207)
            parsePropfind(response.body, &version.tag, &version.modified, &version.created);
        done(version);
    });
}

// ---- Records

void WebDavDatabase::fetchRecord(const QString& recordName, FetchCompletion completion) {
    if (!hasAccount()) {
        later([completion = std::move(completion)] {
            completion(std::nullopt, CloudError::make(CloudError::Code::NotAuthenticated,
                                                      tr("Cloud sync is off: no account is set up")));
        });
        return;
    }
    const QUrl url = recordURL(recordName);
    send(Request{"GET", url, {}, {}},
         [this, url, recordName, completion = std::move(completion)](Response response) {
             if (!response.failure.ok() || !isSuccess(response.status)) {
                 if (response.failure.ok() && response.status == 404)
                     completion(std::nullopt,
                                CloudError::make(CloudError::Code::RecordNotFound,
                                                 tr("The record %1 does not exist yet").arg(recordName)));
                 else
                     completion(std::nullopt, errorFor(response));
                 return;
             }
             QString why;
             std::optional<CloudRecord> decoded = cloudenvelope::decode(response.body, &why);
             if (decoded && decoded->recordName != recordName)
                 why = QStringLiteral("it names itself %1").arg(decoded->recordName);
             CloudRecord record;
             if (decoded && why.isEmpty()) {
                 record = std::move(*decoded);
             } else {
                 // Kept as a record without fields, so that the next save can replace it.
                 qCWarning(lcCloud, "%s [%s]", "Unreadable cloud record", qUtf8Printable(remote::forLog(why)));
                 record.recordName = recordName;
             }
             const Version version = versionFromHeaders(response);
             record.changeTag = version.tag;
             record.modificationDate = version.modified;
             if (!record.changeTag.isEmpty() && record.modificationDate.isValid()) {
                 completion(std::move(record), CloudError());
                 return;
             }
             readVersion(url, [record = std::move(record), completion](Version version) mutable {
                 if (record.changeTag.isEmpty())
                     record.changeTag = version.tag;
                 if (!record.modificationDate.isValid())
                     record.modificationDate = version.modified;
                 record.creationDate = version.created;
                 completion(std::move(record), CloudError());
             });
         });
}

void WebDavDatabase::saveRecord(const CloudRecord& record, SaveCompletion completion) {
    if (!hasAccount()) {
        later([completion = std::move(completion)] {
            completion(std::nullopt, CloudError::make(CloudError::Code::NotAuthenticated,
                                                      tr("Cloud sync is off: no account is set up")));
        });
        return;
    }
    put(record, cloudenvelope::encode(record), false, std::move(completion));
}

void WebDavDatabase::put(const CloudRecord& record, const QByteArray& body, bool folderMade,
                         SaveCompletion completion) {
    Request request{"PUT", recordURL(record.recordName), {{"Content-Type", "application/cbor"}}, body};
    if (record.isNew())
        request.headers.append({QByteArray("If-None-Match"), QByteArray("*")});
    else if (!isWeak(record.changeTag))
        request.headers.append({QByteArray("If-Match"), record.changeTag});
    else if (record.modificationDate.isValid())
        // A weak tag never matches in If-Match; the date is the next best guard.
        request.headers.append(
            {QByteArray("If-Unmodified-Since"), httpdates::format(record.modificationDate)});

    send(std::move(request), [this, record, body, folderMade,
                              completion = std::move(completion)](Response response) mutable {
        if (response.failure.ok() && isSuccess(response.status)) {
            afterSave(record, body, response, std::move(completion));
            return;
        }
        // 409 (Apache) or 404 (others): the application's folder is missing.
        if (response.failure.ok() && (response.status == 409 || response.status == 404)) {
            if (folderMade) {
                completion(std::nullopt, CloudError::make(CloudError::Code::ServerRejected,
                                                          tr("The folder %1 cannot be made or used (HTTP %2)")
                                                              .arg(account_.appFolderURL().toString())
                                                              .arg(response.status)));
                return;
            }
            send(Request{"MKCOL", account_.appFolderURL(), {}, {}},
                 [this, record, body, completion = std::move(completion)](Response made) mutable {
                     // Whatever MKCOL says, the PUT tells: another machine may have made the
                     // folder at the same moment, and then this MKCOL fails.
                     if (!made.failure.ok() || made.status == 401) {
                         completion(std::nullopt, errorFor(made));
                         return;
                     }
                     put(record, body, true, std::move(completion));
                 });
            return;
        }
        completion(std::nullopt, errorFor(response));
    });
}

void WebDavDatabase::afterSave(CloudRecord saved, const QByteArray& body, const Response& response,
                               SaveCompletion completion) {
    const Version version = versionFromHeaders(response);
    saved.changeTag = version.tag;
    saved.modificationDate = version.modified;
    saved.creationDate = QDateTime();
    if (!saved.changeTag.isEmpty() && saved.modificationDate.isValid()) {
        completion(std::move(saved), CloudError());
        return;
    }
    // No version in the answer (Apache gives none): read it back, and take it only when the
    // bytes read are ours, not those of another machine's save in between.
    const QUrl url = recordURL(saved.recordName);
    send(Request{"GET", url, {}, {}}, [this, url, saved = std::move(saved), body,
                                       completion = std::move(completion)](Response read) mutable {
        saved.changeTag.clear();
        saved.modificationDate = QDateTime();
        if (read.failure.ok() && isSuccess(read.status) && read.body != body) {
            // Another machine's save landed right after this one, or with it: servers check
            // If-Match and write without a lock, so two saves at one moment may both pass.
            // Saving again over the newer version loses neither.
            completion(std::nullopt,
                       CloudError::make(CloudError::Code::ServerRecordChanged,
                                        tr("Another save replaced the record at the same moment")));
            return;
        }
        if (read.failure.ok() && isSuccess(read.status)) {
            const Version version = versionFromHeaders(read);
            saved.changeTag = version.tag;
            saved.modificationDate = version.modified;
            if (saved.changeTag.isEmpty() || !saved.modificationDate.isValid()) {
                readVersion(url, [saved = std::move(saved), completion](Version version) mutable {
                    saved.changeTag = version.tag;
                    saved.modificationDate = version.modified;
                    saved.creationDate = version.created;
                    completion(std::move(saved), CloudError());
                });
                return;
            }
        }
        // Saved, but its version is unknown: the next launch takes the record over again.
        completion(std::move(saved), CloudError());
    });
}

// ---- Connection check

void WebDavDatabase::checkServer(CheckCompletion completion) {
    using Code = CloudError::Code;
    if (!account_.isComplete()) {
        later([completion = std::move(completion)] {
            completion(ServerCheck{
                CloudError::make(Code::NotAuthenticated, tr("An http(s) address and a user name are needed")),
                false,
                {}});
        });
        return;
    }
    auto fail = [completion](CloudError error) { completion(ServerCheck{error, false, {}}); };
    const QUrl folder = account_.folderURL();
    send(Request{"PROPFIND", folder, {{"Depth", "0"}}, {}}, [this, folder, fail, completion](Response found) {
        if (!found.failure.ok() || found.status != 207) {
            if (found.failure.ok() && found.status == 404)
                fail(CloudError::make(Code::ServerRejected,
                                      tr("There is no folder at %1").arg(folder.toString())));
            else if (found.failure.ok() && isSuccess(found.status))
                fail(CloudError::make(
                    Code::ServerRejected,
                    tr("%1 is not a WebDAV folder (HTTP %2)").arg(folder.toString()).arg(found.status)));
            else
                fail(errorFor(found));
            return;
        }
        send(Request{"MKCOL", account_.appFolderURL(), {}, {}}, [this, fail, completion](Response made) {
            if (!made.failure.ok() || (!isSuccess(made.status) && made.status != 405)) {
                fail(errorFor(made));
                return;
            }
            QUrl scratch = account_.appFolderURL();
            scratch.setPath(scratch.path(QUrl::FullyEncoded) + QStringLiteral(".check-") +
                                QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".tmp"),
                            QUrl::StrictMode);
            send(Request{"PUT", scratch, {{"If-None-Match", "*"}}, "check"},
                 [this, scratch, fail, completion](Response created) {
                     if (!created.failure.ok() || !isSuccess(created.status)) {
                         fail(errorFor(created));
                         return;
                     }
                     send(Request{"PUT", scratch, {{"If-Match", kStaleTag}}, "stale"},
                          [this, scratch, completion](Response stale) {
                              ServerCheck check;
                              check.refusesStaleSaves = stale.failure.ok() && stale.status == 412;
                              if (!check.refusesStaleSaves)
                                  check.warning = QStringLiteral(
                                      "The server does not refuse a save over a changed file (If-Match): "
                                      "when two machines save at the same time, sync may lose changes.");
                              send(Request{"DELETE", scratch, {}, {}},
                                   [check, completion](Response) { completion(check); });
                          });
                 });
        });
    });
}
