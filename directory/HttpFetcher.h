// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "util/HttpTransport.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QUrl>
#include <functional>
#include <optional>

class QNetworkDiskCache;

// The directory's GET and form POST requests, through the program's HTTP transport, with a
// disk cache under our control.
class HttpFetcher : public QObject {
    Q_OBJECT
public:
    enum class CachePolicy {
        CacheFirst,   // a stored reply, whatever its age; the network only without one
        CacheForADay, // a stored reply up to a day old; else the network, and when the server
                      // cannot answer, the stored reply however old
        RefreshCache, // the network, and the reply replaces the stored one
        NoCache,      // the network; nothing read from or written to the cache
    };

    struct Reply {
        QByteArray body;  // capacity leaves room for parsers that read past the end
        Error error;      // readable; None on success
        int httpStatus = 0;
        bool fromCache = false;
        bool stale = false; // a stored reply standing in for a server that did not answer
        bool ok() const { return error.ok(); }
    };
    using Callback = std::function<void(Reply)>;
    using Limits = HttpTransport::Limits;
    using Clock = std::function<QDateTime()>;
    static constexpr qint64 kDaySecs = 24 * 60 * 60;

    // `cacheFolder` empty: no cache at all.
    HttpFetcher(HttpTransport& transport, const QString& cacheFolder, QObject* parent = nullptr);
    ~HttpFetcher() override;

    void setLimits(const Limits& limits) { limits_ = limits; }
    // The time replies are stored at and aged by; the system clock by default.
    void setClock(Clock clock) { clock_ = std::move(clock); }
    const Limits& limits() const { return limits_; }

    // The callback runs exactly once, on this object's thread, never before get() returns.
    void get(const QUrl& url, CachePolicy policy, Callback callback);
    // A form POST, never cached, under the same limits.
    void post(const QUrl& url, const QByteArray& form, Callback callback);

    // Whether a reply says the server is unusable (refused, timed out, 5xx, a page that is no
    // JSON), rather than that the request was wrong.
    static bool isServerFailure(const Reply& reply);

private:
    HttpTransport::Request request(const QUrl& url) const;
    void send(HttpTransport::Request request, CachePolicy policy, Callback callback);
    void store(const QUrl& url, int status, const QList<std::pair<QByteArray, QByteArray>>& headers,
               const QByteArray& body);
    // The stored reply for `url` if there is one and, with `maxAgeSecs` >= 0, no older than that.
    std::optional<Reply> stored(const QUrl& url, qint64 maxAgeSecs) const;
    QDateTime now() const { return clock_ ? clock_() : QDateTime::currentDateTimeUtc(); }

    HttpTransport& transport_;
    QNetworkDiskCache* cache_ = nullptr;
    Limits limits_;
    Clock clock_;
};
