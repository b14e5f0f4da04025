// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/AudioSniffer.h"

namespace audiosniffer {

namespace {

struct Frame {
    qsizetype length = 0;
    int bitrate = 0; // kbit/s
    bool aac = false;
    int layer = 0;
};

quint8 at(QByteArrayView b, qsizetype i) {
    return quint8(b[i]);
}

// An MPEG audio or ADTS frame header at `i`, or nothing.
std::optional<Frame> frameAt(QByteArrayView b, qsizetype i) {
    if (i + 7 > b.size() || at(b, i) != 0xFF || (at(b, i + 1) & 0xE0) != 0xE0)
        return std::nullopt;
    const int version = (at(b, i + 1) >> 3) & 3; // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5, 1 reserved
    const int layerBits = (at(b, i + 1) >> 1) & 3;
    if (layerBits == 0) {
        // ADTS: a 12-bit sync, then the frame length in 13 bits.
        if ((at(b, i + 1) & 0xF0) != 0xF0 || ((at(b, i + 2) >> 2) & 0xF) > 12)
            return std::nullopt;
        const qsizetype length = ((at(b, i + 3) & 3) << 11) | (at(b, i + 4) << 3) | (at(b, i + 5) >> 5);
        if (length < 7)
            return std::nullopt;
        return Frame{length, 0, true, 0};
    }
    if (version == 1)
        return std::nullopt;
    const int layer = 4 - layerBits;
    const int bitrateIndex = at(b, i + 2) >> 4;
    const int rateIndex = (at(b, i + 2) >> 2) & 3;
    if (bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return std::nullopt;
    static constexpr int kBitrates[5][15] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // MPEG-1 layer I
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},    // MPEG-1 layer II
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},     // MPEG-1 layer III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},    // MPEG-2 layer I
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},         // MPEG-2 layers II, III
    };
    static constexpr int kRates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int table = mpeg1 ? layer - 1 : (layer == 1 ? 3 : 4);
    const int bitrate = kBitrates[table][bitrateIndex];
    const int rate = kRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    const int padding = (at(b, i + 2) >> 1) & 1;
    qsizetype length = 0;
    if (layer == 1)
        length = (12 * bitrate * 1000 / rate + padding) * 4;
    else
        length = (layer == 3 && !mpeg1 ? 72 : 144) * bitrate * 1000 / rate + padding;
    if (length < 4)
        return std::nullopt;
    return Frame{length, bitrate, false, layer};
}

// Past an ID3v2 tag at the start, if there is one.
qsizetype afterId3(QByteArrayView b) {
    if (b.size() < 10 || !b.startsWith("ID3"))
        return 0;
    qsizetype size = 0;
    for (int i = 6; i < 10; ++i) {
        if (at(b, i) & 0x80)
            return 0;
        size = (size << 7) | at(b, i);
    }
    return 10 + size;
}

} // namespace

std::optional<Format> sniff(QByteArrayView bytes) {
    if (bytes.startsWith("fLaC"))
        return Format{QStringLiteral("FLAC"), 0};
    if (bytes.startsWith("OggS")) {
        const QByteArrayView page = bytes.first(qMin<qsizetype>(bytes.size(), 512));
        if (page.contains("OpusHead"))
            return Format{QStringLiteral("OPUS"), 0};
        if (page.contains("\x7F" "FLAC"))
            return Format{QStringLiteral("FLAC"), 0};
        if (page.contains("\x01vorbis"))
            return Format{QStringLiteral("OGG"), 0};
        return std::nullopt; // Ogg video, or a codec the player has no decoder for
    }
    const qsizetype start = afterId3(bytes);
    const qsizetype end = qMin(bytes.size(), start + kScanBytes);
    for (qsizetype i = start; i < end; ++i) {
        const std::optional<Frame> frame = frameAt(bytes, i);
        if (!frame)
            continue;
        const std::optional<Frame> next = frameAt(bytes, i + frame->length);
        if (!next || next->aac != frame->aac || next->layer != frame->layer)
            continue;
        if (frame->aac)
            return Format{QStringLiteral("AAC"), 0};
        return Format{frame->layer == 3 ? QStringLiteral("MP3") : QStringLiteral("MP%1").arg(frame->layer),
                      frame->bitrate};
    }
    return std::nullopt;
}

} // namespace audiosniffer
