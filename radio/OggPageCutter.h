// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Cuts an Ogg stream, as it arrives in pieces, into whole pages, and keeps the pages of the
// stream's headers: a file cut from the middle of the stream must start with them to play.
// Header pages are those from a stream's first page (marked "beginning of stream") up to the
// first page that carries a sample position; they are kept, not handed out.
class OggPageCutter {
public:
    struct Page {
        QByteArray bytes;
        quint64 start = 0; // the stream's sample position where the page's audio begins
    };

    // Appends `bytes`; returns the audio pages now complete, in order.
    QList<Page> add(QByteArrayView bytes);
    // A new connection: what is left of a page from the last one is dropped.
    void restart() { pending_.clear(); }
    // The current stream's header pages, one after the other; empty before they came whole.
    QByteArray headers() const { return headers_; }

    // A page's sample position (granule position); ~0 when no packet ends on it.
    static quint64 position(const QByteArray& page);
    // The page with another sample position, and its checksum made again.
    static QByteArray withPosition(QByteArray page, quint64 position);

private:
    QByteArray pending_;
    QByteArray headers_;
    QByteArray newHeaders_; // while a stream's headers come in
    bool inHeaders_ = false;
    quint64 position_ = 0; // of the last audio page
};
