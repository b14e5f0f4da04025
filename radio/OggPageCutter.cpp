// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/OggPageCutter.h"

#include <QtEndian>
#include <array>

namespace {
constexpr qsizetype kHeaderSize = 27; // up to the segment count
constexpr char kCapture[] = "OggS";
constexpr quint8 kBeginsStream = 0x02;
constexpr quint64 kNoPosition = ~quint64(0);

// Ogg's CRC-32: polynomial 0x04C11DB7, not reflected, starting from 0.
quint32 checksum(const QByteArray& page) {
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 r = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                r = r & 0x80000000u ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    quint32 crc = 0;
    for (const char c : page)
        crc = (crc << 8) ^ table[((crc >> 24) ^ quint8(c)) & 0xFF];
    return crc;
}
} // namespace

quint64 OggPageCutter::position(const QByteArray& page) {
    return page.size() >= kHeaderSize ? qFromLittleEndian<quint64>(page.constData() + 6) : kNoPosition;
}

QByteArray OggPageCutter::withPosition(QByteArray page, quint64 position) {
    if (page.size() < kHeaderSize)
        return page;
    qToLittleEndian(position, page.data() + 6);
    qToLittleEndian(quint32(0), page.data() + 22);
    qToLittleEndian(checksum(page), page.data() + 22);
    return page;
}

QList<OggPageCutter::Page> OggPageCutter::add(QByteArrayView bytes) {
    pending_.append(bytes);
    QList<Page> pages;
    qsizetype at = 0;
    while (true) {
        // Whatever is not a page (a stream joined mid-page) is skipped up to the next one.
        const qsizetype start = pending_.indexOf(kCapture, at);
        if (start < 0) {
            at = std::max(at, pending_.size() - 3); // the capture pattern may be cut
            break;
        }
        at = start;
        if (pending_.size() - at < kHeaderSize)
            break;
        const auto* head = reinterpret_cast<const uchar*>(pending_.constData() + at);
        const int segments = head[26];
        if (pending_.size() - at < kHeaderSize + segments)
            break;
        qsizetype body = 0;
        for (int i = 0; i < segments; ++i)
            body += head[kHeaderSize + i];
        const qsizetype size = kHeaderSize + segments + body;
        if (pending_.size() - at < size)
            break;
        const QByteArray page = pending_.mid(at, size);
        at += size;
        const bool begins = head[5] & kBeginsStream;
        const quint64 position = qFromLittleEndian<quint64>(head + 6);
        if (begins && !inHeaders_) {
            inHeaders_ = true;
            newHeaders_.clear();
            position_ = 0; // a new stream counts from the start
        }
        if (inHeaders_ && (begins || position == 0)) {
            newHeaders_ += page;
            continue;
        }
        if (inHeaders_) {
            inHeaders_ = false;
            headers_ = newHeaders_;
        }
        pages.append({page, position_});
        if (position != kNoPosition)
            position_ = position;
    }
    pending_.remove(0, at);
    return pages;
}
