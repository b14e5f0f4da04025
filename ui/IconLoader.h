// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCache>
#include <QDeadlineTimer>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class HttpTransport;
class QThreadPool;

// Remote icons and their disk cache: one PNG file per icon under `cacheFolder`/<folder>/<name>.
//
// Cache files are read and decoded on a small worker pool; misses go through the HTTP transport
// on this object's (the main) thread, and are decoded, scaled down and stored on the
// pool. Requests for the same address and file share one transfer, and a transfer nobody waits
// for any more is aborted, so asking and cancelling are cheap enough to do per visible table row.
//
// Remote data is hostile: a transfer is limited in time and size, an image is measured before
// it is decoded, only raster formats are accepted, addresses on this machine's or the local
// network are not fetched, and folder and file names must be plain (letters, digits, '-' and
// '_'), so nothing is ever written outside the cache folder. The folder is kept under a size
// limit by removing the icons used longest ago.
class IconLoader : public QObject {
    Q_OBJECT
public:
    struct Limits {
        int timeoutMs = 15000;              // the whole transfer, redirects included
        qint64 maxBytes = 2 * 1024 * 1024;  // a larger body is abandoned
        int maxDimension = 4096;            // a wider or taller image is refused undecoded
        int failureMemoMs = 120000;         // a failed address is not asked again for this long
        qint64 memoryCacheBytes = 24 * 1024 * 1024; // thumbnails and icons not yet on disk
        int maxStoredSide = 256;                    // larger icons are scaled down to this
        qint64 diskCacheBytes = 50 * 1024 * 1024;   // the cache folder, least recently used go first
        bool fetchLocalNetwork = false;             // loopback and private addresses: for tests only
    };

    // Called once per request on this object's thread, never inside load(); a null image
    // means the icon could not be had.
    using Callback = std::function<void(const QImage& image)>;

    // One caller's interest in a load. Destroying or cancelling it gives up that interest;
    // the callback is then never called. Move-only.
    class Request {
    public:
        Request() = default;
        Request(Request&& other) noexcept;
        Request& operator=(Request&& other) noexcept;
        Request(const Request&) = delete;
        Request& operator=(const Request&) = delete;
        ~Request() { cancel(); }

        void cancel();
        // Waiting for its callback.
        bool isActive() const;

    private:
        friend class IconLoader;
        Request(IconLoader* loader, quint64 id) : loader_(loader), id_(id) {}
        QPointer<IconLoader> loader_;
        quint64 id_ = 0;
    };

    // `cacheFolder`: the icon cache, normally the application's cache location + "/Icons".
    // An empty folder keeps nothing on disk.
    IconLoader(HttpTransport& transport, const QString& cacheFolder, QObject* parent = nullptr);
    ~IconLoader() override;

    QString appCachePath() const { return cacheFolder_; }
    void setLimits(const Limits& limits);
    const Limits& limits() const { return limits_; }

    // A folder or file name that may become part of a cache path: 1 to 64 ASCII letters,
    // digits, '-' and '_'.
    static bool isPlainName(QStringView name);
    // The cache file of `folder`/`name`, or an empty string when either cannot be a name.
    QString cacheFilePath(const QString& folder, const QString& name) const;

    // The icon scaled to fit `pixelSize`, from memory when it was asked for before, else from
    // a finished download or cache read; a null image when none of them has it (load() then
    // brings it). For views that paint many icons per frame. Call on this object's thread.
    QImage thumbnail(const QUrl& url, const QString& folder, const QString& name, const QSize& pixelSize);

    // The icon stored under `folder`/`name`, else fetched from `url` and stored there (nothing
    // is stored when they are not plain names). Only http and https addresses of public hosts
    // are fetched.
    [[nodiscard]] Request load(const QUrl& url, const QString& folder, const QString& name, Callback callback);

    // The address failed recently and will not be asked again until the memo expires.
    bool hasFailedRecently(const QUrl& url) const;
    // Transfers running or being decoded.
    int activeTransfers() const { return int(fetches_.size()); }

private:
    struct Fetch;
    struct Waiter {
        Fetch* fetch = nullptr;
        Callback callback;
    };

    void cancel(quint64 id);
    void lookUp(Fetch* fetch);
    void readFromDisk(quint64 fetchId, const QImage& image);
    bool mayFetch(const QUrl& url) const;
    void start(Fetch* fetch);
    void received(Fetch* fetch, QByteArray body);
    void decoded(quint64 fetchId, const QImage& image);
    void fail(Fetch* fetch);
    void finish(Fetch* fetch, const QImage& image);
    void drop(Fetch* fetch);
    QString memoryKey(const QUrl& url, const QString& path) const;

    QString cacheFolder_;
    Limits limits_;
    HttpTransport& transport_;
    QThreadPool* workers_;
    struct DiskUsage;
    std::shared_ptr<DiskUsage> diskUsage_;

    quint64 nextId_ = 1;
    QHash<QString, Fetch*> fetches_;     // by address and cache file
    QHash<quint64, Fetch*> fetchesById_; // for results coming back from the workers
    QHash<quint64, Waiter> waiters_;     // by request id
    QHash<QString, QDeadlineTimer> failures_;

    // Icons recently downloaded or read from their files, and
    // thumbnails; the cost is in KiB.
    struct Thumbnail {
        QSize pixelSize;
        QImage image;
    };
    QCache<QString, QImage> fresh_;
    QCache<QString, Thumbnail> thumbnails_;
};
