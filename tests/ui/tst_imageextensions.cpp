#include "ui/ImageExtensions.h"

#include <QFontMetricsF>
#include <QTest>
#include <cmath>

class TestImageExtensions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textImageIsAsTallAsTheTextAnd4Wider_data();
    void textImageIsAsTallAsTheTextAnd4Wider();
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

QTEST_MAIN(TestImageExtensions)
#include "tst_imageextensions.moc"
