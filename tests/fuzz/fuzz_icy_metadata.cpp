// SPDX-License-Identifier: GPL-3.0-or-later
// ICY stream bodies from any server: the reader must take them without crashing, and the titles
// must not depend on how the network cut the bytes into pieces.
// Input: the metadata interval (2 bytes, little-endian, plus 1), a piece size (1 byte, plus 1),
// then the body.
#include "media/IcyMetadataReader.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const qsizetype interval = qsizetype(data[0] | data[1] << 8) + 1;
    const qsizetype piece = qsizetype(data[2]) + 1;
    const QByteArrayView body(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3));

    IcyMetadataReader whole(interval);
    const QStringList expected = whole.read(body);

    IcyMetadataReader pieces(interval);
    QStringList titles;
    for (qsizetype at = 0; at < body.size(); at += piece)
        titles += pieces.read(body.sliced(at, std::min(piece, body.size() - at)));
    if (titles != expected)
        std::abort();

    // A block is at most 255 × 16 bytes; the body read as one block must not crash either.
    (void)IcyMetadataReader::streamTitle(body.first(std::min<qsizetype>(body.size(), 4080)));
    return 0;
}
