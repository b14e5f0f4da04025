#include "ui/IconLoader.h"

#include "version.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <memory>

namespace {

// Formats that decode into one bitmap without running anything from the file: no vector
// formats, whose renderers were never meant for hostile input.
bool isAcceptedFormat(const QByteArray& format) {
    static const QByteArray accepted[] = {"png", "jpeg", "jpg", "gif", "ico", "bmp"};
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

QImage decodeBytes(const QByteArray& bytes, int maxDimension) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return QImage();
    QImageReader reader(&buffer);
    return decode(reader, maxDimension);
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

bool isWebAddress(const QUrl& url) {
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

} // namespace

struct IconLoader::Fetch {
    quint64 id = 0;
    QString key;
    QUrl url;
    QString path;
    QNetworkReply* reply = nullptr;
    QByteArray body;
    bool tooLarge = false;
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

IconLoader::IconLoader(const QString& cacheFolder, QObject* parent)
    : QObject(parent),
      cacheFolder_(cacheFolder.isEmpty() ? QString() : QDir::cleanPath(cacheFolder)),
      userAgent_(QByteArrayLiteral("Ostrel Radio/" OSTREL_VERSION_SHORT)),
      network_(new QNetworkAccessManager(this)),
      workers_(new QThreadPool(this)) {
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

QImage IconLoader::cachedImage(const QString& folder, const QString& name) const {
    const QString path = cacheFilePath(folder, name);
    if (path.isEmpty())
        return QImage();
    return decodeFile(path, limits_.maxDimension);
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
    QImage image;
    if (const QImage* recent = fresh_.object(key))
        image = recent->scaled(fitted(recent->size(), pixelSize), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    else if (!path.isEmpty())
        image = decodeFile(path, limits_.maxDimension, pixelSize);
    if (image.isNull())
        return QImage();
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
        if (isWebAddress(url) && !hasFailedRecently(url)) {
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

void IconLoader::start(Fetch* fetch) {
    QNetworkRequest request(fetch->url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent_);
    request.setRawHeader("Accept", "image/png,image/x-icon,image/*;q=0.8");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setTransferTimeout(limits_.timeoutMs);
    QNetworkReply* reply = network_->get(request);
    fetch->reply = reply;
    // Bounds what the network layer buffers between two reads.
    reply->setReadBufferSize(64 * 1024);

    // Web addresses only, never from https down to http.
    connect(reply, &QNetworkReply::redirected, reply, [reply](const QUrl& to) {
        const bool web = to.scheme() == QLatin1String("http") || to.scheme() == QLatin1String("https");
        const bool downgrade = reply->url().scheme() == QLatin1String("https") && to.scheme() == QLatin1String("http");
        if (web && !downgrade)
            Q_EMIT reply->redirectAllowed();
        else
            reply->abort();
    });
    // The transfer timeout only notices silence; a reply that trickles ends here.
    QTimer::singleShot(limits_.timeoutMs, reply, [reply] { reply->abort(); });

    const quint64 id = fetch->id;
    const qint64 maxBytes = limits_.maxBytes;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, id, reply, maxBytes] {
        Fetch* f = fetchesById_.value(id);
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (f && length.isValid() && length.toLongLong() > maxBytes &&
            reply->attribute(QNetworkRequest::RedirectionTargetAttribute).isNull()) {
            f->tooLarge = true;
            reply->abort(); // finishes the reply at once; `f` may be gone after this
        }
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, id, reply, maxBytes] {
        Fetch* f = fetchesById_.value(id);
        if (!f)
            return;
        f->body += reply->readAll();
        if (f->body.size() > maxBytes) {
            f->tooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, id] {
        if (Fetch* f = fetchesById_.value(id))
            received(f);
    });
}

void IconLoader::received(Fetch* fetch) {
    QNetworkReply* reply = fetch->reply;
    fetch->reply = nullptr;
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!fetch->tooLarge && reply->error() == QNetworkReply::NoError)
        fetch->body += reply->readAll();
    if (fetch->tooLarge || reply->error() != QNetworkReply::NoError || status < 200 || status > 299 ||
        fetch->body.size() > limits_.maxBytes || fetch->body.isEmpty()) {
        fail(fetch);
        return;
    }
    // Decoding a large image and encoding PNG take long enough to stutter the interface.
    workers_->start([this, id = fetch->id, body = std::move(fetch->body), path = fetch->path,
                     abandoned = fetch->abandoned, maxDimension = limits_.maxDimension] {
        const QImage image = decodeBytes(body, maxDimension);
        // Shown first, stored afterwards: the file only matters for the next request.
        QMetaObject::invokeMethod(this, [this, id, image] { decoded(id, image); }, Qt::QueuedConnection);
        if (image.isNull() || path.isEmpty() || abandoned->load())
            return;
        if (writePng(image, path))
            QMetaObject::invokeMethod(this, [this, path] { stored(path); }, Qt::QueuedConnection);
    });
    fetch->body = QByteArray();
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
    // Thumbnails are made from this copy until the file is written; it need not be large,
    // and a copy too large for the cache would make views ask for the icon again.
    constexpr int kFreshSide = 512;
    const QImage copy = image.width() > kFreshSide || image.height() > kFreshSide
                            ? image.scaled(kFreshSide, kFreshSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                            : image;
    fresh_.insert(key, new QImage(copy), costInKiB(copy));
    finish(fetch, image);
}

void IconLoader::stored(const QString& path) {
    // From now on the file answers; a thumbnail made from the download stays valid.
    fresh_.remove(path);
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
    if (QNetworkReply* reply = fetch->reply) {
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        reply->deleteLater();
    }
    delete fetch;
}
