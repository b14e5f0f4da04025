// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"
#include "util/Error.h"

#include <QByteArray>
#include <QFlags>
#include <QUrl>
#include <optional>

// The station list format of the favourite, recent, listing and loaded-station files and of
// the cloud record's fields: CBOR (RFC 8949).
//
//   55799(            self-describe tag: marks the bytes as CBOR
//     0x4F535401(     format tag: "OS", station list, version 1
//       [ { text: text | integer | float | bool, ... }, ... ]))
//
// Other lists (the song history) take the same layout under a format tag of their own.
// Every item has a definite length, keys are unique within a map, texts are UTF-8.
// Reading is strict: anything else anywhere in the bytes refuses the whole list.
namespace archive {

inline constexpr quint64 kSelfDescribeTag = 55799;
inline constexpr quint64 kStationListTag = 0x4F535401;

// What a decoder may meet; the root is an array of dictionaries of texts and numbers.
enum class ArchiveClass { Array = 0x1, Dictionary = 0x2, String = 0x4, Number = 0x8 };
Q_DECLARE_FLAGS(ArchiveClasses, ArchiveClass)
inline constexpr ArchiveClasses kStationListClasses = ArchiveClasses(0xF);

// The list's bytes. Only text and number values are written: null, array and object values
// have no place in the format and are left out.
QByteArray archivedDataWithRootObject(const StationList& stations);
// The same layout under another format tag, for list files whose maps are other records.
QByteArray archivedDataWithRootObject(const StationList& records, quint64 formatTag);

// Decodes without logging; a refusal is a BadReply error saying what was wrong and where.
Expected<StationList> decode(QByteArrayView data, ArchiveClasses classes);
// The same for a list under another format tag.
Expected<StationList> decode(QByteArrayView data, ArchiveClasses classes, quint64 formatTag);
// Decodes the first `maxStations` of the list and leaves the rest unread: a list that keeps
// only so many costs no more however long it is sent.
Expected<StationList> decodeFirst(QByteArrayView data, ArchiveClasses classes, qsizetype maxStations);

// Decodes, logging "unarchive error : [why]" on failure.
std::optional<StationList> unarchivedObjectOfClasses(ArchiveClasses classes, QByteArrayView data);
// Reads a whole file and decodes it. A file that cannot be read logs
// "unarchive error reading file : [why]"; an empty file gives nothing without a log line.
std::optional<StationList> unarchivedObjectOfClasses(ArchiveClasses classes, const QUrl& fileUrl);

} // namespace archive

Q_DECLARE_OPERATORS_FOR_FLAGS(archive::ArchiveClasses)
