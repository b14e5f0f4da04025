// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// Identifiers and values of the audio hardware layer: objects (devices and their streams) are
// 32-bit identifiers; selectors, format identifiers and transport types are four-character codes.
using AudioObjectID = quint32;
using AudioPropertySelector = quint32;

inline constexpr AudioObjectID kAudioObjectUnknown = 0;
inline constexpr AudioObjectID kAudioObjectSystemObject = 1;

// The four ASCII characters read big-endian: "lpcm" -> 0x6C70636D.
constexpr quint32 fourCharCode(const char (&code)[5]) {
    return quint32(quint8(code[0])) << 24 | quint32(quint8(code[1])) << 16 | quint32(quint8(code[2])) << 8 |
           quint32(quint8(code[3]));
}

namespace audioselector {
inline constexpr AudioPropertySelector kDefaultOutputDevice = fourCharCode("dOut");
inline constexpr AudioPropertySelector kDevices = fourCharCode("dev#");
inline constexpr AudioPropertySelector kSubDevices = fourCharCode("agrp");
inline constexpr AudioPropertySelector kClass = fourCharCode("clas");
inline constexpr AudioPropertySelector kTransportType = fourCharCode("tran");
inline constexpr AudioPropertySelector kStreams = fourCharCode("stm#");
inline constexpr AudioPropertySelector kStreamConfiguration = fourCharCode("slay");
inline constexpr AudioPropertySelector kName = fourCharCode("lnam");
inline constexpr AudioPropertySelector kUid = fourCharCode("uid ");
inline constexpr AudioPropertySelector kHogPid = fourCharCode("oink");
inline constexpr AudioPropertySelector kIsRunningSomewhere = fourCharCode("gone");
inline constexpr AudioPropertySelector kPhysicalFormat = fourCharCode("pft ");
inline constexpr AudioPropertySelector kAvailablePhysicalFormats = fourCharCode("pfta");
} // namespace audioselector

namespace audioclass {
inline constexpr quint32 kDevice = fourCharCode("adev");
} // namespace audioclass

namespace audiotransport {
inline constexpr quint32 kUnknown = 0;
inline constexpr quint32 kBuiltIn = fourCharCode("bltn");
inline constexpr quint32 kUSB = fourCharCode("usb ");
inline constexpr quint32 kBluetooth = fourCharCode("blue");
inline constexpr quint32 kBluetoothLE = fourCharCode("blea");
inline constexpr quint32 kHDMI = fourCharCode("hdmi");
inline constexpr quint32 kDisplayPort = fourCharCode("dprt");
inline constexpr quint32 kAirPlay = fourCharCode("airp");
inline constexpr quint32 kThunderbolt = fourCharCode("thun");
inline constexpr quint32 kPCI = fourCharCode("pci ");
inline constexpr quint32 kFireWire = fourCharCode("1394");
inline constexpr quint32 kAVB = fourCharCode("eavb");
inline constexpr quint32 kVirtual = fourCharCode("virt");
inline constexpr quint32 kAggregate = fourCharCode("grup");
inline constexpr quint32 kContinuityCaptureWired = fourCharCode("ccwd");
} // namespace audiotransport

namespace audioformat {
inline constexpr quint32 kLinearPCM = fourCharCode("lpcm");
inline constexpr quint32 kFlagIsFloat = 0x1;
inline constexpr quint32 kFlagIsBigEndian = 0x2;
inline constexpr quint32 kFlagIsSignedInteger = 0x4;
inline constexpr quint32 kFlagIsPacked = 0x8;
inline constexpr quint32 kFlagIsNonMixable = 0x40;
} // namespace audioformat

// The linear description of an audio stream, laid out as the 40 bytes the hardware layer uses.
struct StreamDescription {
    double sampleRate = 0;
    quint32 formatID = 0;
    quint32 formatFlags = 0;
    quint32 bytesPerPacket = 0;
    quint32 framesPerPacket = 0;
    quint32 bytesPerFrame = 0;
    quint32 channelsPerFrame = 0;
    quint32 bitsPerChannel = 0;
    quint32 reserved = 0;

    friend bool operator==(const StreamDescription&, const StreamDescription&) = default;
};
static_assert(sizeof(StreamDescription) == 40);

// A stream description with the range of sample rates it is offered at (56 bytes).
struct RangedStreamDescription {
    StreamDescription format;
    double minSampleRate = 0;
    double maxSampleRate = 0;

    friend bool operator==(const RangedStreamDescription&, const RangedStreamDescription&) = default;
};
static_assert(sizeof(RangedStreamDescription) == 56);
