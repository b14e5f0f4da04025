// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/IconLoader.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

// An image view that shows a remote image and keeps a copy of it on disk, so that the next
// request for it needs no network. Only the latest request of a view is ever shown.
//
// The image is drawn scaled to fit, keeping its proportions. A template image (images::isTemplate)
// is drawn as a mask in the palette's text colour, so symbols follow light and dark themes.
class CachedURLImageView : public QWidget {
    Q_OBJECT
public:
    // `loader` is not owned and must outlive the view.
    explicit CachedURLImageView(IconLoader* loader, QWidget* parent = nullptr);
    ~CachedURLImageView() override;

    // Shows the image stored under `cacheFolder`/`cacheName` at once when there is one;
    // otherwise fetches `url` without blocking, shows the result when this is still the view's
    // latest request, and stores it. On failure `fallBackImage` is shown (when not null). An
    // empty `url` only cancels the running load. Names that cannot be file names are fetched
    // every time and never stored.
    void setImageWithURL(const QUrl& url, const QString& cacheFolder, const QString& cacheName,
                         const QImage& fallBackImage);
    // Cancels the running load, then shows `image` (null: nothing).
    void setImage(const QImage& image);
    QImage image() const { return image_; }
    // A load is running whose result would be shown.
    bool isLoading() const { return t_.isActive(); }
    QString appCachePath() const;

    enum class Scaling {
        Fit,     // scaled up or down to fill the view
        FitDown, // scaled down when larger than the view, else drawn at its own size
    };
    void setScaling(Scaling scaling);
    Scaling scaling() const { return scaling_; }

    void setPreferredSize(const QSize& size);
    // Rounds the view's corners: the image is clipped to them, over a quiet background.
    void setCornerRadius(qreal radius);
    QSize sizeHint() const override;

Q_SIGNALS:
    // After every setImage, the loader's results included.
    void imageChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    const QPixmap& scaledPixmap(const QSize& pixelSize);

    IconLoader* loader_;
    IconLoader::Request t_;
    QImage image_;
    QSize preferredSize_{64, 64};
    qreal cornerRadius_ = 0;
    Scaling scaling_ = Scaling::Fit;
    // The image drawn at the view's size, made again when the size, image or colour changes.
    QPixmap scaled_;
    qint64 scaledKey_ = 0;
    QRgb scaledTint_ = 0;
};
