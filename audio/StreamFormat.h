// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioTypes.h"

#include <QString>

// One physical format of an output stream, made from its stream description.
class StreamFormat {
public:
    StreamFormat() = default;
    explicit StreamFormat(const StreamDescription& description) : description_(description) {}

    const StreamDescription& streamDescription() const { return description_; }
    double sampleRate() const { return description_.sampleRate; }
    quint32 bitsPerChannel() const { return description_.bitsPerChannel; }
    quint32 channelsPerFrame() const { return description_.channelsPerFrame; }

    // "44.1kHz @ 16bit : 2ch"
    QString description() const;

    // Ascending by description, runs of digits compared by their value ("48.0kHz" < "192.0kHz").
    static bool lessByDescription(const StreamFormat& a, const StreamFormat& b);

    friend bool operator==(const StreamFormat&, const StreamFormat&) = default;

private:
    StreamDescription description_;
};
