// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/IconServer.h"
#include "ui/CachedURLImageView.h"
#include "ui/ImageExtensions.h"
#include "ui/VisibleIconRequests.h"

#include <QtTest>
#include <QtWidgets>

#include <cmath>
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

// A shown list ten rows high that paints its icons through VisibleIconRequests, as the station table.
struct StationList : QStyledItemDelegate {
    StationList(IconLoader& loader, int rows, std::function<QUrl(int)> urlOfRow)
        : requests(&view, loader)
        , urlOfRow(std::move(urlOfRow)) {
        model.setStringList(QStringList(rows, QStringLiteral("Station")));
        view.setUniformItemSizes(true);
        view.setModel(&model);
        view.setItemDelegate(this);
        view.resize(200, 10 * 20 + 2 * view.frameWidth());
        view.show();
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        lastRow = qMax(lastRow, index.row());
        const QImage icon = requests.icon(index, urlOfRow(index.row()), QStringLiteral("OR_T"),
                                          QStringLiteral("row%1").arg(index.row()), QSize(16, 16));
        if (!icon.isNull())
            painter->drawImage(option.rect.topLeft(), icon);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return QSize(100, 20); }

    QStringListModel model;
    QListView view;
    mutable VisibleIconRequests requests;
    std::function<QUrl(int)> urlOfRow;
    mutable int lastRow = -1;
};

} // namespace

class TestCachedURLImageView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { server_ = std::make_unique<IconServer>(); }

    void init() {
        server_->reset();
        loader_.reset();
        dir_ = std::make_unique<QTemporaryDir>();
        loader_ = std::make_unique<IconLoader>(transport_, cacheRoot());
        IconLoader::Limits limits;
        limits.timeoutMs =
            3000; // far below the slow transfers below, far above a loaded machine's normal one
        IconServer::allowFetching(*loader_, limits);
    }

    void missIsFetchedShownAndStoredAsPng_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("storedSide");
        QTest::newRow("PNG") << "/png/b?color=00ff00&size=48" << QColor(Qt::green) << 48;
        QTest::newRow("WebP") << "/webp" << QColor(Qt::blue) << 48;
        QTest::newRow("large PNG") << "/png/b?color=00ff00&size=1500" << QColor(Qt::green) << 256;
    }

    void missIsFetchedShownAndStoredAsPng() {
        QFETCH(QString, path);
        QFETCH(QColor, colour);
        QFETCH(int, storedSide);
        const QString prefix = path.section(u'?', 0, 0);
        CachedURLImageView view(loader_.get());
        const QUrl url = server_->url(path);
        view.setImageWithURL(url, QStringLiteral("OR_FR"), QStringLiteral("uuid-2"), fallback_);
        QVERIFY(view.image().isNull() && view.isLoading());
        QTRY_COMPARE_WITH_TIMEOUT(centre(view.image()), colour, kWait);

        const QString file = cacheRoot() + QStringLiteral("/OR_FR/uuid-2");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), kWait);
        QImageReader stored(file);
        QCOMPARE(stored.format(), QByteArray("png"));
        QCOMPARE(stored.size(), QSize(storedSide, storedSide));

        // The next loader reads the file; a file that no longer decodes is fetched again and replaced.
        for (const int requests : {1, 2}) {
            if (QFile broken(file); requests == 2) {
                QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
                broken.write("\x89PNG\r\n\x1a\n truncated");
            }
            IconLoader next(transport_, cacheRoot());
            IconServer::allowFetching(next);
            CachedURLImageView second(&next);
            second.setImageWithURL(url, QStringLiteral("OR_FR"), QStringLiteral("uuid-2"), fallback_);
            QTRY_COMPARE_WITH_TIMEOUT(centre(second.image()), colour, kWait);
            QTRY_COMPARE_WITH_TIMEOUT(next.activeTransfers(), 0, kWait);
            QCOMPARE(server_->requestCount(prefix), requests);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!QImageReader(file).read().isNull(), kWait);
    }

    void supersededLoadIsNeverShown_data() {
        QTest::addColumn<QString>("then"); // what the view is given while the slow icon loads
        QTest::addColumn<QColor>("shown");
        QTest::newRow("a newer address, answered first") << "address" << QColor(Qt::blue);
        QTest::newRow("no address: the image stays, the load is cancelled") << "none" << QColor(Qt::yellow);
        QTest::newRow("an image") << "image" << QColor(Qt::cyan);
    }

    void supersededLoadIsNeverShown() {
        QFETCH(QString, then);
        QFETCH(QColor, shown);
        CachedURLImageView view(loader_.get());
        view.setImage(solid(4, Qt::yellow));
        QList<QColor> changes;
        connect(&view, &CachedURLImageView::imageChanged, this,
                [&] { changes.append(centre(view.image())); });
        view.setImageWithURL(server_->url(QStringLiteral("/slow/first?delay=0.4&color=ff0000")),
                             QStringLiteral("OR_DE"), QStringLiteral("first"), fallback_);
        QVERIFY(view.isLoading());
        if (then == u"address") {
            view.setImageWithURL(server_->url(QStringLiteral("/png/second?color=0000ff")),
                                 QStringLiteral("OR_DE"), QStringLiteral("second"), fallback_);
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

    void failuresShowTheFallback_data() {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<bool>("local"); // refused by default: this machine, the local network
        const auto at = [this](const QString& path, const QString& host = QString()) {
            QUrl url = server_->url(path);
            if (!host.isNull())
                url.setHost(host);
            return url;
        };
        QTest::newRow("server error") << at("/status/500") << false;
        QTest::newRow("not an image") << at("/notimage") << false;
        QTest::newRow("vector image") << at("/svg") << false;
        QTest::newRow("announced too large") << at("/huge") << false;
        QTest::newRow("streamed too large") << at("/huge-chunked") << false;
        QTest::newRow("too many pixels") << at("/big") << false;
        QTest::newRow("refused connection") << QUrl("http://127.0.0.1:9/icon.png") << false;
        QTest::newRow("local file") << QUrl("file:///etc/hostname") << false;
        QTest::newRow("redirect to a file") << at("/redirect?to=file:///etc/hostname") << false;
        QTest::newRow("no answer: abandoned") << at("/hang") << false; // the hang would last a minute
        QTest::newRow("trickling answer: abandoned") << at("/trickle") << false; // the trickle 12 s
        QTest::newRow("loopback") << at("/png/local", "127.0.0.1") << true;
        QTest::newRow("localhost") << at("/png/local", "localhost") << true;
        QTest::newRow("loopback as mapped IPv6") << at("/png/local", "[::ffff:127.0.0.1]") << true;
        QTest::newRow("private") << QUrl("http://192.168.1.1/icon.png") << true;
        QTest::newRow("link-local cloud metadata") << QUrl("http://169.254.169.254/latest/meta-data") << true;
        QTest::newRow("unique-local") << QUrl("http://[fd00::1]/icon.png") << true;
    }

    void failuresShowTheFallback() {
        QFETCH(QUrl, url);
        QFETCH(bool, local);
        IconLoader guarded(transport_, cacheRoot());
        CachedURLImageView view(local ? &guarded : loader_.get());
        QSignalSpy changed(&view, &CachedURLImageView::imageChanged);
        view.setImageWithURL(url, QStringLiteral("OR_DE"), QStringLiteral("with-fallback"), fallback_);
        QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 1, kWait);
        QCOMPARE(view.image(), fallback_);
        QCOMPARE(server_->requestCount(QStringLiteral("/png/local")), 0);

        // Without a fallback the view stays empty. A new loader: the first remembers the failure.
        IconLoader fresh(transport_, cacheRoot());
        CachedURLImageView bare(&fresh);
        QSignalSpy bareChanged(&bare, &CachedURLImageView::imageChanged);
        bare.setImageWithURL(url, QStringLiteral("OR_DE"), QStringLiteral("without-fallback"), QImage());
        QTRY_VERIFY_WITH_TIMEOUT(!bare.isLoading(), kWait);
        QVERIFY(bare.image().isNull());
        QCOMPARE(bareChanged.size(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(fresh.activeTransfers(), 0, kWait);
        QCOMPARE(filesUnder(dir_->path()), QStringList());
    }

    void hostileNamesAreFetchedButNeverStored_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        const QString de = QStringLiteral("OR_DE");
        QTest::newRow("folder climbs out") << QStringLiteral("../..") << "uuid";
        QTest::newRow("name climbs out") << de << "../../escaped";
        QTest::newRow("absolute name") << de << "/escaped";
        QTest::newRow("dot") << de << ".";
        QTest::newRow("blank") << QStringLiteral("OR DE") << "uuid";
        QTest::newRow("non-ASCII letter") << de << QString::fromUtf8("stati\u00f6n");
        QTest::newRow("too long") << de << QString(65, u'a');
        QTest::newRow("empty name") << de << "";
    }

    void hostileNamesAreFetchedButNeverStored() {
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

    void viewsAskingAtOnceShareOneTransfer() {
        CachedURLImageView favourite(loader_.get()), recent(loader_.get()), main(loader_.get());
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

    void cacheKeepsTheRecentlyUsedWithinItsLimit() {
        const auto show = [this](int i) {
            CachedURLImageView view(loader_.get());
            const QString name = QStringLiteral("n%1").arg(i);
            const QString colour = QStringLiteral("%1").arg(i * 40, 6, 16, QChar(u'0'));
            view.setImageWithURL(server_->url("/png/" + name + "?size=120&color=" + colour), "OR_LU", name,
                                 fallback_);
            const QString file = cacheRoot() + "/OR_LU/" + name;
            return QTest::qWaitFor([&] { return !view.isLoading() && QFile::exists(file); }, kWait);
        };
        QVERIFY(show(0));
        IconLoader::Limits limits = loader_->limits(); // room for four and a half icons
        limits.diskCacheBytes = QFileInfo(cacheRoot() + QStringLiteral("/OR_LU/n0")).size() * 9 / 2;
        IconServer::allowFetching(*loader_, limits);
        for (int i = 1; i < 8; ++i) {
            QVERIFY(show(i));
            QVERIFY(show(0)); // used again and again: it stays
        }
        const QStringList kept = filesUnder(cacheRoot());
        qint64 total = 0;
        for (const QString& file : kept)
            total += QFileInfo(cacheRoot() + u'/' + file).size();
        QVERIFY2(total <= limits.diskCacheBytes, qPrintable(QString::number(total)));
        QVERIFY2(kept.contains("OR_LU/n0") && kept.contains("OR_LU/n7") && !kept.contains("OR_LU/n1"),
                 qPrintable(kept.join(u' ')));
    }

    void listLoadsOnlyTheRowsInView() {
        constexpr int kRows = 400;
        const auto urlOfRow = [this](int row) {
            return server_->url(QStringLiteral("/slow/row%1?delay=0.8&color=00ff00").arg(row));
        };
        StationList list(*loader_, kRows, urlOfRow);
        QVERIFY(QTest::qWaitForWindowExposed(&list.view));
        QTRY_VERIFY(list.lastRow >= 0);
        const int firstScreen = list.requests.pendingCount();
        QVERIFY2(firstScreen >= 10 && firstScreen <= 12, qPrintable(QString::number(firstScreen)));

        // Scrolling to the end gives up the loads of the rows that left the view.
        list.view.scrollToBottom();
        QTRY_COMPARE(list.lastRow, kRows - 1);
        QTRY_VERIFY2(list.requests.pendingCount() <= 12,
                     qPrintable(QString::number(list.requests.pendingCount())));
        QCOMPARE(loader_->activeTransfers(), list.requests.pendingCount());

        QTRY_COMPARE_WITH_TIMEOUT(list.requests.pendingCount(), 0, kWait);
        const QDir stored(cacheRoot() + QStringLiteral("/OR_T"));
        QTRY_VERIFY_WITH_TIMEOUT(stored.entryList(QDir::Files).size() >= 10, kWait);
        for (const QString& file : stored.entryList(QDir::Files))
            QVERIFY2(file.mid(3).toInt() >= kRows - 12, qPrintable(file));
        QVERIFY(server_->requestCount(QStringLiteral("/slow/row")) <= 24);
        const QString last = QStringLiteral("row%1").arg(kRows - 1);
        QVERIFY(
            !loader_->thumbnail(urlOfRow(kRows - 1), QStringLiteral("OR_T"), last, QSize(16, 16)).isNull());
    }

    void listAsksForAFailedIconOnce() {
        StationList list(*loader_, 5, [this](int row) {
            return server_->url(QStringLiteral("/status/404?row=%1").arg(row));
        });
        QTRY_COMPARE(server_->requestCount(QStringLiteral("/status/404")), 5);
        QTRY_COMPARE(list.requests.pendingCount(), 0);
        list.view.viewport()->repaint(); // painted again: nothing asked again
        QCOMPARE(list.requests.pendingCount(), 0);
        QCOMPARE(server_->requestCount(QStringLiteral("/status/404")), 5);
    }

    // The name image of a station without an icon; short names come with carriage returns.
    void textImageIsAsTallAsTheTextAnd4Wider() {
        const QString text = QStringLiteral("Radio\rOne\rClassic\nRock");
        QFont font;
        font.setBold(true);
        const QFontMetricsF metrics(font);
        const QImage image = images::createWithText(text, font, 2.0);
        qreal widest = 0;
        for (const QString& line : QString(text).replace(u'\r', u'\n').split(u'\n'))
            widest = qMax(widest, metrics.horizontalAdvance(line));
        QCOMPARE(image.deviceIndependentSize().width(), std::ceil(widest) + 4);
        const qreal height = image.deviceIndependentSize().height();
        QVERIFY(height >= 4 * metrics.height() - 1 && height <= 4 * metrics.lineSpacing() + 1); // four lines
        QCOMPARE(image.devicePixelRatio(), 2.0);
        QVERIFY(images::isTemplate(image));
        // Transparent where there is no glyph: the image has no background of its own.
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    }

private:
    QString cacheRoot() const { return dir_->filePath(QStringLiteral("cache/Icons")); }
    HttpTransport transport_;
    std::unique_ptr<IconServer> server_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<IconLoader> loader_;
    const QImage fallback_ = solid(8, Qt::magenta);
};

QTEST_MAIN(TestCachedURLImageView)
#include "tst_cachedurlimageview.moc"
