// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DesktopColorScheme.h"
#include "app/StatusItem.h"
#include "radio/StationCellView.h"
#include "radio/StationTableModel.h"
#include "support/DirectoryFixture.h"
#include "ui/SchemePalette.h"
#include "ui/ThemeIcons.h"

#include <QtDBus>
#include <QtTest>
#include <QtWidgets>

namespace {
const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kSettings = QStringLiteral("org.freedesktop.portal.Settings");

// The desktop portal's Settings, on a bus connection of its own, as the desktop runs it.
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    explicit FakePortal(uint scheme) : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "portal")), scheme_(scheme) {
        bus_.registerObject(kPath, this, QDBusConnection::ExportAllSlots);
        bus_.registerService(kPortal);
    }
    ~FakePortal() override {
        bus_.unregisterService(kPortal);
        QDBusConnection::disconnectFromBus("portal");
    }
    void change(uint scheme) {
        scheme_ = scheme;
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kSettings, QStringLiteral("SettingChanged"));
        signal << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme")
               << QVariant::fromValue(QDBusVariant(scheme_));
        bus_.send(signal);
    }

public Q_SLOTS:
    // The old call wraps the value in one more variant.
    QDBusVariant Read(const QString& group, const QString& key) {
        if (group != "org.freedesktop.appearance" || key != "color-scheme")
            return QDBusVariant(QString());
        return QDBusVariant(QVariant::fromValue(QDBusVariant(scheme_)));
    }

private:
    QDBusConnection bus_;
    uint scheme_;
};

double channel(int value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double luminance(QColor c) {
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}
// WCAG's contrast ratio, 1 to 21.
double contrast(QColor a, QColor b) {
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}
// The strongest contrast of any mostly opaque pixel of `image`, laid on `background`, in `area`.
double strongestContrast(const QImage& image, QColor background, QRect area = {}) {
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    if (area.isNull())
        area = pixels.rect();
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = pixels.pixelColor(x, y);
            if (c.alphaF() > 0.8)
                best = qMax(best, contrast(c, background));
        }
    return best;
}
} // namespace

// Colours and icons: the desktop's scheme read from the portal, and what the program draws
// itself legible on light and dark palettes.
class TestAppearance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QVERIFY(QDBusConnection::sessionBus().isConnected());
        start_ = QApplication::palette();
    }
    void cleanup() { QApplication::setPalette(start_); }

    void followsThePortal_data() {
        QTest::addColumn<int>("portal"); // the portal's value, -1 for no portal
        QTest::addColumn<bool>("themePalette");
        QTest::addColumn<int>("switchTo"); // a SettingChanged afterwards, -1 for none
        QTest::addColumn<bool>("darkAtStart");
        QTest::addColumn<bool>("darkAfterSwitch");
        QTest::newRow("dark") << 1 << false << -1 << true << true;
        QTest::newRow("light") << 2 << false << -1 << false << false;
        QTest::newRow("no preference") << 0 << false << -1 << false << false;
        QTest::newRow("no portal") << -1 << false << -1 << false << false;
        QTest::newRow("dark, switched to light") << 1 << false << 2 << true << false;
        QTest::newRow("light, switched to dark") << 2 << false << 1 << false << true;
        QTest::newRow("a platform theme's palette stays") << 1 << true << 1 << false << false;
    }

    void followsThePortal() {
        QFETCH(int, portal);
        QFETCH(bool, themePalette);
        QFETCH(int, switchTo);
        QFETCH(bool, darkAtStart);
        QFETCH(bool, darkAfterSwitch);
        if (themePalette) { // as KDE's platform theme gives one
            QPalette kde(QColor(0xef, 0xf0, 0xf1));
            kde.setColor(QPalette::WindowText, QColor(0x23, 0x26, 0x29));
            QApplication::setPalette(kde);
        }
        std::unique_ptr<FakePortal> fake(portal >= 0 ? new FakePortal(uint(portal)) : nullptr);
        SchemePalette palette;
        QCOMPARE(palette.themeSuppliesPalette(), themePalette);
        DesktopColorScheme scheme(QDBusConnection::sessionBus());
        QSignalSpy changes(&scheme, &DesktopColorScheme::schemeChanged);
        connect(&scheme, &DesktopColorScheme::schemeChanged, &scheme, [&palette](ColorScheme s) { palette.apply(s); });
        scheme.start();
        if (portal == 1 || portal == 2)
            QVERIFY(changes.wait(10000));
        else
            QTest::qWait(300); // no answer should change anything
        QCOMPARE(SchemePalette::isDark(QApplication::palette()), darkAtStart);
        if (switchTo >= 0 && fake) {
            fake->change(uint(switchTo));
            if (switchTo != portal)
                QVERIFY(changes.wait(10000));
            else
                QTest::qWait(300);
            QCOMPARE(SchemePalette::isDark(QApplication::palette()), darkAfterSwitch);
        }
        if (darkAtStart || darkAfterSwitch) // the panel's own check: mostly dark pixels
            QVERIFY(luminance(SchemePalette::darkPalette().color(QPalette::Window)) < 0.35);
    }

    // Every icon we draw ourselves stands out from the window on both schemes, and is drawn
    // for the screen's pixels at 2x rather than enlarged.
    void iconsLegible_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("dark");
        // Our drawings stand in for at least the names the panel, the tray menu and the tabs ask for.
        for (const char* name : {"media-playback-start", "media-playback-stop", "starred", "non-starred", "go-home",
                                 "internet-web-browser", "audio-volume-high", "audio-volume-medium",
                                 "audio-volume-low", "audio-volume-muted", "document-save", "media-record"})
            QVERIFY2(themeicons::hasBundled(QString::fromLatin1(name)), name);
        for (const QString& name : QDir(QStringLiteral(":/icons/symbolic")).entryList()) {
            QTest::addRow("%s, light", qPrintable(name)) << name << false;
            QTest::addRow("%s, dark", qPrintable(name)) << name << true;
        }
    }

    void iconsLegible() {
        QFETCH(QString, name);
        QFETCH(bool, dark);
        QVERIFY(themeicons::hasBundled(name));
        const QIcon icon = themeicons::themeIcon(name);
        QVERIFY(!icon.isNull());
        QApplication::setPalette(dark ? SchemePalette::darkPalette() : start_);
        const QColor window = QApplication::palette().color(QPalette::Window);
        for (const qreal scale : {1.0, 2.0}) {
            const QPixmap pixmap = icon.pixmap(QSize(16, 16), scale);
            QCOMPARE(pixmap.size(), QSize(16, 16) * scale);
            QVERIFY2(strongestContrast(pixmap.toImage(), window) >= 4.5, qPrintable(name));
        }
    }

    // The tray icon, idle and animating, is drawn in the palette's text colour, outlined in its
    // window colour, and follows a change of palette.
    void trayIcon_data() {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }

    void trayIcon() {
        QFETCH(bool, dark);
        StatusItem tray;
        tray.statusItemAnimates(false);
        QApplication::setPalette(dark ? SchemePalette::darkPalette() : start_);
        tray.paletteChanged();
        auto colours = [&tray] {
            const QImage image = tray.icon().pixmap(QSize(22, 22), 2.0).toImage();
            QSet<QRgb> opaque;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) == 255)
                        opaque.insert(image.pixel(x, y));
            return opaque;
        };
        const QPalette palette = QApplication::palette();
        QVERIFY(colours().contains(palette.color(QPalette::WindowText).rgba()));
        QVERIFY(colours().contains(palette.color(QPalette::Window).rgba()));
        tray.statusItemAnimates(true);
        QTRY_COMPARE_WITH_TIMEOUT(tray.currentImageName(), QStringLiteral("a0"), 10000);
        QVERIFY(colours().contains(palette.color(QPalette::WindowText).rgba()));
        QVERIFY(colours().contains(palette.color(QPalette::Window).rgba()));
    }

    // The letter badge of a station without picture, and the favourite's star, in the table.
    void paintedLegible_data() {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("part");
        for (const bool dark : {false, true}) {
            QTest::addRow("letter badge, %s", dark ? "dark" : "light") << dark << "badge";
            QTest::addRow("favourite star, %s", dark ? "dark" : "light") << dark << "star";
        }
    }

    void paintedLegible() {
        QFETCH(bool, dark);
        QFETCH(QString, part);
        const QPalette palette = dark ? SchemePalette::darkPalette() : start_;
        QStandardItemModel model;
        auto* item = new QStandardItem(QStringLiteral("Radio Lindenhof"));
        item->setData(QVariant::fromValue(stationFromJson(QJsonObject{{"name", "Radio Lindenhof"}})), StationTableModel::StationRole);
        item->setData(true, StationTableModel::FavoriteRole);
        model.appendRow(item);
        QListView view;
        view.setPalette(palette);
        StationCellView cells;
        QImage row(QSize(320, 48), QImage::Format_ARGB32_Premultiplied);
        row.fill(palette.color(QPalette::Base));
        QStyleOptionViewItem option;
        option.initFrom(&view);
        option.palette = palette;
        option.rect = row.rect();
        option.widget = &view;
        QPainter painter(&row);
        cells.paint(&painter, option, model.index(0, 0));
        painter.end();
        if (part == "badge") {
            // The letter against its badge: the badge's middle holds both.
            const QRect badge(8 + 10, 6 + 10, 16, 16);
            const QColor fill = row.pixelColor(8 + 3, 24);
            QVERIFY(strongestContrast(row, fill, badge) >= 3);
        } else {
            QVERIFY(strongestContrast(row, palette.color(QPalette::Base), StationCellView::starRect(row.rect())) >= 3);
        }
    }

private:
    QPalette start_;
};

QTEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
