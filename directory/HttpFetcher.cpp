// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/HttpFetcher.h"

#include <QIODevice>
#include <QLoggingCategory>
#include <QNetworkDiskCache>
#include <memory>

Q_DECLARE_LOGGING_CATEGORY(lcDirectory)

namespace {
constexpr qsizetype kParserPadding = 64; // simdjson reads up to 64 bytes past the end

void pad(QByteArray& body) {
    if (body.capacity() < body.size() + kParserPadding)
        body.reserve(body.size() + kParserPadding);
}
} // namespace

HttpFetcher::HttpFetcher(HttpTransport& transport, const QString& cacheFolder, QObject* parent)
    : QObject(parent), transport_(transport) {
    if (!cacheFolder.isEmpty()) {
        cache_ = new QNetworkDiskCache(this);
        cache_->setCacheDirectory(cacheFolder);
        cache_->setMaximumCacheSize(256LL * 1024 * 1024);
    }
}

HttpFetcher::~HttpFetcher() = default;

void HttpFetcher::get(const QUrl& url, CachePolicy policy, Callback callback) {
    if (policy == CachePolicy::CacheFirst || policy == CachePolicy::CacheForADay) {
        if (std::optional<Reply> reply = stored(url, policy == CachePolicy::CacheFirst ? -1 : kDaySecs)) {
            QMetaObject::invokeMethod(
                this, [callback = std::move(callback), reply = std::move(*reply)] { callback(reply); },
                Qt::QueuedConnection);
            return;
        }
    }
    send(request(url), policy, std::move(callback));
}

void HttpFetcher::post(const QUrl& url, const QByteArray& form, Callback callback) {
    HttpTransport::Request req = request(url);
    req.method = "POST";
    req.headers.append({QByteArray("Content-Type"), QByteArray("application/x-www-form-urlencoded")});
    req.body = form;
    send(std::move(req), CachePolicy::NoCache, std::move(callback));
}

HttpTransport::Request HttpFetcher::request(const QUrl& url) const {
    HttpTransport::Request request;
    request.url = url;
    request.headers = {{QByteArray("Accept"), QByteArray("application/json")}};
    request.limits = limits_;
    return request;
}

bool HttpFetcher::isServerFailure(const Reply& reply) {
    if (!reply.ok())
        return reply.httpStatus == 0 || reply.httpStatus >= 500;
    // A captive portal or a broken proxy answers 200 with a page instead of JSON.
    for (const char c : reply.body) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        return c != '[' && c != '{';
    }
    return false; // an empty body: an empty answer, for the caller to judge
}

void HttpFetcher::send(HttpTransport::Request request, CachePolicy policy, Callback callback) {
    const QUrl url = request.url;
    transport_.send(std::move(request), this,
                    [this, url, policy, callback = std::move(callback)](HttpTransport::Result result) {
                        Reply reply;
                        reply.httpStatus = result.status;
                        if (!result.ok())
                            reply.error = std::move(result.error);
                        else
                            reply.body = std::move(result.body);
                        if (isServerFailure(reply)) {
                            // Yesterday's list beats none while the directory cannot be reached.
                            if (policy == CachePolicy::CacheForADay) {
                                if (std::optional<Reply> old = stored(url, -1)) {
                                    qCInfo(lcDirectory, "Using the stored reply for %s [%s]",
                                           qUtf8Printable(url.path()),
                                           qUtf8Printable(reply.ok()                       ? QStringLiteral("no JSON")
                                                          : reply.error.logText.isEmpty() ? reply.error.message
                                                                                          : reply.error.logText));
                                    old->stale = true;
                                    callback(std::move(*old));
                                    return;
                                }
                            }
                        } else if (reply.ok() && policy != CachePolicy::NoCache) {
                            store(url, result.status, result.headers, reply.body);
                        }
                        pad(reply.body);
                        callback(std::move(reply));
                    });
}

std::optional<HttpFetcher::Reply> HttpFetcher::stored(const QUrl& url, qint64 maxAgeSecs) const {
    if (!cache_)
        return std::nullopt;
    if (maxAgeSecs >= 0) {
        // Stored before replies carried their time: of unknown age, so too old.
        const QDateTime storedAt = cache_->metaData(url).lastModified();
        const qint64 age = storedAt.isValid() ? storedAt.secsTo(now()) : -1;
        if (age < 0 || age >= maxAgeSecs)
            return std::nullopt;
    }
    std::unique_ptr<QIODevice> device{cache_->data(url)};
    if (!device)
        return std::nullopt;
    Reply reply;
    reply.body.reserve(device->size() + kParserPadding);
    reply.body.append(device->readAll());
    reply.httpStatus = 200;
    reply.fromCache = true;
    return reply;
}

void HttpFetcher::store(const QUrl& url, int status, const QList<std::pair<QByteArray, QByteArray>>& headers,
                        const QByteArray& body) {
    if (!cache_)
        return;
    QNetworkCacheMetaData meta;
    meta.setUrl(url);
    meta.setSaveToDisk(true);
    meta.setLastModified(now()); // when the entry was written: what a reply's age is counted from
    QNetworkCacheMetaData::RawHeaderList raw;
    for (const auto& [name, value] : headers)
        raw.append({name, value});
    meta.setRawHeaders(raw);
    meta.setAttributes({{QNetworkRequest::HttpStatusCodeAttribute, status}});
    if (QIODevice* device = cache_->prepare(meta)) {
        device->write(body);
        cache_->insert(device);
    }
}
