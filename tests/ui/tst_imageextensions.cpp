#include "ui/CachedURLImageView.h"
#include "ui/ImageExtensions.h"
#include "ui/StationImages.h"

#include "support/StationFixtures.h"

#include <QFontMetricsF>
#include <QTest>
#include <cmath>

class TestImageExtensions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textImageIsAsTallAsTheTextAnd4Wider_data();
    void textImageIsAsTallAsTheTextAnd4Wider();
    void symbolsByName_data();
    void symbolsByName();
    void stationWithoutIconShowsTheAntennaAtOnce_data();
    void stationWithoutIconShowsTheAntennaAtOnce();
};

void TestImageExtensions::textImageIsAsTallAsTheTextAnd4Wider_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::newRow("one word") << "Radio" << 1;
    // Short names come with carriage returns between their words.
    QTest::newRow("three words") << "Radio\rOne\rClassic" << 3;
    QTest::newRow("line feeds") << "Jazz\nLounge" << 2;
}

void TestImageExtensions::textImageIsAsTallAsTheTextAnd4Wider() {
    QFETCH(QString, text);
    QFETCH(int, lines);
    QFont font;
    font.setBold(true);
    const QFontMetricsF metrics(font);
    const QImage image = images::createWithText(text, font, 2.0);
    qreal widest = 0;
    for (const QString& line : QString(text).replace(u'\r', u'\n').split(u'\n'))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    QCOMPARE(image.deviceIndependentSize().width(), std::ceil(widest) + 4);
    QVERIFY(image.deviceIndependentSize().height() >= lines * metrics.height() - 1);
    QVERIFY(image.deviceIndependentSize().height() <= lines * metrics.lineSpacing() + 1);
    QCOMPARE(image.devicePixelRatio(), 2.0);
    QVERIFY(images::isTemplate(image));
    // Transparent where there is no glyph: the image has no background of its own.
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
}

void TestImageExtensions::symbolsByName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("known");
    QTest::newRow("antenna") << "antenna.radiowaves.left.and.right" << true;
    QTest::newRow("chevron") << "chevron.left" << true;
    QTest::newRow("unknown") << "no.such.symbol" << false;
}

void TestImageExtensions::symbolsByName() {
    QFETCH(QString, name);
    QFETCH(bool, known);
    const QImage symbol = images::imageWithSystemSymbolName(name, images::SymbolScaleLarge);
    QCOMPARE(!symbol.isNull(), known);
    if (!known)
        return;
    QVERIFY(images::isTemplate(symbol));
    // Drawn, not empty: some pixels are opaque.
    bool inked = false;
    for (int y = 0; y < symbol.height() && !inked; ++y)
        for (int x = 0; x < symbol.width() && !inked; ++x)
            inked = symbol.pixelColor(x, y).alpha() > 200;
    QVERIFY(inked);
}

void TestImageExtensions::stationWithoutIconShowsTheAntennaAtOnce_data() {
    QTest::addColumn<QString>("favicon");
    QTest::newRow("no favicon") << "";
    QTest::newRow("upper-case scheme") << "HTTP://example.org/icon.png";
    QTest::newRow("relative path") << "/icon.png";
}

void TestImageExtensions::stationWithoutIconShowsTheAntennaAtOnce() {
    QFETCH(QString, favicon);
    IconLoader loader(QString{});
    CachedURLImageView view(&loader);
    view.setImage(QImage(4, 4, QImage::Format_RGB32));
    const Station station = stationFromJson(
        QJsonObject{{"stationuuid", "u-1"}, {"name", "Radio"}, {"countrycode", "DE"}, {"favicon", favicon}});
    stationimages::setImageView(&view, station);
    QVERIFY(!view.isLoading());
    QCOMPARE(view.image(), stationimages::fallbackImage());
    QCOMPARE(stationimages::iconFolderForStation(station), QStringLiteral("OR_DE"));
}

QTEST_MAIN(TestImageExtensions)
#include "tst_imageextensions.moc"
