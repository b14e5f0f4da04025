// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "util/Error.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QUrl>
#include <functional>
#include <utility>

class QNetworkAccessManager;
class QNetworkReply;

// Every HTTP request of the program goes through one of these, on the main thread: the one
// network manager, the User-Agent, and the limits that keep a bad server from hanging or
// exhausting the program, given per request. Requests carry no cookies and no remembered
// logins, and nothing is cached here: callers that cache (HttpFetcher, IconLoader) decide what.
class HttpTransport : public QObject {
    Q_OBJECT
public:
    struct Limits {
        qint64 maxBodyBytes = 64 * 1024 * 1024; // a larger body ends the request
        int idleTimeoutMs = 15000;              // no byte for this long ends the request
        int totalTimeoutMs = 120000;            // a reply trickling in ends here
    };

    struct Request {
        QUrl url;
        QByteArray method = "GET";
        QList<std::pair<QByteArray, QByteArray>> headers;
        QByteArray body;
        Limits limits;
        // A declared length over the cap ends the transfer before any of the body comes.
        bool refuseDeclaredOverCap = false;
        // Redirects are followed unless they lead from https to http. With `allowRedirect` set,
        // each one (at most 5) is asked about first; with `followRedirects` false the 3xx answer
        // is the result.
        bool followRedirects = true;
        std::function<bool(const QUrl& from, const QUrl& to)> allowRedirect;
        // What the network layer may buffer between two reads: without a bound it may keep
        // reading a fast endless reply and never hand any of it over to the size check.
        qint64 readBufferBytes = 256 * 1024;
    };

    struct Result {
        Error error;    // None for a 2xx answer received whole
        int status = 0; // 0: no answer
        QByteArray body;
        QList<std::pair<QByteArray, QByteArray>> headers;
        bool ok() const { return error.ok(); }
        // The first header of that name, compared without case; empty when there is none.
        QByteArray header(QByteArrayView name) const;
    };
    using Callback = std::function<void(Result)>;

    explicit HttpTransport(QObject* parent = nullptr);
    ~HttpTransport() override;

    // "Ostrel Radio/<version>", sent with every request and by the stream player.
    static QByteArray userAgent();

    // Starts `request`. `callback` runs exactly once on this object's thread, never inside
    // send(), unless the request is cancelled or `context` is destroyed first: then the
    // request is aborted and the callback never runs. Gives the id for cancel().
    quint64 send(Request request, QObject* context, Callback callback);
    void cancel(quint64 id);
    int activeRequests() const { return int(transfers_.size()); }

private:
    struct Transfer;
    void abortWith(Transfer& transfer, Error::Code code);
    void finish(quint64 id);

    QNetworkAccessManager* network_;
    quint64 nextId_ = 1;
    QHash<quint64, Transfer*> transfers_;
};
