// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

// Reads the stream titles out of an ICY response body: `metaint` bytes of audio, then a length
// byte (in 16-byte units) and that much metadata text ("StreamTitle='...';StreamUrl='...';"),
// again and again. The body comes from any server, so nothing in it is trusted: blocks are at
// most 4080 bytes by construction, and malformed text yields no title rather than a wrong one.
class IcyMetadataReader {
public:
    // Intervals beyond this are no ICY stream but a garbled header.
    static constexpr qsizetype kMaxInterval = 1 << 20;

    // metaint: from the response's icy-metaint header; not in (0, kMaxInterval]: reads nothing.
    explicit IcyMetadataReader(qsizetype metaint);

    bool isValid() const { return interval_ > 0; }

    // Takes the next bytes of the body, in any pieces. Returns the titles of the metadata blocks
    // completed in them, in order; an empty one means the station cleared its title. Blocks
    // without a StreamTitle (empty blocks, a StreamUrl alone) give nothing.
    QStringList read(QByteArrayView bytes);

    // The raw StreamTitle value of one metadata block, if it names one.
    static std::optional<QByteArray> streamTitle(QByteArrayView block);
    // ICY text as Unicode: UTF-8 when it is valid UTF-8, else Windows-1252, which is what stations
    // that send anything else send.
    static QString decode(QByteArrayView text);

private:
    enum class State { Audio, Length, Metadata };

    qsizetype interval_ = 0;
    State state_ = State::Audio;
    qsizetype left_ = 0; // bytes to the end of the audio or metadata part
    QByteArray block_;
};
