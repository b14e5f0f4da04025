#include "directory/HttpFetcher.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QTimer>
#include <memory>

namespace {
constexpr qsizetype kParserPadding = 64; // simdjson reads up to 64 bytes past the end

QString describeStatus(int status, const QByteArray& reason) {
    return QCoreApplication::translate("HttpFetcher", "The server answered HTTP %1%2")
        .arg(status)
        .arg(reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(QString::fromLatin1(reason)));
}
} // namespace

// One request's progress: its growing body and why it was cut short, if it was.
struct HttpFetcher::Transfer {
    QUrl url;
    QByteArray body;
    QString abortReason;
    QTimer idle;
    QTimer total;
};

HttpFetcher::HttpFetcher(const QString& cacheFolder, const QString& userAgent, QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)), userAgent_(userAgent.toUtf8()) {
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

    track(network_->get(request(url)), url, policy, std::move(callback));
}

void HttpFetcher::post(const QUrl& url, const QByteArray& form, Callback callback) {
    QNetworkRequest req = request(url);
    req.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/x-www-form-urlencoded"));
    track(network_->post(req, form), url, CachePolicy::NoCache, std::move(callback));
}

QNetworkRequest HttpFetcher::request(const QUrl& url) const {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent_);
    request.setRawHeader("Accept", "application/json");
    // The network manager has no cache of its own: this class decides what is stored.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    return request;
}

void HttpFetcher::track(QNetworkReply* reply, const QUrl& url, CachePolicy policy, Callback callback) {
    // Without a bound the network thread may keep reading a fast endless reply and never hand
    // any of it over, so the size cap below would never be checked.
    reply->setReadBufferSize(256 * 1024);
    auto transfer = std::make_shared<Transfer>();
    transfer->url = url;
    auto abortWith = [reply, transfer](const QString& reason) {
        if (transfer->abortReason.isNull())
            transfer->abortReason = reason;
        reply->abort();
    };
    transfer->idle.setSingleShot(true);
    transfer->total.setSingleShot(true);
    QObject::connect(&transfer->idle, &QTimer::timeout, reply, [abortWith, this] {
        abortWith(tr("The server did not answer within %1 seconds").arg(limits_.idleTimeoutMs / 1000));
    });
    QObject::connect(&transfer->total, &QTimer::timeout, reply, [abortWith, this] {
        abortWith(tr("The server took longer than %1 seconds to answer").arg(limits_.totalTimeoutMs / 1000));
    });
    transfer->idle.start(limits_.idleTimeoutMs);
    transfer->total.start(limits_.totalTimeoutMs);

    connect(reply, &QNetworkReply::readyRead, reply, [reply, transfer, abortWith, this] {
        transfer->idle.start(limits_.idleTimeoutMs);
        if (transfer->body.size() + reply->bytesAvailable() > limits_.maxBodyBytes) {
            abortWith(tr("The reply is larger than %1 MiB").arg(limits_.maxBodyBytes / (1024 * 1024)));
            return;
        }
        transfer->body.append(reply->readAll());
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, transfer, policy, callback = std::move(callback)] {
        transfer->idle.stop();
        transfer->total.stop();
        if (transfer->abortReason.isNull() && reply->bytesAvailable() > 0)
            transfer->body.append(reply->readAll());
        finish(reply, *transfer, policy, callback);
    });
}

void HttpFetcher::finish(QNetworkReply* reply, Transfer& transfer, CachePolicy policy, const Callback& callback) {
    reply->deleteLater();
    Reply result;
    result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QByteArray& body = transfer.body;

    if (!transfer.abortReason.isNull()) {
        result.error = transfer.abortReason;
    } else if (result.httpStatus != 0 && (result.httpStatus < 200 || result.httpStatus > 299)) {
        result.error = describeStatus(result.httpStatus,
                                      reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
    } else if (reply->error() != QNetworkReply::NoError) {
        result.error = reply->errorString();
    } else {
        if (policy != CachePolicy::NoCache)
            store(transfer.url, reply, body);
        if (body.capacity() < body.size() + kParserPadding)
            body.reserve(body.size() + kParserPadding);
        result.body = std::move(body);
    }
    callback(std::move(result));
}

void HttpFetcher::store(const QUrl& url, QNetworkReply* reply, const QByteArray& body) {
    if (!cache_)
        return;
    QNetworkCacheMetaData meta;
    meta.setUrl(url);
    meta.setSaveToDisk(true);
    meta.setRawHeaders(reply->rawHeaderPairs());
    meta.setAttributes({{QNetworkRequest::HttpStatusCodeAttribute, 200}});
    if (QIODevice* device = cache_->prepare(meta)) {
        device->write(body);
        cache_->insert(device);
    }
}
