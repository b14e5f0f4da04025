// SPDX-License-Identifier: GPL-3.0-or-later
// Song history bytes from anywhere: reading must refuse or succeed without crashing, and what it
// accepts must write and read back to the same bytes.
#include "directory/SongHistoryFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto songs = songhistoryfile::decode(bytes);
    if (!songs)
        return 0;
    const QByteArray written = songhistoryfile::encode(*songs);
    const auto again = songhistoryfile::decode(written);
    if (!again || again->size() != songs->size() || songhistoryfile::encode(*again) != written)
        std::abort();
    return 0;
}
