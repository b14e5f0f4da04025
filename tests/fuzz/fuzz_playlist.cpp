// SPDX-License-Identifier: GPL-3.0-or-later
// Playlists and stream beginnings from any server: every parser must read or refuse without
// crashing, keep within its bounds, and give names fit to show.
#include "directory/AudioSniffer.h"
#include "directory/Playlist.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const auto format : {playlist::Format::Pls, playlist::Format::M3u, playlist::Format::Xspf, playlist::Format::Asx}) {
        const QList<playlist::Entry> entries = playlist::parse(bytes, format);
        if (entries.size() > playlist::kMaxEntries)
            std::abort();
        for (const playlist::Entry& entry : entries)
            if (entry.url.isEmpty() || entry.name.size() > playlist::kMaxNameLength || entry.name.contains(u'\n'))
                std::abort();
    }
    playlist::detect(bytes, "audio/x-mpegurl", u"x.m3u");
    audiosniffer::sniff(bytes);
    return 0;
}
