// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QByteArray>
#include <QString>

// Station lists as playlist files other players read: extended M3U or PLS, UTF-8, one entry per
// station with its name and stream address.
namespace playlistwriter {

enum class Format { None, M3u, Pls };

// By the file name's ending: ".m3u" and ".m3u8" give M3U, ".pls" PLS, anything else None.
Format formatForFileName(const QString& fileName);

QByteArray write(const StationList& stations, Format format);

} // namespace playlistwriter
