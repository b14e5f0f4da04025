// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioHardware.h"

#include <algorithm>

// AudioHardware whose answers the test sets: one output stream at most, an unset answer is a failed
// read, and no listener is ever called.
class FakeAudioHardware final : public AudioHardware {
public:
    struct Device {
        AudioObjectID id = kAudioObjectUnknown;
        AudioObjectID stream = kAudioObjectUnknown; // 0: no output stream
        QString name;
        QString uid;
        std::optional<quint32> transport = audiotransport::kBuiltIn;
        QList<quint32> bufferChannels{2};
        QList<RangedStreamDescription> formats;
        std::optional<StreamDescription> currentFormat;
        bool hogSettable = true;
        std::optional<pid_t> hogPid = -1;
        std::optional<bool> running = false;
    };
    // What a write of this process as the holder does to the holder read back.
    enum class HogWrite { Takes, Ignored, TakenByOther };

    QList<Device> list;
    HogWrite hogWrite = HogWrite::Takes;
    QList<pid_t> hogWrites; // every holder written, in order

private:
    // The device whose `key` (its id or its stream) is `value`, if any; const for a const `self`.
    template <typename Self>
    static auto* find(Self& self, AudioObjectID value, AudioObjectID Device::*key = &Device::id) {
        const auto it = std::find_if(self.list.begin(), self.list.end(),
                                     [&](const Device& d) { return value && d.*key == value; });
        return it == self.list.end() ? nullptr : &*it;
    }
    // The `field` of that device; empty (a failed read) without one.
    template <typename T>
    T get(AudioObjectID value, T Device::*field, AudioObjectID Device::*key = &Device::id) const {
        const Device* d = find(*this, value, key);
        return d ? d->*field : T{};
    }

public:
    std::optional<AudioObjectID> defaultOutputDevice() const override { return std::nullopt; }
    QList<AudioObjectID> devices() const override {
        QList<AudioObjectID> ids;
        for (const Device& d : list)
            ids.append(d.id);
        return ids;
    }
    QList<AudioObjectID> subDevices(AudioObjectID) const override { return {}; }
    std::optional<quint32> deviceClass(AudioObjectID id) const override {
        return find(*this, id) ? std::optional(audioclass::kDevice) : std::nullopt;
    }
    std::optional<quint32> transportType(AudioObjectID id) const override { return get(id, &Device::transport); }
    QList<AudioObjectID> outputStreams(AudioObjectID id) const override {
        const AudioObjectID stream = get(id, &Device::stream);
        return stream ? QList<AudioObjectID>{stream} : QList<AudioObjectID>{};
    }
    QList<quint32> outputBufferChannels(AudioObjectID id) const override { return get(id, &Device::bufferChannels); }
    std::optional<QString> stringProperty(AudioObjectID id, AudioPropertySelector selector) const override {
        if (!find(*this, id) || (selector != audioselector::kName && selector != audioselector::kUid))
            return std::nullopt;
        return get(id, selector == audioselector::kName ? &Device::name : &Device::uid);
    }
    bool isHogPidSettable(AudioObjectID id) const override { return get(id, &Device::hogSettable); }
    std::optional<pid_t> hogPid(AudioObjectID id) const override { return get(id, &Device::hogPid); }
    bool setHogPid(AudioObjectID id, pid_t pid) override {
        hogWrites.append(pid);
        Device* d = find(*this, id);
        if (d && (pid == -1 || hogWrite == HogWrite::Takes))
            d->hogPid = pid;
        else if (d && hogWrite == HogWrite::TakenByOther)
            d->hogPid = 4242;
        return d && d->hogPid == pid;
    }
    std::optional<bool> isRunningSomewhere(AudioObjectID id) const override { return get(id, &Device::running); }
    std::optional<StreamDescription> physicalFormat(AudioObjectID stream) const override {
        return get(stream, &Device::currentFormat, &Device::stream);
    }
    bool setPhysicalFormat(AudioObjectID stream, const StreamDescription& format) override {
        Device* d = find(*this, stream, &Device::stream);
        if (d)
            d->currentFormat = format;
        return d;
    }
    QList<RangedStreamDescription> availablePhysicalFormats(AudioObjectID stream) const override {
        return get(stream, &Device::formats, &Device::stream);
    }
    bool addPropertyListener(AudioObjectID, AudioPropertySelector, PropertyListener, void*) override { return true; }
    bool removePropertyListener(AudioObjectID, AudioPropertySelector, PropertyListener, void*) override {
        return true;
    }

};

// A linear-PCM ranged description at one rate, as hardware lists them.
inline RangedStreamDescription linearPcm(double rate, quint32 bits, quint32 channels, quint32 extraFlags = 0) {
    StreamDescription d{rate, audioformat::kLinearPCM,
                        audioformat::kFlagIsSignedInteger | audioformat::kFlagIsPacked | extraFlags,
                        bits / 8 * channels, 1, bits / 8 * channels, channels, bits, 0};
    return {d, rate, rate};
}
