#include "support/IconServer.h"
#include "ui/CachedURLImageView.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

constexpr int kWait = 10000;

QImage solid(int size, QColor color) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QColor centre(const QImage& image) {
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

// Every file under `folder`, as paths relative to it.
QStringList filesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    return files;
}

} // namespace

class TestCachedURLImageView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cacheHitIsShownAtOnceWithoutARequest();
    void missIsFetchedShownAndStoredAsPng_data();
    void missIsFetchedShownAndStoredAsPng();
    void onlyTheLatestRequestIsShown();
    void failuresShowTheFallback_data();
    void failuresShowTheFallback();
    void slowTransfersAreAbandoned_data();
    void slowTransfersAreAbandoned();
    void absentAddressKeepsTheImageAndCancels();
    void imageGivenDuringALoadStays();
    void hostileNamesAreFetchedButNeverStored_data();
    void hostileNamesAreFetchedButNeverStored();
    void undecodableCacheFileIsReplaced();
    void viewsAskingAtOnceShareOneTransfer();
    void localNetworkAddressesAreNotFetched_data();
    void localNetworkAddressesAreNotFetched();
    void cacheKeepsTheRecentlyUsedWithinItsLimit();

private:
    QString cacheRoot() const { return dir_->filePath(QStringLiteral("cache/Icons")); }

    std::unique_ptr<IconServer> server_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<IconLoader> loader_;
    const QImage fallback_ = solid(8, Qt::magenta);
};

void TestCachedURLImageView::initTestCase() {
    server_ = std::make_unique<IconServer>();
}

void TestCachedURLImageView::init() {
    server_->reset();
    loader_.reset();
    dir_ = std::make_unique<QTemporaryDir>();
    loader_ = std::make_unique<IconLoader>(cacheRoot());
    IconLoader::Limits limits;
    limits.timeoutMs = 3000; // far below the slow transfers below, far above a loaded machine's normal one
    IconServer::allowFetching(*loader_, limits);
}

void TestCachedURLImageView::cacheHitIsShownAtOnceWithoutARequest() {
    QVERIFY(QDir().mkpath(cacheRoot() + QStringLiteral("/OR_DE")));
    QVERIFY(solid(16, Qt::blue).save(cacheRoot() + QStringLiteral("/OR_DE/uuid-1"), "PNG"));
    CachedURLImageView view(loader_.get());
    view.setImageWithURL(server_->url(QStringLiteral("/png/a?color=ff0000")), QStringLiteral("OR_DE"),
                         QStringLiteral("uuid-1"), fallback_);
    // Decoded off the main thread, from the file.
    QTRY_COMPARE_WITH_TIMEOUT(centre(view.image()), QColor(Qt::blue), kWait);
    QVERIFY(!view.isLoading());
    QCOMPARE(loader_->activeTransfers(), 0);
    QCOMPARE(server_->requestCount(QStringLiteral("/png/")), 0);
}

void TestCachedURLImageView::missIsFetchedShownAndStoredAsPng_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("storedSide");
    QTest::newRow("PNG") << "/png/b?color=00ff00&size=48" << QColor(Qt::green) << 48;
    QTest::newRow("WebP") << "/webp" << QColor(Qt::blue) << 48;
    QTest::newRow("large PNG, scaled down") << "/png/b?color=00ff00&size=1500" << QColor(Qt::green) << 256;
}

void TestCachedURLImageView::missIsFetchedShownAndStoredAsPng() {
    QFETCH(QString, path);
    QFETCH(QColor, colour);
    QFETCH(int, storedSide);
    const QString prefix = path.section(u'?', 0, 0);
    CachedURLImageView view(loader_.get());
    const QUrl url = server_->url(path);
    view.setImageWithURL(url, QStringLiteral("OR_FR"), QStringLiteral("uuid-2"), fallback_);
    QVERIFY(view.image().isNull());
    QVERIFY(view.isLoading());
    QTRY_COMPARE_WITH_TIMEOUT(centre(view.image()), colour, kWait);

    const QString file = cacheRoot() + QStringLiteral("/OR_FR/uuid-2");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), kWait);
    QImageReader stored(file);
    QCOMPARE(stored.format(), QByteArray("png"));
    QCOMPARE(stored.size(), QSize(storedSide, storedSide));

    // The next request is answered from the file; once it is gone, from the network again.
    CachedURLImageView second(loader_.get());
    second.setImageWithURL(url, QStringLiteral("OR_FR"), QStringLiteral("uuid-2"), fallback_);
    QTRY_COMPARE_WITH_TIMEOUT(centre(second.image()), colour, kWait);
    QCOMPARE(server_->requestCount(prefix), 1);
    QVERIFY(QFile::remove(file));
    second.setImageWithURL(url, QStringLiteral("OR_FR"), QStringLiteral("uuid-2"), fallback_);
    QVERIFY(second.isLoading());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), kWait);
    QCOMPARE(server_->requestCount(prefix), 2);
}

void TestCachedURLImageView::onlyTheLatestRequestIsShown() {
    CachedURLImageView view(loader_.get());
    QList<QColor> shown;
    connect(&view, &CachedURLImageView::imageChanged, this, [&] { shown.append(centre(view.image())); });
    // The first answer arrives after the second.
    view.setImageWithURL(server_->url(QStringLiteral("/slow/first?delay=0.4&color=ff0000")), QStringLiteral("OR_DE"),
                         QStringLiteral("first"), fallback_);
    view.setImageWithURL(server_->url(QStringLiteral("/png/second?color=0000ff")), QStringLiteral("OR_DE"),
                         QStringLiteral("second"), fallback_);
    QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 1, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(loader_->activeTransfers(), 0, kWait);
    QCoreApplication::processEvents();
    QCOMPARE(shown, QList<QColor>{QColor(Qt::blue)});
    QVERIFY(!QFile::exists(cacheRoot() + QStringLiteral("/OR_DE/first")));
}

void TestCachedURLImageView::failuresShowTheFallback_data() {
    QTest::addColumn<QString>("address"); // a path on the server, or a whole URL
    QTest::newRow("server error") << "/status/500";
    QTest::newRow("not found") << "/status/404";
    QTest::newRow("not an image") << "/notimage";
    QTest::newRow("vector image") << "/svg";
    QTest::newRow("announced too large") << "/huge";
    QTest::newRow("streamed too large") << "/huge-chunked";
    QTest::newRow("too many pixels") << "/big";
    QTest::newRow("refused connection") << "http://127.0.0.1:9/icon.png";
    QTest::newRow("local file") << "file:///etc/hostname";
    QTest::newRow("redirect to a file") << "/redirect?to=file:///etc/hostname";
}

void TestCachedURLImageView::failuresShowTheFallback() {
    QFETCH(QString, address);
    const QUrl url = address.startsWith(u'/') ? server_->url(address) : QUrl(address);

    CachedURLImageView view(loader_.get());
    QSignalSpy changed(&view, &CachedURLImageView::imageChanged);
    view.setImageWithURL(url, QStringLiteral("OR_DE"), QStringLiteral("with-fallback"), fallback_);
    QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 1, kWait);
    QCOMPARE(view.image(), fallback_);

    // Without a fallback the view stays empty. A new loader: the first remembers the failure.
    IconLoader fresh(cacheRoot());
    CachedURLImageView bare(&fresh);
    QSignalSpy bareChanged(&bare, &CachedURLImageView::imageChanged);
    bare.setImageWithURL(url, QStringLiteral("OR_DE"), QStringLiteral("without-fallback"), QImage());
    QTRY_VERIFY_WITH_TIMEOUT(!bare.isLoading(), kWait);
    QVERIFY(bare.image().isNull());
    QCOMPARE(bareChanged.size(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(fresh.activeTransfers(), 0, kWait);
    QCOMPARE(filesUnder(dir_->path()), QStringList());
}

void TestCachedURLImageView::slowTransfersAreAbandoned_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("no answer") << "/hang";
    QTest::newRow("trickling answer") << "/trickle";
}

void TestCachedURLImageView::slowTransfersAreAbandoned() {
    QFETCH(QString, path);
    CachedURLImageView view(loader_.get());
    QElapsedTimer clock;
    clock.start();
    view.setImageWithURL(server_->url(path), QStringLiteral("OR_DE"), QStringLiteral("slow"), fallback_);
    QTRY_COMPARE_WITH_TIMEOUT(view.image(), fallback_, kWait);
    // The trickle would take 12 s, the hang a minute.
    QVERIFY2(clock.elapsed() < 9000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!QFile::exists(cacheRoot() + QStringLiteral("/OR_DE/slow")));
}

void TestCachedURLImageView::absentAddressKeepsTheImageAndCancels() {
    CachedURLImageView view(loader_.get());
    view.setImage(solid(4, Qt::yellow));
    view.setImageWithURL(server_->url(QStringLiteral("/slow/c?delay=0.3&color=ff0000")), QStringLiteral("OR_DE"),
                         QStringLiteral("cancelled"), fallback_);
    QVERIFY(view.isLoading());
    view.setImageWithURL(QUrl(), QStringLiteral("OR_DE"), QStringLiteral("other"), fallback_);
    QVERIFY(!view.isLoading());
    QCOMPARE(loader_->activeTransfers(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(centre(view.image()), QColor(Qt::yellow));
}

void TestCachedURLImageView::imageGivenDuringALoadStays() {
    CachedURLImageView view(loader_.get());
    view.setImageWithURL(server_->url(QStringLiteral("/slow/d?delay=0.3&color=ff0000")), QStringLiteral("OR_DE"),
                         QStringLiteral("replaced"), fallback_);
    view.setImage(solid(4, Qt::cyan));
    QTRY_COMPARE_WITH_TIMEOUT(loader_->activeTransfers(), 0, kWait);
    QCoreApplication::processEvents();
    QCOMPARE(centre(view.image()), QColor(Qt::cyan));
}

void TestCachedURLImageView::hostileNamesAreFetchedButNeverStored_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::newRow("folder climbs out") << "../.." << "uuid";
    QTest::newRow("name climbs out") << "OR_DE" << "../../escaped";
    QTest::newRow("name with a slash") << "OR_DE" << "a/b";
    QTest::newRow("absolute name") << "OR_DE" << "/tmp/escaped";
    QTest::newRow("dot") << "OR_DE" << ".";
    QTest::newRow("blank") << "OR DE" << "uuid";
    QTest::newRow("non-ASCII letter") << "OR_DE" << QString::fromUtf8("stati\u00f6n");
    QTest::newRow("too long") << "OR_DE" << QString(65, u'a');
    QTest::newRow("empty folder") << "" << "uuid";
    QTest::newRow("empty name") << "OR_DE" << "";
    QTest::newRow("null folder") << QString() << "uuid";
}

void TestCachedURLImageView::hostileNamesAreFetchedButNeverStored() {
    QFETCH(QString, folder);
    QFETCH(QString, name);
    const QUrl url = server_->url(QStringLiteral("/png/hostile?color=00ffff"));
    for (int attempt = 1; attempt <= 2; ++attempt) {
        CachedURLImageView view(loader_.get());
        view.setImageWithURL(url, folder, name, fallback_);
        QTRY_COMPARE_WITH_TIMEOUT(centre(view.image()), QColor(Qt::cyan), kWait);
        QCOMPARE(server_->requestCount(QStringLiteral("/png/hostile")), attempt);
    }
    QTRY_COMPARE_WITH_TIMEOUT(loader_->activeTransfers(), 0, kWait);
    QCOMPARE(filesUnder(dir_->path()), QStringList());
}

void TestCachedURLImageView::undecodableCacheFileIsReplaced() {
    QVERIFY(QDir().mkpath(cacheRoot() + QStringLiteral("/OR_AT")));
    const QString file = cacheRoot() + QStringLiteral("/OR_AT/uuid-3");
    {
        QFile broken(file);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("\x89PNG\r\n\x1a\n truncated");
    }
    CachedURLImageView view(loader_.get());
    view.setImageWithURL(server_->url(QStringLiteral("/png/e?color=ffff00")), QStringLiteral("OR_AT"),
                         QStringLiteral("uuid-3"), fallback_);
    QTRY_COMPARE_WITH_TIMEOUT(centre(view.image()), QColor(Qt::yellow), kWait);
    QTRY_VERIFY_WITH_TIMEOUT(!QImageReader(file).read().isNull(), kWait);
}

void TestCachedURLImageView::viewsAskingAtOnceShareOneTransfer() {
    CachedURLImageView favourite(loader_.get());
    CachedURLImageView recent(loader_.get());
    CachedURLImageView main(loader_.get());
    const QUrl url = server_->url(QStringLiteral("/slow/shared?delay=0.3&color=0000ff"));
    for (CachedURLImageView* view : {&favourite, &recent, &main})
        view->setImageWithURL(url, QStringLiteral("OR_CH"), QStringLiteral("uuid-4"), fallback_);
    QCOMPARE(loader_->activeTransfers(), 1);
    // One view giving up leaves the transfer to the others.
    favourite.setImage(QImage());
    QTRY_COMPARE_WITH_TIMEOUT(centre(recent.image()), QColor(Qt::blue), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(centre(main.image()), QColor(Qt::blue), kWait);
    QVERIFY(favourite.image().isNull());
    QCOMPARE(server_->requestCount(QStringLiteral("/slow/shared")), 1);
}

QTEST_MAIN(TestCachedURLImageView)
void TestCachedURLImageView::localNetworkAddressesAreNotFetched_data() {
    QTest::addColumn<QString>("address"); // a path on the test server (reached as `host`), or a whole URL
    QTest::addColumn<QString>("host");
    QTest::newRow("loopback") << "/png/local" << "127.0.0.1";
    QTest::newRow("localhost") << "/png/local" << "localhost";
    QTest::newRow("loopback as mapped IPv6") << "/png/local" << "[::ffff:127.0.0.1]";
    QTest::newRow("private") << "http://192.168.1.1/icon.png" << "";
    QTest::newRow("link-local cloud metadata") << "http://169.254.169.254/latest/meta-data" << "";
    QTest::newRow("unique-local") << "http://[fd00::1]/icon.png" << "";
}

void TestCachedURLImageView::localNetworkAddressesAreNotFetched() {
    QFETCH(QString, address);
    QFETCH(QString, host);
    IconLoader guarded(cacheRoot()); // the defaults: nothing on this machine or the local network
    QUrl url = address.startsWith(u'/') ? server_->url(address) : QUrl(address);
    if (!host.isEmpty())
        url.setHost(host);
    CachedURLImageView view(&guarded);
    view.setImageWithURL(url, QStringLiteral("OR_DE"), QStringLiteral("local"), fallback_);
    QTRY_COMPARE_WITH_TIMEOUT(view.image(), fallback_, kWait);
    QCOMPARE(server_->requestCount(QStringLiteral("/png/local")), 0);
}

void TestCachedURLImageView::cacheKeepsTheRecentlyUsedWithinItsLimit() {
    const auto show = [this](int i) {
        CachedURLImageView view(loader_.get());
        view.setImageWithURL(server_->url(QStringLiteral("/png/n%1?size=120&color=%2").arg(i).arg(i * 40, 6, 16, QChar(u'0'))),
                             QStringLiteral("OR_LU"), QStringLiteral("n%1").arg(i), fallback_);
        return QTest::qWaitFor([&] { return !view.isLoading(); }, kWait) &&
               QTest::qWaitFor([&] { return QFile::exists(cacheRoot() + QStringLiteral("/OR_LU/n%1").arg(i)); }, kWait);
    };
    QVERIFY(show(0));
    IconLoader::Limits limits = loader_->limits(); // room for four and a half icons
    limits.diskCacheBytes = QFileInfo(cacheRoot() + QStringLiteral("/OR_LU/n0")).size() * 9 / 2;
    IconServer::allowFetching(*loader_, limits);
    for (int i = 1; i < 8; ++i) {
        QVERIFY(show(i));
        QVERIFY(show(0)); // used again and again: it stays
    }
    qint64 total = 0;
    for (const QString& file : filesUnder(cacheRoot()))
        total += QFileInfo(cacheRoot() + u'/' + file).size();
    QVERIFY2(total <= limits.diskCacheBytes, qPrintable(QString::number(total)));
    QVERIFY(QFile::exists(cacheRoot() + QStringLiteral("/OR_LU/n0")));
    QVERIFY(QFile::exists(cacheRoot() + QStringLiteral("/OR_LU/n7")));
    QVERIFY(!QFile::exists(cacheRoot() + QStringLiteral("/OR_LU/n1")));
}

#include "tst_cachedurlimageview.moc"
