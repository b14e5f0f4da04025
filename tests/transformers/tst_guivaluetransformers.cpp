// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/transformers/GuiValueTransformers.h"

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QTest>

class TestGuiValueTransformers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void labelColor_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("true") << QVariant(true) << true;
        QTest::newRow("fraction") << QVariant(0.5) << true;
        QTest::newRow("false") << QVariant(false) << false;
        QTest::newRow("a string is no number") << QVariant(QStringLiteral("1")) << false;
    }

    void labelColor() {
        QFETCH(QVariant, value);
        QFETCH(bool, enabled);
        const QPalette palette = QGuiApplication::palette();
        const QColor active = palette.color(QPalette::Active, QPalette::WindowText);
        const QColor disabled = palette.color(QPalette::Disabled, QPalette::WindowText);
        QVERIFY(active != disabled);
        QCOMPARE(valuetransformers::LabelColorForBoolean(value).value<QColor>(), enabled ? active : disabled);
    }

    void imageKeepsItsPixelSize() {
        QImage image(3, 2, QImage::Format_ARGB32);
        image.fill(Qt::red);
        image.setDevicePixelRatio(2.0);
        const QVariant result = valuetransformers::NSImageFromCGImageRef(image);
        QCOMPARE(result.metaType(), QMetaType::fromType<QPixmap>());
        const auto pixmap = result.value<QPixmap>();
        QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(3, 2));
        QCOMPARE(pixmap.toImage().pixelColor(2, 1), QColor(Qt::red));
        QVERIFY(!valuetransformers::NSImageFromCGImageRef(QStringLiteral("image.png")).isValid());
    }
};

QTEST_MAIN(TestGuiValueTransformers)
#include "tst_guivaluetransformers.moc"
