// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// Playlist files as stations and other players publish them: PLS, M3U (plain and extended),
// XSPF and ASX. Pure functions over bytes from anywhere: nothing here trusts its input, fetches
// anything or follows an entry.
namespace playlist {

enum class Format { Unknown, Pls, M3u, Xspf, Asx, Hls };

struct Entry {
    QString url;  // as written, trimmed; any scheme (callers keep the web addresses)
    QString name; // the entry's title, plain text on one line; may be empty
    bool operator==(const Entry&) const = default;
};

// A file longer than this is not read as a playlist, and no more entries are kept from one.
constexpr qsizetype kMaxBytes = 256 * 1024;
constexpr qsizetype kMaxEntries = 1000;
// Names longer than this are cut.
constexpr qsizetype kMaxNameLength = 200;

// What the bytes are, from their content first, then the content type and the address's file
// name. An M3U with "#EXT-X-" tags is an HLS stream, not a playlist. Unknown for audio, pages
// and anything else.
Format detect(QByteArrayView bytes, QByteArrayView contentType = {}, QStringView fileName = {});

// The entries in file order; empty when the bytes are not of that format or hold none.
QList<Entry> parse(QByteArrayView bytes, Format format);
// detect() then parse().
QList<Entry> parse(QByteArrayView bytes, QByteArrayView contentType = {}, QStringView fileName = {});

// A name from outside, fit to show and store: control characters and line breaks become
// blanks, blanks at the ends go, and it is cut at kMaxNameLength.
QString cleanName(QStringView text);

} // namespace playlist
