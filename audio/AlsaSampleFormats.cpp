// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AlsaSampleFormats.h"

#include <array>

namespace alsasampleformats {

namespace {

using namespace audioformat;

struct SampleFormat {
    const char* name;
    quint32 bits;
    quint32 bytes; // per sample, with its container
    quint32 flags;
};

// S24_LE is 24 bits in the low end of 32: not packed.
constexpr std::array kFormats{
    SampleFormat{"S16_LE", 16, 2, kFlagIsSignedInteger | kFlagIsPacked},
    SampleFormat{"S24_3LE", 24, 3, kFlagIsSignedInteger | kFlagIsPacked},
    SampleFormat{"S24_LE", 24, 4, kFlagIsSignedInteger},
    SampleFormat{"S32_LE", 32, 4, kFlagIsSignedInteger | kFlagIsPacked},
    SampleFormat{"FLOAT_LE", 32, 4, kFlagIsFloat | kFlagIsPacked},
    SampleFormat{"U8", 8, 1, kFlagIsPacked},
    SampleFormat{"S16_BE", 16, 2, kFlagIsSignedInteger | kFlagIsPacked | kFlagIsBigEndian},
    SampleFormat{"S24_3BE", 24, 3, kFlagIsSignedInteger | kFlagIsPacked | kFlagIsBigEndian},
    SampleFormat{"S32_BE", 32, 4, kFlagIsSignedInteger | kFlagIsPacked | kFlagIsBigEndian},
};

} // namespace

const QList<QString>& names() {
    static const QList<QString> list = [] {
        QList<QString> n;
        for (const SampleFormat& f : kFormats)
            n.append(QLatin1String(f.name));
        return n;
    }();
    return list;
}

std::optional<StreamDescription> description(const QString& formatName, quint32 channels, double sampleRate) {
    for (const SampleFormat& f : kFormats) {
        if (formatName != QLatin1String(f.name))
            continue;
        StreamDescription d;
        d.sampleRate = sampleRate;
        d.formatID = kLinearPCM;
        d.formatFlags = f.flags;
        d.bytesPerFrame = f.bytes * channels;
        d.bytesPerPacket = d.bytesPerFrame;
        d.framesPerPacket = 1;
        d.channelsPerFrame = channels;
        d.bitsPerChannel = f.bits;
        return d;
    }
    return std::nullopt;
}

QString formatName(const StreamDescription& d) {
    if (d.formatID != kLinearPCM || d.channelsPerFrame == 0)
        return {};
    constexpr quint32 kindFlags = kFlagIsFloat | kFlagIsSignedInteger | kFlagIsBigEndian | kFlagIsPacked;
    for (const SampleFormat& f : kFormats) {
        if (f.bits == d.bitsPerChannel && f.bytes * d.channelsPerFrame == d.bytesPerFrame &&
            (d.formatFlags & kindFlags) == f.flags)
            return QLatin1String(f.name);
    }
    return {};
}

} // namespace alsasampleformats
