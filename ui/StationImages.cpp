// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/StationImages.h"

#include "directory/StationFields.h"
#include "ui/CachedURLImageView.h"
#include "ui/ImageExtensions.h"

#include <QUrl>

namespace stationimages {

QString iconFolderForStation(const Station& station) {
    return kIconFolderPrefix + station.string(Station::Key::CountryCode);
}

QImage fallbackImage() {
    static const QImage antenna =
        images::imageWithSystemSymbolName(QStringLiteral("antenna.radiowaves.left.and.right"), images::SymbolScaleLarge);
    return antenna;
}

void setImageView(CachedURLImageView* view, const Station& station) {
    if (!view)
        return;
    view->setImage(QImage());
    const QString icon = StationFields::iconPathForStation(station);
    if (icon.isEmpty()) {
        view->setImage(fallbackImage());
        return;
    }
    view->setImageWithURL(QUrl(icon), iconFolderForStation(station), station.string(Station::Key::StationUuid),
                          fallbackImage());
}

} // namespace stationimages
