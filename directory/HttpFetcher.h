#pragma once

#include <QByteArray>
#include <QObject>
#include <QUrl>
#include <functional>

class QNetworkAccessManager;
class QNetworkDiskCache;
class QNetworkReply;
class QNetworkRequest;

// GET and form POST requests on the main thread, with the limits that keep a bad server from hanging or
// exhausting the program, and a disk cache under our control.
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
        QString error;    // readable; null on success
        int httpStatus = 0;
        bool fromCache = false;
        bool ok() const { return error.isNull(); }
    };
    using Callback = std::function<void(Reply)>;

    struct Limits {
        qint64 maxBodyBytes = 64 * 1024 * 1024;
        int idleTimeoutMs = 15000;  // no byte for this long ends the request
        int totalTimeoutMs = 120000; // a reply trickling in ends here
    };

    // `cacheFolder` empty: no cache at all.
    HttpFetcher(const QString& cacheFolder, const QString& userAgent, QObject* parent = nullptr);
    ~HttpFetcher() override;

    void setLimits(const Limits& limits) { limits_ = limits; }
    const Limits& limits() const { return limits_; }

    // The callback runs exactly once, on this object's thread, never before get() returns.
    void get(const QUrl& url, CachePolicy policy, Callback callback);
    // A form POST, never cached, under the same limits.
    void post(const QUrl& url, const QByteArray& form, Callback callback);

private:
    struct Transfer;
    QNetworkRequest request(const QUrl& url) const;
    void track(QNetworkReply* reply, const QUrl& url, CachePolicy policy, Callback callback);
    void finish(QNetworkReply* reply, Transfer& transfer, CachePolicy policy, const Callback& callback);
    void store(const QUrl& url, QNetworkReply* reply, const QByteArray& body);

    QNetworkAccessManager* network_;
    QNetworkDiskCache* cache_ = nullptr;
    QByteArray userAgent_;
    Limits limits_;
};
