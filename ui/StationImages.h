// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QImage>
#include <QString>

class CachedURLImageView;

// Station icons in image views: the icon from the station's address, cached per country, with
// the antenna symbol when there is none.
namespace stationimages {

// Start of every icon cache folder's name; the station's country code follows.
inline const QString kIconFolderPrefix = QStringLiteral("OR_");

// "OR_" and the station's "countrycode" (nothing after the prefix when it has none).
QString iconFolderForStation(const Station& station);

// The antenna symbol at the large scale, made once. Main thread only.
QImage fallbackImage();

// Clears the view, then loads the station's icon into it (the station's "stationuuid" names the
// cache file) with the antenna as fallback, or shows the antenna at once when the station has
// no icon address.
void setImageView(CachedURLImageView* view, const Station& station);

} // namespace stationimages
