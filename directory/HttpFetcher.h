#pragma once

#include "util/HttpTransport.h"

#include <QByteArray>
#include <QObject>
#include <QUrl>
#include <functional>

class QNetworkDiskCache;

// The directory's GET and form POST requests, through the program's HTTP transport, with a
// disk cache under our control.
class HttpFetcher : public QObject {
    Q_OBJECT
public:
    enum class CachePolicy {
        CacheFirst,   // a stored reply, whatever its age; the network only without one
        RefreshCache, // the network, and the reply replaces the stored one
        NoCache,      // the network; nothing read from or written to the cache
    };

    struct Reply {
        QByteArray body;  // capacity leaves room for parsers that read past the end
        Error error;      // readable; None on success
        int httpStatus = 0;
        bool fromCache = false;
        bool ok() const { return error.ok(); }
    };
    using Callback = std::function<void(Reply)>;
    using Limits = HttpTransport::Limits;

    // `cacheFolder` empty: no cache at all.
    HttpFetcher(HttpTransport& transport, const QString& cacheFolder, QObject* parent = nullptr);
    ~HttpFetcher() override;

    void setLimits(const Limits& limits) { limits_ = limits; }
    const Limits& limits() const { return limits_; }

    // The callback runs exactly once, on this object's thread, never before get() returns.
    void get(const QUrl& url, CachePolicy policy, Callback callback);
    // A form POST, never cached, under the same limits.
    void post(const QUrl& url, const QByteArray& form, Callback callback);

private:
    HttpTransport::Request request(const QUrl& url) const;
    void send(HttpTransport::Request request, CachePolicy policy, Callback callback);
    void store(const QUrl& url, const HttpTransport::Result& result);

    HttpTransport& transport_;
    QNetworkDiskCache* cache_ = nullptr;
    Limits limits_;
};
