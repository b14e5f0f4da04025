#include "support/IconServer.h"
#include "ui/VisibleIconRequests.h"

#include <QDir>
#include <QListView>
#include <QPainter>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

constexpr int kRows = 400;
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

QStringList rowNames() {
    QStringList names;
    for (int i = 0; i < kRows; ++i)
        names.append(QStringLiteral("Station %1").arg(i));
    return names;
}

} // namespace

class TestVisibleIconRequests : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { server_ = std::make_unique<IconServer>(); }
    void init() { server_->reset(); }
    void onlyRowsInViewAreLoaded();
    void failedIconsAreNotAskedForOnEveryPaint();

private:
    std::unique_ptr<IconServer> server_;
};

void TestVisibleIconRequests::onlyRowsInViewAreLoaded() {
    QTemporaryDir dir;
    IconLoader loader(dir.path());
    IconServer::allowFetching(loader);
    QStringListModel model(rowNames());
    QListView view;
    view.setUniformItemSizes(true);
    view.setModel(&model);
    VisibleIconRequests requests(&view, loader);
    IconDelegate delegate(requests, [this](int row) {
        return server_->url(QStringLiteral("/slow/row%1?delay=0.8&color=00ff00").arg(row));
    });
    view.setItemDelegate(&delegate);
    view.resize(200, 10 * kRowHeight + 2 * view.frameWidth());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTRY_VERIFY(delegate.paints > 0);

    const int firstScreen = requests.pendingCount();
    QVERIFY2(firstScreen >= 10 && firstScreen <= 12, qPrintable(QString::number(firstScreen)));

    // Scrolling to the end gives up the loads of the rows that left the view.
    view.scrollToBottom();
    QTRY_COMPARE(delegate.lastRow, kRows - 1);
    QTRY_VERIFY2(requests.pendingCount() <= 12, qPrintable(QString::number(requests.pendingCount())));
    QCOMPARE(loader.activeTransfers(), requests.pendingCount());

    QTRY_COMPARE_WITH_TIMEOUT(requests.pendingCount(), 0, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(QDir(dir.filePath(QStringLiteral("OR_T"))).entryList(QDir::Files).size() >= 10, 10000);
    const QStringList stored = QDir(dir.filePath(QStringLiteral("OR_T"))).entryList(QDir::Files);
    for (const QString& file : stored)
        QVERIFY2(file.mid(3).toInt() >= kRows - 12, qPrintable(file));
    QVERIFY(server_->requestCount(QStringLiteral("/slow/row")) <= 24);

    // The bottom rows are painted from memory from now on.
    QVERIFY(!loader.thumbnail(server_->url(QStringLiteral("/slow/row%1?delay=0.8&color=00ff00").arg(kRows - 1)),
                              QStringLiteral("OR_T"), QStringLiteral("row%1").arg(kRows - 1), QSize(16, 16))
                 .isNull());
}

void TestVisibleIconRequests::failedIconsAreNotAskedForOnEveryPaint() {
    QTemporaryDir dir;
    IconLoader loader(dir.path());
    IconServer::allowFetching(loader);
    QStringListModel model(rowNames().mid(0, 5));
    QListView view;
    view.setModel(&model);
    VisibleIconRequests requests(&view, loader);
    IconDelegate delegate(requests, [this](int row) { return server_->url(QStringLiteral("/status/404?row=%1").arg(row)); });
    view.setItemDelegate(&delegate);
    view.resize(200, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTRY_COMPARE(server_->requestCount(QStringLiteral("/status/404")), 5);
    QTRY_COMPARE(requests.pendingCount(), 0);
    for (int i = 0; i < 5; ++i) {
        view.viewport()->repaint();
        QCoreApplication::processEvents();
    }
    QCOMPARE(server_->requestCount(QStringLiteral("/status/404")), 5);
}

QTEST_MAIN(TestVisibleIconRequests)
#include "tst_visibleiconrequests.moc"
