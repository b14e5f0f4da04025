// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// One title a station sent, as the song history keeps it.
struct SongEntry {
    QDateTime time;   // when it came, in UTC
    QString title;    // as the stream sent it, "Artist - Title" for most
    Station station;  // enough of the station to play it again: songhistoryfile::keptStation
    bool starred = false;
    quint64 id = 0;   // a handle for this run only, never stored
};
using SongList = QList<SongEntry>;

// The song history file: the list file layout (see StationArchive.h) under its own format tag,
// one map per song, newest first:
//
//   55799(0x4F534801([ {"time": ms since the epoch, "title": text, "name": text, "url": text,
//                       "stationuuid"?: text, "favicon"?: text, "ostrel_custom"?: 1,
//                       "starred"?: true}, ... ]))
//
// Reading is as strict as for station lists; a map with a key or type besides these, or
// without a title, time, name or address, refuses the whole file.
namespace songhistoryfile {

inline constexpr quint64 kFormatTag = 0x4F534801; // "OS", song history, version 1

QByteArray encode(const SongList& songs);
std::optional<SongList> decode(QByteArrayView data, QString* error = nullptr);

// What an entry keeps of a station: its identity, name, address and icon, and whether it is
// one of the user's own.
Station keptStation(const Station& station);

} // namespace songhistoryfile
