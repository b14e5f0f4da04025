// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ThemeIcons.h"

#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <optional>

static void initSymbolResources() {
    Q_INIT_RESOURCE(ui_icons); // the drawings live in a static library
}

namespace themeicons {

namespace {

const QString kBundledPrefix = QStringLiteral(":/icons/symbolic/");

// The colour a one-colour shape is filled with in `mode`.
QColor shapeColor(QIcon::Mode mode) {
    const QPalette palette = QGuiApplication::palette();
    switch (mode) {
    case QIcon::Disabled:
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    case QIcon::Selected:
        return palette.color(QPalette::Active, QPalette::HighlightedText);
    default:
        return palette.color(QPalette::Active, QPalette::WindowText);
    }
}

QImage blank(const QSize& pixels) {
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Draws an icon of one of three kinds, in the palette's colours of the moment; the kind of a
// themed icon is settled when it is first drawn.
class PaletteIconEngine : public QIconEngine {
public:
    enum class Kind { Themed, Symbolic, TwoTone };

    PaletteIconEngine(Kind kind, const QString& source) : kind_(kind), source_(source) {}

    QIconEngine* clone() const override { return new PaletteIconEngine(*this); }
    QString key() const override { return QStringLiteral("ostrel-palette"); }
    // Only a theme's own icon has a name to pass on (a tray menu's host loads it by name);
    // ours and tinted ones go as pixels.
    QString iconName() override {
        resolve();
        return kind_ == Kind::Themed && !theme_->isNull() ? source_ : QString();
    }

    bool isNull() override {
        resolve();
        return kind_ == Kind::Themed ? theme_->isNull() : source_.isEmpty();
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        resolve();
        if (kind_ == Kind::Themed)
            return theme_->availableSizes(mode, state);
        return {QSize(16, 16), QSize(22, 22), QSize(24, 24), QSize(32, 32), QSize(48, 48), QSize(64, 64)};
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        resolve();
        return kind_ == Kind::Themed ? theme_->actualSize(size, mode, state) : size;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size() * scale, mode, state, scale));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // `pixels` is the size on the screen, `scale` its ratio to the size in the layout.
    QPixmap scaledPixmap(const QSize& pixels, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        resolve();
        if (kind_ == Kind::Themed)
            return theme_->pixmap((QSizeF(pixels) / scale).toSize(), scale, mode, state);
        const QPalette palette = QGuiApplication::palette();
        const QColor fill = shapeColor(mode);
        const QColor outline = palette.color(QPalette::Active, QPalette::Window);
        const QString cacheKey = QStringLiteral("ostrel-icon:%1:%2x%3:%4:%5")
                                     .arg(source_)
                                     .arg(pixels.width())
                                     .arg(pixels.height())
                                     .arg(fill.rgba())
                                     .arg(kind_ == Kind::TwoTone ? outline.rgba() : 0);
        QPixmap drawn;
        if (!QPixmapCache::find(cacheKey, &drawn)) {
            drawn = QPixmap::fromImage(kind_ == Kind::TwoTone ? twoTone(pixels, fill, outline) : symbolic(pixels, fill));
            QPixmapCache::insert(cacheKey, drawn);
        }
        drawn.setDevicePixelRatio(scale);
        return drawn;
    }

private:
    // Asks the theme once, at the first drawing.
    void resolve() {
        if (kind_ != Kind::Themed || theme_)
            return;
        const QString symbolicName = source_ + QStringLiteral("-symbolic");
        if (QIcon::hasThemeIcon(symbolicName)) {
            // Symbolic drawings are meant to be filled with the text colour.
            kind_ = Kind::Symbolic;
            shape_ = QIcon::fromTheme(symbolicName);
        } else if (QIcon::hasThemeIcon(source_)) {
            theme_ = QIcon::fromTheme(source_);
        } else if (hasBundled(source_)) {
            kind_ = Kind::Symbolic;
            source_ = kBundledPrefix + source_;
        } else {
            theme_ = QIcon();
        }
    }

    // The shape (our SVG, or the theme's symbolic icon) filled with `color`.
    QImage symbolic(const QSize& pixels, const QColor& color) const {
        QImage image = blank(pixels);
        QPainter painter(&image);
        if (shape_.isNull()) {
            QSvgRenderer renderer(source_);
            renderer.setAspectRatioMode(Qt::KeepAspectRatio);
            renderer.render(&painter);
        } else {
            painter.drawPixmap(image.rect(), shape_.pixmap(pixels));
        }
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(image.rect(), color);
        return image;
    }

    QImage twoTone(const QSize& pixels, const QColor& fill, const QColor& outline) const {
        QFile file(source_);
        if (!file.open(QIODevice::ReadOnly))
            return blank(pixels);
        QByteArray svg = file.readAll();
        svg.replace("#ffffff", fill.name().toLatin1()).replace("#1b1f24", outline.name().toLatin1());
        QImage image = blank(pixels);
        QPainter painter(&image);
        QSvgRenderer renderer(svg);
        renderer.setAspectRatioMode(Qt::KeepAspectRatio);
        renderer.render(&painter);
        return image;
    }

    Kind kind_;
    QString source_; // the name while themed, else the SVG resource
    QIcon shape_;    // the theme's symbolic drawing
    std::optional<QIcon> theme_; // the theme's full-colour icon, once asked
};

} // namespace

bool hasBundled(const QString& name) {
    static const bool registered = (initSymbolResources(), true);
    Q_UNUSED(registered);
    return !name.isEmpty() && !name.contains(u'/') && QFile::exists(kBundledPrefix + name);
}

QIcon themeIcon(const QString& name) {
    if (name.isEmpty())
        return QIcon();
    return QIcon(new PaletteIconEngine(PaletteIconEngine::Kind::Themed, name));
}

QIcon twoToneIcon(const QString& resource) {
    return QIcon(new PaletteIconEngine(PaletteIconEngine::Kind::TwoTone, resource));
}

} // namespace themeicons
