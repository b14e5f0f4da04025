#include "directory/HttpFetcher.h"

#include <QIODevice>
#include <QNetworkDiskCache>
#include <memory>

namespace {
constexpr qsizetype kParserPadding = 64; // simdjson reads up to 64 bytes past the end
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
    if (policy == CachePolicy::CacheFirst && cache_) {
        if (std::unique_ptr<QIODevice> stored{cache_->data(url)}) {
            Reply reply;
            reply.body.reserve(stored->size() + kParserPadding);
            reply.body.append(stored->readAll());
            reply.httpStatus = 200;
            reply.fromCache = true;
            QMetaObject::invokeMethod(
                this, [callback = std::move(callback), reply = std::move(reply)] { callback(reply); },
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

void HttpFetcher::send(HttpTransport::Request request, CachePolicy policy, Callback callback) {
    const QUrl url = request.url;
    transport_.send(std::move(request), this,
                    [this, url, policy, callback = std::move(callback)](HttpTransport::Result result) {
                        Reply reply;
                        reply.httpStatus = result.status;
                        if (!result.ok()) {
                            reply.error = std::move(result.error);
                        } else {
                            if (policy != CachePolicy::NoCache)
                                store(url, result);
                            QByteArray& body = result.body;
                            if (body.capacity() < body.size() + kParserPadding)
                                body.reserve(body.size() + kParserPadding);
                            reply.body = std::move(body);
                        }
                        callback(std::move(reply));
                    });
}

void HttpFetcher::store(const QUrl& url, const HttpTransport::Result& result) {
    if (!cache_)
        return;
    QNetworkCacheMetaData meta;
    meta.setUrl(url);
    meta.setSaveToDisk(true);
    QNetworkCacheMetaData::RawHeaderList headers;
    for (const auto& [name, value] : result.headers)
        headers.append({name, value});
    meta.setRawHeaders(headers);
    meta.setAttributes({{QNetworkRequest::HttpStatusCodeAttribute, 200}});
    if (QIODevice* device = cache_->prepare(meta)) {
        device->write(result.body);
        cache_->insert(device);
    }
}
