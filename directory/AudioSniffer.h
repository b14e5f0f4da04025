// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

// Tells from the first bytes of a stream whether it is audio the player decodes: MPEG audio
// (MP3), AAC in ADTS frames, Ogg (Vorbis, Opus, FLAC) or FLAC. A stream may start anywhere in
// a frame, so MPEG and ADTS count only when two frames follow each other.
namespace audiosniffer {

struct Format {
    QString codec;    // as the directory names codecs: "MP3", "AAC", "OGG", "OPUS", "FLAC"
    int bitrate = 0;  // kbit/s when the first frame tells it, else 0
    bool operator==(const Format&) const = default;
};

// How far into the bytes a frame start is looked for.
constexpr qsizetype kScanBytes = 16 * 1024;

std::optional<Format> sniff(QByteArrayView bytes);

} // namespace audiosniffer
