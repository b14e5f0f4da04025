// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/RecordingTags.h"

namespace {
// ID3v2.4 sizes have seven bits a byte, so that no size looks like a frame sync.
QByteArray syncSafe(quint32 size) {
    QByteArray bytes(4, '\0');
    for (int i = 3; i >= 0; --i, size >>= 7)
        bytes[i] = char(size & 0x7F);
    return bytes;
}

QByteArray textFrame(const char* id, const QString& text) {
    const QByteArray body = '\x03' + text.toUtf8(); // encoding 3: UTF-8
    return QByteArray(id) + syncSafe(quint32(body.size())) + QByteArray(2, '\0') + body;
}
} // namespace

QByteArray recordingtags::id3v2(const QString& title, const QString& station) {
    QByteArray frames = textFrame("TIT2", title.isEmpty() ? station : title);
    if (!station.isEmpty())
        frames += textFrame("TRSN", station) + textFrame("TPE2", station);
    return QByteArray("ID3\x04\x00\x00", 6) + syncSafe(quint32(frames.size())) + frames;
}
