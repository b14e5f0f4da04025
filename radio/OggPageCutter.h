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
    // Appends `bytes`; returns the audio pages now complete, in order.
    QList<QByteArray> add(QByteArrayView bytes);
    // A new connection: what is left of a page from the last one is dropped.
    void restart() { pending_.clear(); }
    // The current stream's header pages, one after the other; empty before they came whole.
    QByteArray headers() const { return headers_; }

private:
    QByteArray pending_;
    QByteArray headers_;
    QByteArray newHeaders_; // while a stream's headers come in
    bool inHeaders_ = false;
};
