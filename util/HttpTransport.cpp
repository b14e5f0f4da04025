// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/HttpTransport.h"

#include "version.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>
#include <memory>

// One request under way: its growing body, its clocks and why it was cut short, if it was.
// Shared with the reply's handlers, so it lives until the reply is gone.
struct HttpTransport::Transfer {
    quint64 id = 0;
    QNetworkReply* reply = nullptr;
    Limits limits;
    bool checkDeclaredLength = false;
    QByteArray body;
    Error::Code abortCode = Error::Code::None;
    QTimer idle;
    QTimer total;
    bool hasContext = false;
    QPointer<QObject> context;
    Callback callback;
};

QByteArray HttpTransport::Result::header(QByteArrayView name) const {
    for (const auto& [key, value] : headers)
        if (QByteArrayView(key).compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return QByteArray();
}

HttpTransport::HttpTransport(QObject* parent) : QObject(parent), network_(new QNetworkAccessManager(this)) {}

HttpTransport::~HttpTransport() {
    const QList<quint64> ids = transfers_.keys();
    for (quint64 id : ids)
        cancel(id);
}

QByteArray HttpTransport::userAgent() {
    return QByteArrayLiteral("Ostrel Radio/" OSTREL_VERSION_SHORT);
}

quint64 HttpTransport::send(Request request, QObject* context, Callback callback) {
    QNetworkRequest net(request.url);
    net.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    for (const auto& [name, value] : request.headers)
        net.setRawHeader(name, value);
    // Each request stands alone: a session cookie or a remembered login would outlive a password
    // change, and Nextcloud asks for CSRF tokens from cookie sessions.
    net.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    net.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    net.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
    net.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    net.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    if (!request.followRedirects) {
        net.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    } else if (request.allowRedirect) {
        net.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
        net.setMaximumRedirectsAllowed(5);
    } else {
        net.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    }

    const QByteArray& method = request.method;
    QNetworkReply* reply = nullptr;
    if (method == "GET")
        reply = network_->get(net);
    else if (method == "HEAD")
        reply = network_->head(net);
    else if (method == "POST")
        reply = network_->post(net, request.body);
    else if (method == "PUT")
        reply = network_->put(net, request.body);
    else if (method == "DELETE")
        reply = network_->deleteResource(net);
    else
        reply = network_->sendCustomRequest(net, method, request.body);
    reply->setReadBufferSize(request.readBufferBytes);

    auto transfer = std::make_shared<Transfer>();
    const quint64 id = nextId_++;
    transfer->id = id;
    transfer->reply = reply;
    transfer->limits = request.limits;
    transfer->checkDeclaredLength = request.refuseDeclaredOverCap && method != "HEAD";
    transfer->hasContext = context != nullptr;
    transfer->context = context;
    transfer->callback = std::move(callback);
    transfers_.insert(id, transfer.get());
    if (context)
        connect(context, &QObject::destroyed, reply, [this, id] { cancel(id); });

    Transfer* t = transfer.get();
    t->idle.setSingleShot(true);
    t->total.setSingleShot(true);
    connect(&t->idle, &QTimer::timeout, reply, [this, t] { abortWith(*t, Error::Code::TimedOut); });
    connect(&t->total, &QTimer::timeout, reply, [this, t] { abortWith(*t, Error::Code::TooSlow); });
    t->idle.start(t->limits.idleTimeoutMs);
    t->total.start(t->limits.totalTimeoutMs);
    auto stillTalking = [t] { t->idle.start(t->limits.idleTimeoutMs); };
    connect(reply, &QNetworkReply::uploadProgress, reply, stillTalking);
    connect(reply, &QNetworkReply::redirected, reply, [this, t, allow = std::move(request.allowRedirect)](const QUrl& to) {
        t->idle.start(t->limits.idleTimeoutMs);
        if (!allow)
            return;
        if (allow(t->reply->url(), to))
            Q_EMIT t->reply->redirectAllowed();
        else
            abortWith(*t, Error::Code::RedirectRefused);
    });
    connect(reply, &QNetworkReply::metaDataChanged, reply, [this, t] {
        t->idle.start(t->limits.idleTimeoutMs);
        const QVariant length = t->reply->header(QNetworkRequest::ContentLengthHeader);
        if (t->checkDeclaredLength && length.isValid() && length.toLongLong() > t->limits.maxBodyBytes &&
            t->reply->attribute(QNetworkRequest::RedirectionTargetAttribute).isNull())
            abortWith(*t, Error::Code::TooLarge);
    });
    connect(reply, &QNetworkReply::readyRead, reply, [this, t] {
        t->idle.start(t->limits.idleTimeoutMs);
        if (t->abortCode != Error::Code::None)
            return;
        if (t->body.size() + t->reply->bytesAvailable() > t->limits.maxBodyBytes) {
            abortWith(*t, Error::Code::TooLarge);
            return;
        }
        t->body.append(t->reply->readAll());
    });
    connect(reply, &QNetworkReply::finished, reply, [this, transfer] {
        transfer->idle.stop();
        transfer->total.stop();
        transfer->reply->deleteLater();
        finish(transfer->id);
    });
    return id;
}

void HttpTransport::abortWith(Transfer& transfer, Error::Code code) {
    if (transfer.abortCode == Error::Code::None)
        transfer.abortCode = code;
    transfer.reply->abort(); // finishes the reply at once
}

void HttpTransport::cancel(quint64 id) {
    Transfer* transfer = transfers_.take(id);
    if (!transfer)
        return;
    transfer->callback = nullptr;
    transfer->reply->abort();
}

void HttpTransport::finish(quint64 id) {
    Transfer* transfer = transfers_.take(id);
    if (!transfer)
        return; // cancelled
    QNetworkReply* reply = transfer->reply;
    const Limits& limits = transfer->limits;
    Result result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.headers = reply->rawHeaderPairs();
    if (transfer->abortCode == Error::Code::None && reply->bytesAvailable() > 0) {
        if (transfer->body.size() + reply->bytesAvailable() > limits.maxBodyBytes)
            transfer->abortCode = Error::Code::TooLarge;
        else
            transfer->body.append(reply->readAll());
    }
    const QString networkText = reply->error() == QNetworkReply::NoError ? QString() : reply->errorString();
    Error& error = result.error;
    switch (transfer->abortCode) {
    case Error::Code::TimedOut:
        error = Error::make(Error::Code::TimedOut,
                            tr("The server did not answer within %1 seconds").arg(limits.idleTimeoutMs / 1000),
                            result.status, networkText);
        break;
    case Error::Code::TooSlow:
        error = Error::make(Error::Code::TooSlow,
                            tr("The server took longer than %1 seconds to answer").arg(limits.totalTimeoutMs / 1000),
                            result.status, networkText);
        break;
    case Error::Code::TooLarge:
        error = Error::make(Error::Code::TooLarge,
                            tr("The reply is larger than %1 MiB").arg(limits.maxBodyBytes / (1024 * 1024)),
                            result.status, networkText);
        break;
    case Error::Code::None:
        if (result.status != 0 && (result.status < 200 || result.status > 299)) {
            const QByteArray reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
            error = Error::make(Error::Code::HttpStatus,
                                tr("The server answered HTTP %1%2")
                                    .arg(result.status)
                                    .arg(reason.isEmpty() ? QString()
                                                          : QStringLiteral(" (%1)").arg(QString::fromLatin1(reason))),
                                result.status, networkText);
        } else if (!networkText.isNull()) {
            error = Error::make(Error::Code::NoAnswer, networkText, result.status, networkText);
        }
        break;
    default: // refused redirect
        error = Error::make(transfer->abortCode, networkText, result.status, networkText);
        break;
    }
    result.body = std::move(transfer->body);

    Callback callback = std::move(transfer->callback);
    if (callback && (!transfer->hasContext || transfer->context))
        callback(std::move(result));
}
