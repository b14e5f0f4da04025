// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CachedURLImageView.h"

#include "ui/ImageExtensions.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

CachedURLImageView::CachedURLImageView(IconLoader* loader, QWidget* parent) : QWidget(parent), loader_(loader) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

CachedURLImageView::~CachedURLImageView() = default;

QString CachedURLImageView::appCachePath() const {
    return loader_ ? loader_->appCachePath() : QString();
}

void CachedURLImageView::setImageWithURL(const QUrl& url, const QString& cacheFolder, const QString& cacheName,
                                         const QImage& fallBackImage) {
    t_.cancel();
    if (url.isEmpty() || !loader_)
        return;
    // The stored icon when there is one, else the download. The request is this view's own, so a result reaching the callback is the latest one.
    t_ = loader_->load(url, cacheFolder, cacheName, [this, fallBackImage](const QImage& image) {
        if (!image.isNull())
            setImage(image);
        else if (!fallBackImage.isNull())
            setImage(fallBackImage);
    });
}

void CachedURLImageView::setImage(const QImage& image) {
    t_.cancel();
    image_ = image;
    scaled_ = QPixmap();
    update();
    Q_EMIT imageChanged();
}

void CachedURLImageView::setScaling(Scaling scaling) {
    scaling_ = scaling;
    update();
}

void CachedURLImageView::setPreferredSize(const QSize& size) {
    preferredSize_ = size;
    updateGeometry();
}

QSize CachedURLImageView::sizeHint() const {
    return preferredSize_;
}

const QPixmap& CachedURLImageView::scaledPixmap(const QSize& pixelSize) {
    const bool tinted = images::isTemplate(image_);
    const QRgb tint = tinted ? palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                               QPalette::WindowText).rgba()
                             : 0;
    if (scaled_.isNull() || scaled_.size() != pixelSize || scaledKey_ != image_.cacheKey() || scaledTint_ != tint) {
        QImage scaled = image_.scaled(pixelSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (tinted)
            scaled = images::tinted(scaled, QColor::fromRgba(tint));
        scaled_ = QPixmap::fromImage(std::move(scaled));
        scaledKey_ = image_.cacheKey();
        scaledTint_ = tint;
    }
    return scaled_;
}

void CachedURLImageView::setCornerRadius(qreal radius) {
    cornerRadius_ = radius;
    update();
}

void CachedURLImageView::paintEvent(QPaintEvent*) {
    const QRect box = contentsRect();
    if (box.isEmpty())
        return;
    QPainter painter(this);
    if (cornerRadius_ > 0) {
        QPainterPath rounded;
        rounded.addRoundedRect(QRectF(box), cornerRadius_, cornerRadius_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(rounded, palette().color(QPalette::AlternateBase));
        painter.setClipPath(rounded);
    }
    if (image_.isNull())
        return;
    const qreal dpr = devicePixelRatioF();
    const QSizeF natural = image_.deviceIndependentSize();
    const bool fits = natural.width() <= box.width() && natural.height() <= box.height();
    const QSizeF logicalBox = scaling_ == Scaling::FitDown && fits ? natural : natural.scaled(QSizeF(box.size()), Qt::KeepAspectRatio);
    const QSize pixelBox = (logicalBox * dpr).toSize();
    if (pixelBox.isEmpty())
        return;
    QPixmap pixmap = scaledPixmap(pixelBox);
    pixmap.setDevicePixelRatio(dpr);
    const QSizeF logical = QSizeF(pixmap.size()) / dpr;
    const QPointF origin(box.x() + (box.width() - logical.width()) / 2, box.y() + (box.height() - logical.height()) / 2);
    painter.drawPixmap(origin, pixmap);
}

void CachedURLImageView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}
