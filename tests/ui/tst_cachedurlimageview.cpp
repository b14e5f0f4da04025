#include "support/IconServer.h"
#include "ui/CachedURLImageView.h"
#include "ui/VisibleIconRequests.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>
#include <QListView>
#include <QPainter>
#include <QSignalSpy>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
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

constexpr int kRowHeight = 20;

// Paints each row's icon as a table of stations would.
class IconDelegate : public QStyledItemDelegate {
public:
    IconDelegate(VisibleIconRequests& requests, std::function<QUrl(int)> urlOfRow)
        : requests_(requests), urlOfRow_(std::move(urlOfRow)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        ++paints;
        lastRow = qMax(lastRow, index.row());
        const QImage icon = requests_.icon(index, urlOfRow_(index.row()), QStringLiteral("OR_T"),
                                           QStringLiteral("row%1").arg(index.row()), QSize(16, 16));
        if (!icon.isNull())
            painter->drawImage(option.rect.topLeft(), icon);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return QSize(100, kRowHeight); }

    mutable int paints = 0;
    mutable int lastRow = -1;

private:
    VisibleIconRequests& requests_;
    std::function<QUrl(int)> urlOfRow_;
};

// A list of stations ten rows high, shown, whose icons come through VisibleIconRequests.
struct StationList {
    StationList(IconLoader& loader, int rows, std::function<QUrl(int)> urlOfRow) {
        QStringList names;
        for (int i = 0; i < rows; ++i)
            names.append(QStringLiteral("Station %1").arg(i));
        model.setStringList(names);
        view.setUniformItemSizes(true);
        view.setModel(&model);
        requests = std::make_unique<VisibleIconRequests>(&view, loader);
        delegate = std::make_unique<IconDelegate>(*requests, std::move(urlOfRow));
        view.setItemDelegate(delegate.get());
        view.resize(200, 10 * kRowHeight + 2 * view.frameWidth());
        view.show();
    }
    QStringListModel model;
    QListView view;
    std::unique_ptr<VisibleIconRequests> requests;
    std::unique_ptr<IconDelegate> delegate;
};

} // namespace

class TestCachedURLImageView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cacheFileIsShownOrReplaced_data();
    void cacheFileIsShownOrReplaced();
    void missIsFetchedShownAndStoredAsPng_data();
    void missIsFetchedShownAndStoredAsPng();
    void supersededLoadIsNeverShown_data();
    void supersededLoadIsNeverShown();
    void failuresShowTheFallback_data();
    void failuresShowTheFallback();
    void hostileNamesAreFetchedButNeverStored_data();
    void hostileNamesAreFetchedButNeverStored();
    void viewsAskingAtOnceShareOneTransfer();
    void localNetworkAddressesAreNotFetched_data();
    void localNetworkAddressesAreNotFetched();
    void cacheKeepsTheRecentlyUsedWithinItsLimit();
    void listLoadsOnlyTheRowsInView();
    void listAsksForAFailedIconOnce();

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

void TestCachedURLImageView::cacheFileIsShownOrReplaced_data() {
    QTest::addColumn<bool>("decodable");
    QTest::newRow("decodable: shown without a request") << true;
    QTest::newRow("undecodable: fetched and replaced") << false;
}

void TestCachedURLImageView::cacheFileIsShownOrReplaced() {
    QFETCH(bool, decodable);
    QVERIFY(QDir().mkpath(cacheRoot() + QStringLiteral("/OR_DE")));
    const QString file = cacheRoot() + QStringLiteral("/OR_DE/uuid-1");
    if (decodable) {
        QVERIFY(solid(16, Qt::blue).save(file, "PNG"));
    } else {
        QFile broken(file);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("\x89PNG\r\n\x1a\n truncated");
    }
    CachedURLImageView view(loader_.get());
    view.setImageWithURL(server_->url(QStringLiteral("/png/a?color=ffff00")), QStringLiteral("OR_DE"),
                         QStringLiteral("uuid-1"), fallback_);
    // Decoded off the main thread, from the file.
    QTRY_COMPARE_WITH_TIMEOUT(centre(view.image()), decodable ? QColor(Qt::blue) : QColor(Qt::yellow), kWait);
    QVERIFY(!view.isLoading());
    QTRY_COMPARE_WITH_TIMEOUT(loader_->activeTransfers(), 0, kWait);
    QCOMPARE(server_->requestCount(QStringLiteral("/png/")), decodable ? 0 : 1);
    QTRY_VERIFY_WITH_TIMEOUT(!QImageReader(file).read().isNull(), kWait);
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

void TestCachedURLImageView::supersededLoadIsNeverShown_data() {
    QTest::addColumn<QString>("then"); // what the view is given while the slow icon loads
    QTest::addColumn<QColor>("shown");
    QTest::newRow("a newer address, answered first") << "address" << QColor(Qt::blue);
    QTest::newRow("no address: the image stays, the load is cancelled") << "none" << QColor(Qt::yellow);
    QTest::newRow("an image") << "image" << QColor(Qt::cyan);
}

void TestCachedURLImageView::supersededLoadIsNeverShown() {
    QFETCH(QString, then);
    QFETCH(QColor, shown);
    CachedURLImageView view(loader_.get());
    view.setImage(solid(4, Qt::yellow));
    QList<QColor> changes;
    connect(&view, &CachedURLImageView::imageChanged, this, [&] { changes.append(centre(view.image())); });
    view.setImageWithURL(server_->url(QStringLiteral("/slow/first?delay=0.4&color=ff0000")), QStringLiteral("OR_DE"),
                         QStringLiteral("first"), fallback_);
    QVERIFY(view.isLoading());
    if (then == u"address") {
        view.setImageWithURL(server_->url(QStringLiteral("/png/second?color=0000ff")), QStringLiteral("OR_DE"),
                             QStringLiteral("second"), fallback_);
    } else if (then == u"none") {
        view.setImageWithURL(QUrl(), QStringLiteral("OR_DE"), QStringLiteral("other"), fallback_);
        QVERIFY(!view.isLoading());
        QCOMPARE(loader_->activeTransfers(), 0);
    } else {
        view.setImage(solid(4, Qt::cyan));
    }
    QTRY_COMPARE_WITH_TIMEOUT(centre(view.image()), shown, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(loader_->activeTransfers(), 0, kWait);
    QCoreApplication::processEvents();
    QVERIFY(!changes.contains(QColor(Qt::red)));
    QCOMPARE(centre(view.image()), shown);
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
    QTest::newRow("no answer: abandoned") << "/hang"; // the hang would last a minute
    QTest::newRow("trickling answer: abandoned") << "/trickle"; // the trickle 12 s
}

void TestCachedURLImageView::failuresShowTheFallback() {
    QFETCH(QString, address);
    const QUrl url = address.startsWith(u'/') ? server_->url(address) : QUrl(address);

    CachedURLImageView view(loader_.get());
    QSignalSpy changed(&view, &CachedURLImageView::imageChanged);
    QElapsedTimer clock;
    clock.start();
    view.setImageWithURL(url, QStringLiteral("OR_DE"), QStringLiteral("with-fallback"), fallback_);
    QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 1, kWait);
    QCOMPARE(view.image(), fallback_);
    QVERIFY2(clock.elapsed() < 9000, qPrintable(QString::number(clock.elapsed())));

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

void TestCachedURLImageView::listLoadsOnlyTheRowsInView() {
    constexpr int kRows = 400;
    const auto urlOfRow = [this](int row) {
        return server_->url(QStringLiteral("/slow/row%1?delay=0.8&color=00ff00").arg(row));
    };
    StationList list(*loader_, kRows, urlOfRow);
    QVERIFY(QTest::qWaitForWindowExposed(&list.view));
    QTRY_VERIFY(list.delegate->paints > 0);
    const int firstScreen = list.requests->pendingCount();
    QVERIFY2(firstScreen >= 10 && firstScreen <= 12, qPrintable(QString::number(firstScreen)));

    // Scrolling to the end gives up the loads of the rows that left the view.
    list.view.scrollToBottom();
    QTRY_COMPARE(list.delegate->lastRow, kRows - 1);
    QTRY_VERIFY2(list.requests->pendingCount() <= 12, qPrintable(QString::number(list.requests->pendingCount())));
    QCOMPARE(loader_->activeTransfers(), list.requests->pendingCount());

    QTRY_COMPARE_WITH_TIMEOUT(list.requests->pendingCount(), 0, kWait);
    const QDir stored(cacheRoot() + QStringLiteral("/OR_T"));
    QTRY_VERIFY_WITH_TIMEOUT(stored.entryList(QDir::Files).size() >= 10, kWait);
    for (const QString& file : stored.entryList(QDir::Files))
        QVERIFY2(file.mid(3).toInt() >= kRows - 12, qPrintable(file));
    QVERIFY(server_->requestCount(QStringLiteral("/slow/row")) <= 24);
    // The bottom rows are painted from memory from now on.
    QVERIFY(!loader_->thumbnail(urlOfRow(kRows - 1), QStringLiteral("OR_T"), QStringLiteral("row%1").arg(kRows - 1),
                                QSize(16, 16))
                 .isNull());
}

void TestCachedURLImageView::listAsksForAFailedIconOnce() {
    StationList list(*loader_, 5, [this](int row) { return server_->url(QStringLiteral("/status/404?row=%1").arg(row)); });
    QVERIFY(QTest::qWaitForWindowExposed(&list.view));
    QTRY_COMPARE(server_->requestCount(QStringLiteral("/status/404")), 5);
    QTRY_COMPARE(list.requests->pendingCount(), 0);
    for (int i = 0; i < 5; ++i) {
        list.view.viewport()->repaint();
        QCoreApplication::processEvents();
    }
    QCOMPARE(server_->requestCount(QStringLiteral("/status/404")), 5);
}

QTEST_MAIN(TestCachedURLImageView)
#include "tst_cachedurlimageview.moc"
