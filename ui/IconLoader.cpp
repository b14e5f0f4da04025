// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/IconLoader.h"

#include "util/HttpTransport.h"
#include "util/RemoteText.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <sys/time.h>
#include <vector>

namespace {

// Formats that decode into one bitmap without running anything from the file: no vector
// formats, whose renderers were never meant for hostile input.
bool isAcceptedFormat(const QByteArray& format) {
    static const QByteArray accepted[] = {"png", "jpeg", "jpg", "gif", "ico", "bmp", "webp"};
    for (const QByteArray& f : accepted)
        if (format == f)
            return true;
    return false;
}

QSize fitted(const QSize& size, const QSize& box) {
    return size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

// Decodes the first image of `reader` when it is small enough; `scaledTo` valid: fitted into it.
QImage decode(QImageReader& reader, int maxDimension, const QSize& scaledTo = QSize()) {
    if (!isAcceptedFormat(reader.format()))
        return QImage();
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > maxDimension || size.height() > maxDimension)
        return QImage();
    if (scaledTo.isValid())
        reader.setScaledSize(fitted(size, scaledTo));
    QImage image;
    if (!reader.read(&image))
        return QImage();
    return image;
}

// A stored icon need not be larger than any view draws it.
QImage limited(const QImage& image, int maxSide) {
    if (image.isNull() || (image.width() <= maxSide && image.height() <= maxSide))
        return image;
    return image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage decodeBytes(const QByteArray& bytes, int maxDimension, int maxSide) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return QImage();
    QImageReader reader(&buffer);
    return limited(decode(reader, maxDimension), maxSide);
}

QImage decodeFile(const QString& path, int maxDimension, const QSize& scaledTo = QSize()) {
    QImageReader reader(path);
    return decode(reader, maxDimension, scaledTo);
}

// Writes atomically, so that a reader never sees half a file; refuses a folder that is a
// symbolic link, which could lead out of the cache.
bool writePng(const QImage& image, const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder) || QFileInfo(folder).isSymLink())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

int costInKiB(const QImage& image) {
    return int(qMax<qint64>(1, image.sizeInBytes() / 1024));
}

// Marks a cache file as just used: the modification time orders the files for trimming.
void touch(const QString& path) {
    ::utimes(QFile::encodeName(path).constData(), nullptr);
}

} // namespace

// What the cache folder holds, kept up to date by the workers that write to it.
struct IconLoader::DiskUsage {
    std::mutex mutex;
    qint64 bytes = -1; // not counted yet

    // Counts `added` bytes of a new file and, past `limit`, removes the files used longest ago
    // until a tenth of the limit is free again.
    void add(const QString& folder, qint64 added, qint64 limit) {
        std::lock_guard lock(mutex);
        if (bytes >= 0) {
            bytes += added;
            if (bytes <= limit)
                return;
        }
        struct Entry {
            QString path;
            qint64 size;
            QDateTime used;
        };
        std::vector<Entry> entries;
        bytes = 0;
        for (const QFileInfo& sub : QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
            for (const QFileInfo& file : QDir(sub.filePath()).entryInfoList(QDir::Files | QDir::NoSymLinks)) {
                entries.push_back({file.filePath(), file.size(), file.lastModified()});
                bytes += file.size();
            }
        }
        if (bytes <= limit)
            return;
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.used < b.used; });
        for (const Entry& entry : entries) {
            if (bytes <= limit - limit / 10)
                break;
            if (QFile::remove(entry.path))
                bytes -= entry.size;
        }
    }
};

struct IconLoader::Fetch {
    quint64 id = 0;
    QString key;
    QUrl url;
    QString path;
    quint64 transfer = 0; // the transport's id while downloading
    QList<quint64> waiters;
    // Set when nobody waits any more, so that a worker does not store what was given up.
    std::shared_ptr<std::atomic<bool>> abandoned = std::make_shared<std::atomic<bool>>(false);
};

IconLoader::Request::Request(Request&& other) noexcept : loader_(std::move(other.loader_)), id_(other.id_) {
    other.loader_ = nullptr;
    other.id_ = 0;
}

IconLoader::Request& IconLoader::Request::operator=(Request&& other) noexcept {
    if (this != &other) {
        cancel();
        loader_ = std::move(other.loader_);
        id_ = other.id_;
        other.loader_ = nullptr;
        other.id_ = 0;
    }
    return *this;
}

void IconLoader::Request::cancel() {
    if (loader_)
        loader_->cancel(id_);
    loader_ = nullptr;
    id_ = 0;
}

bool IconLoader::Request::isActive() const {
    return loader_ && loader_->waiters_.contains(id_);
}

IconLoader::IconLoader(HttpTransport& transport, const QString& cacheFolder, QObject* parent)
    : QObject(parent),
      cacheFolder_(cacheFolder.isEmpty() ? QString() : QDir::cleanPath(cacheFolder)),
      transport_(transport),
      workers_(new QThreadPool(this)),
      diskUsage_(std::make_shared<DiskUsage>()) {
    // Decoding and encoding are short; two workers keep a burst of icons from taking every core.
    workers_->setMaxThreadCount(2);
    setLimits(limits_);
}

IconLoader::~IconLoader() {
    const QList<Fetch*> fetches = fetchesById_.values();
    for (Fetch* fetch : fetches)
        drop(fetch);
    waiters_.clear();
    workers_->waitForDone();
}

void IconLoader::setLimits(const Limits& limits) {
    limits_ = limits;
    // Backstop for decoders that allocate more than the measured size suggests. Process-wide,
    // so it is only ever lowered.
    const int neededMiB = int((qint64(limits.maxDimension) * limits.maxDimension * 4 + (1 << 20) - 1) >> 20);
    const int current = QImageReader::allocationLimit();
    if (current == 0 || current > neededMiB)
        QImageReader::setAllocationLimit(qMax(neededMiB, 1));
    const int kib = int(qMax<qint64>(1, limits.memoryCacheBytes / 1024));
    fresh_.setMaxCost(kib / 2);
    thumbnails_.setMaxCost(kib - kib / 2);
}

bool IconLoader::isPlainName(QStringView name) {
    if (name.isEmpty() || name.size() > 64)
        return false;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        const bool plain = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
                           u == u'-' || u == u'_';
        if (!plain)
            return false;
    }
    return true;
}

QString IconLoader::cacheFilePath(const QString& folder, const QString& name) const {
    if (cacheFolder_.isEmpty() || !isPlainName(folder) || !isPlainName(name))
        return QString();
    return cacheFolder_ + QLatin1Char('/') + folder + QLatin1Char('/') + name;
}

QString IconLoader::memoryKey(const QUrl& url, const QString& path) const {
    return path.isEmpty() ? QStringLiteral("url:") + url.toString(QUrl::FullyEncoded) : path;
}

QImage IconLoader::thumbnail(const QUrl& url, const QString& folder, const QString& name, const QSize& pixelSize) {
    if (!pixelSize.isValid() || pixelSize.isEmpty())
        return QImage();
    const QString path = cacheFilePath(folder, name);
    const QString key = memoryKey(url, path);
    if (const Thumbnail* t = thumbnails_.object(key); t && t->pixelSize == pixelSize)
        return t->image;
    const QImage* recent = fresh_.object(key);
    if (!recent)
        return QImage();
    QImage image = recent->scaled(fitted(recent->size(), pixelSize), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Premultiplied is what the raster engine blends without converting on every paint.
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    thumbnails_.insert(key, new Thumbnail{pixelSize, image}, costInKiB(image));
    return image;
}

bool IconLoader::hasFailedRecently(const QUrl& url) const {
    const auto it = failures_.constFind(url.toString(QUrl::FullyEncoded));
    return it != failures_.cend() && !it->hasExpired();
}

IconLoader::Request IconLoader::load(const QUrl& url, const QString& folder, const QString& name, Callback callback) {
    const QString path = cacheFilePath(folder, name);
    const QString key = url.toString(QUrl::FullyEncoded) + QLatin1Char('\n') + path;
    Fetch* fetch = fetches_.value(key);
    if (!fetch) {
        fetch = new Fetch;
        fetch->id = nextId_++;
        fetch->key = key;
        fetch->url = url;
        fetch->path = path;
        fetches_.insert(key, fetch);
        fetchesById_.insert(fetch->id, fetch);
        if (!path.isEmpty()) {
            lookUp(fetch);
        } else if (mayFetch(url)) {
            start(fetch);
        } else {
            // Answered on the next turn of the event loop, as a transfer would be.
            QMetaObject::invokeMethod(this, [this, id = fetch->id] {
                if (Fetch* f = fetchesById_.value(id))
                    finish(f, QImage());
            }, Qt::QueuedConnection);
        }
    }
    const quint64 id = nextId_++;
    fetch->waiters.append(id);
    waiters_.insert(id, Waiter{fetch, std::move(callback)});
    return Request(this, id);
}

bool IconLoader::mayFetch(const QUrl& url) const {
    return remote::isWebAddress(url) && !hasFailedRecently(url) &&
           (limits_.fetchLocalNetwork || !remote::isLocalNetworkHost(url.host()));
}

void IconLoader::lookUp(Fetch* fetch) {
    // Even a small PNG takes a while to decode; a table scrolling through hundreds would stutter.
    workers_->start([this, id = fetch->id, path = fetch->path, abandoned = fetch->abandoned,
                     maxDimension = limits_.maxDimension, maxSide = limits_.maxStoredSide] {
        QImage image;
        if (!abandoned->load() && QFileInfo::exists(path)) {
            image = limited(decodeFile(path, maxDimension), maxSide);
            if (!image.isNull())
                touch(path);
        }
        QMetaObject::invokeMethod(this, [this, id, image] { readFromDisk(id, image); }, Qt::QueuedConnection);
    });
}

void IconLoader::readFromDisk(quint64 fetchId, const QImage& image) {
    Fetch* fetch = fetchesById_.value(fetchId);
    if (!fetch)
        return;
    if (!image.isNull()) {
        const QString key = memoryKey(fetch->url, fetch->path);
        thumbnails_.remove(key);
        fresh_.insert(key, new QImage(image), costInKiB(image));
        finish(fetch, image);
    } else if (mayFetch(fetch->url)) {
        start(fetch);
    } else {
        finish(fetch, QImage());
    }
}

void IconLoader::start(Fetch* fetch) {
    HttpTransport::Request request;
    request.url = fetch->url;
    request.headers = {{QByteArray("Accept"), QByteArray("image/png,image/x-icon,image/*;q=0.8")}};
    // The same time for silence and for the whole transfer, redirects included.
    request.limits = {limits_.maxBytes, limits_.timeoutMs, limits_.timeoutMs};
    request.refuseDeclaredOverCap = true;
    request.readBufferBytes = 64 * 1024;
    // Web addresses of public hosts only, never from https down to http.
    request.allowRedirect = [local = limits_.fetchLocalNetwork](const QUrl& from, const QUrl& to) {
        const bool web = remote::isWebAddress(to);
        const bool downgrade = from.scheme() == QLatin1String("https") && to.scheme() == QLatin1String("http");
        return web && !downgrade && (local || !remote::isLocalNetworkHost(to.host()));
    };
    fetch->transfer = transport_.send(std::move(request), this, [this, id = fetch->id](HttpTransport::Result result) {
        Fetch* f = fetchesById_.value(id);
        if (!f)
            return;
        f->transfer = 0;
        if (!result.ok() || result.body.isEmpty())
            fail(f);
        else
            received(f, std::move(result.body));
    });
}

void IconLoader::received(Fetch* fetch, QByteArray body) {
    // Decoding a large image and encoding PNG take long enough to stutter the interface.
    workers_->start([this, id = fetch->id, body = std::move(body), path = fetch->path,
                     abandoned = fetch->abandoned, maxDimension = limits_.maxDimension,
                     maxSide = limits_.maxStoredSide, usage = diskUsage_, folder = cacheFolder_,
                     diskLimit = limits_.diskCacheBytes] {
        const QImage image = decodeBytes(body, maxDimension, maxSide);
        // Shown first, stored afterwards: the file only matters for the next request.
        QMetaObject::invokeMethod(this, [this, id, image] { decoded(id, image); }, Qt::QueuedConnection);
        if (image.isNull() || path.isEmpty() || abandoned->load())
            return;
        if (writePng(image, path))
            usage->add(folder, QFileInfo(path).size(), diskLimit);
    });
}

void IconLoader::decoded(quint64 fetchId, const QImage& image) {
    Fetch* fetch = fetchesById_.value(fetchId);
    if (!fetch)
        return;
    if (image.isNull()) {
        fail(fetch);
        return;
    }
    const QString key = memoryKey(fetch->url, fetch->path);
    thumbnails_.remove(key);
    // Thumbnails are made from this copy (already at most maxStoredSide).
    fresh_.insert(key, new QImage(image), costInKiB(image));
    finish(fetch, image);
}

void IconLoader::fail(Fetch* fetch) {
    if (failures_.size() > 1000) {
        for (auto it = failures_.begin(); it != failures_.end();)
            it = it->hasExpired() ? failures_.erase(it) : std::next(it);
    }
    failures_.insert(fetch->url.toString(QUrl::FullyEncoded), QDeadlineTimer(limits_.failureMemoMs));
    finish(fetch, QImage());
}

void IconLoader::finish(Fetch* fetch, const QImage& image) {
    QList<Callback> callbacks;
    for (quint64 id : std::as_const(fetch->waiters)) {
        auto it = waiters_.find(id);
        if (it != waiters_.end()) {
            callbacks.append(std::move(it->callback));
            waiters_.erase(it);
        }
    }
    fetches_.remove(fetch->key);
    fetchesById_.remove(fetch->id);
    delete fetch;
    // Callbacks may load or cancel: the maps are consistent before the first one runs.
    for (const Callback& callback : std::as_const(callbacks))
        if (callback)
            callback(image);
}

void IconLoader::cancel(quint64 id) {
    const Waiter waiter = waiters_.take(id);
    Fetch* fetch = waiter.fetch;
    if (!fetch)
        return;
    fetch->waiters.removeOne(id);
    if (fetch->waiters.isEmpty())
        drop(fetch);
}

void IconLoader::drop(Fetch* fetch) {
    fetches_.remove(fetch->key);
    fetchesById_.remove(fetch->id);
    fetch->abandoned->store(true);
    if (fetch->transfer)
        transport_.cancel(fetch->transfer);
    delete fetch;
}
