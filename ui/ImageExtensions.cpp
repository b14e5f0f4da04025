// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ImageExtensions.h"

#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>
#include <cmath>
#include <mutex>

// The toolkit's icons live in a static library: their resource must be registered by name.
static void initToolkitResources() {
    Q_INIT_RESOURCE(ui_icons);
}

namespace images {

namespace {

const QString kTemplateKey = QStringLiteral("OstrelTemplate");

// Pixels of a symbol image: enough for the largest icon we draw on a 2x screen.
constexpr int kSymbolPixels = 128;

QString symbolResource(const QString& name) {
    static const std::pair<const char*, const char*> symbols[] = {
        {"antenna.radiowaves.left.and.right", ":/icons/antenna.svg"},
        {"chevron.left", ":/icons/chevron-left.svg"},
        {"chevron.right", ":/icons/chevron-right.svg"},
    };
    for (const auto& [symbol, resource] : symbols)
        if (name == QLatin1String(symbol))
            return QString::fromLatin1(resource);
    return QString();
}

} // namespace

void setTemplate(QImage& image, bool isTemplate) {
    image.setText(kTemplateKey, isTemplate ? QStringLiteral("1") : QString());
}

bool isTemplate(const QImage& image) {
    return !image.isNull() && image.text(kTemplateKey) == QLatin1String("1");
}

QImage tinted(const QImage& image, const QColor& color) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&out);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(out.rect(), color);
    painter.end();
    setTemplate(out, false);
    return out;
}

QImage createWithText(const QString& text, const QFont& font, qreal devicePixelRatio) {
    if (devicePixelRatio <= 0)
        devicePixelRatio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    const QFontMetricsF metrics(font);
    const int flags = Qt::AlignHCenter | Qt::AlignTop;
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, 1e6, 1e6), flags, lines);
    const QSizeF logical(std::ceil(bounds.width()) + 4, std::ceil(qMax(bounds.height(), metrics.height())));
    QImage image((logical * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(QGuiApplication::palette().color(QPalette::WindowText));
    painter.drawText(QRectF(2, 0, logical.width() - 4, logical.height()), flags, lines);
    painter.end();
    setTemplate(image);
    return image;
}

QImage imageWithSystemSymbolName(const QString& symbolName, int scale) {
    static std::once_flag resources;
    std::call_once(resources, initToolkitResources);
    const QString resource = symbolResource(symbolName);
    if (resource.isEmpty())
        return QImage();
    QSvgRenderer renderer(resource);
    if (!renderer.isValid())
        return QImage();
    QImage image(kSymbolPixels, kSymbolPixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    // Logical sizes of the three scales; the pixels stay the same.
    static constexpr int kLogical[] = {16, 22, 28};
    image.setDevicePixelRatio(qreal(kSymbolPixels) / kLogical[qBound(1, scale, 3) - 1]);
    setTemplate(image);
    return image;
}

} // namespace images
