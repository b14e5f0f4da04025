// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/OggPageCutter.h"

#include <QtEndian>

namespace {
constexpr qsizetype kHeaderSize = 27; // up to the segment count
constexpr char kCapture[] = "OggS";
constexpr quint8 kBeginsStream = 0x02;
} // namespace

QList<QByteArray> OggPageCutter::add(QByteArrayView bytes) {
    pending_.append(bytes);
    QList<QByteArray> pages;
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
        }
        if (inHeaders_ && (begins || position == 0)) {
            newHeaders_ += page;
            continue;
        }
        if (inHeaders_) {
            inHeaders_ = false;
            headers_ = newHeaders_;
        }
        pages.append(page);
    }
    pending_.remove(0, at);
    return pages;
}
