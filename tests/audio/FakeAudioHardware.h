#pragma once

#include "audio/AudioHardware.h"

#include <algorithm>

// AudioHardware whose answers the test sets. Each device has at most one output stream; an
// answer left unset is a failed read.
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
    std::optional<AudioObjectID> defaultDevice;
    HogWrite hogWrite = HogWrite::Takes;
    QList<pid_t> hogWrites; // every holder written, in order

    // The device, which must be there.
    Device& device(AudioObjectID id) {
        return *std::find_if(list.begin(), list.end(), [id](const Device& d) { return d.id == id; });
    }

    // Calls the listeners of the property, as the hardware does on a change.
    void changeProperty(AudioObjectID object, AudioPropertySelector selector) {
        for (const Listener& l : QList<Listener>(listeners_)) {
            if (l.object == object && l.selector == selector)
                l.proc(object, selector, l.clientData);
        }
    }

    std::optional<AudioObjectID> defaultOutputDevice() const override { return defaultDevice; }
    QList<AudioObjectID> devices() const override {
        QList<AudioObjectID> ids;
        for (const Device& d : list)
            ids.append(d.id);
        return ids;
    }
    QList<AudioObjectID> subDevices(AudioObjectID) const override { return {}; }
    std::optional<quint32> deviceClass(AudioObjectID id) const override {
        return find(id) ? std::optional(audioclass::kDevice) : std::nullopt;
    }
    std::optional<quint32> transportType(AudioObjectID id) const override {
        return find(id) ? find(id)->transport : std::nullopt;
    }
    QList<AudioObjectID> outputStreams(AudioObjectID id) const override {
        return find(id) && find(id)->stream ? QList<AudioObjectID>{find(id)->stream} : QList<AudioObjectID>{};
    }
    QList<quint32> outputBufferChannels(AudioObjectID id) const override {
        return find(id) ? find(id)->bufferChannels : QList<quint32>{};
    }
    std::optional<QString> stringProperty(AudioObjectID id, AudioPropertySelector selector) const override {
        if (!find(id) || (selector != audioselector::kName && selector != audioselector::kUid))
            return std::nullopt;
        return selector == audioselector::kName ? find(id)->name : find(id)->uid;
    }
    bool isHogPidSettable(AudioObjectID id) const override { return find(id) && find(id)->hogSettable; }
    std::optional<pid_t> hogPid(AudioObjectID id) const override { return find(id) ? find(id)->hogPid : std::nullopt; }
    bool setHogPid(AudioObjectID id, pid_t pid) override {
        hogWrites.append(pid);
        if (!find(id))
            return false;
        if (pid == -1 || hogWrite == HogWrite::Takes)
            device(id).hogPid = pid;
        else if (hogWrite == HogWrite::TakenByOther)
            device(id).hogPid = 4242;
        return device(id).hogPid == pid;
    }
    std::optional<bool> isRunningSomewhere(AudioObjectID id) const override {
        return find(id) ? find(id)->running : std::nullopt;
    }
    std::optional<StreamDescription> physicalFormat(AudioObjectID stream) const override {
        return findStream(stream) ? findStream(stream)->currentFormat : std::nullopt;
    }
    bool setPhysicalFormat(AudioObjectID stream, const StreamDescription& format) override {
        if (!findStream(stream))
            return false;
        for (Device& d : list) {
            if (d.stream == stream)
                d.currentFormat = format;
        }
        return true;
    }
    QList<RangedStreamDescription> availablePhysicalFormats(AudioObjectID stream) const override {
        return findStream(stream) ? findStream(stream)->formats : QList<RangedStreamDescription>{};
    }
    bool addPropertyListener(AudioObjectID object, AudioPropertySelector selector, PropertyListener proc,
                             void* clientData) override {
        listeners_.append({object, selector, proc, clientData});
        return true;
    }
    bool removePropertyListener(AudioObjectID object, AudioPropertySelector selector, PropertyListener proc,
                                void* clientData) override {
        return listeners_.removeIf([&](const Listener& l) {
                   return l.object == object && l.selector == selector && l.proc == proc && l.clientData == clientData;
               }) > 0;
    }

private:
    struct Listener {
        AudioObjectID object;
        AudioPropertySelector selector;
        PropertyListener proc;
        void* clientData;
    };
    const Device* find(AudioObjectID id) const {
        const auto it = std::find_if(list.cbegin(), list.cend(), [id](const Device& d) { return d.id == id; });
        return it == list.cend() ? nullptr : &*it;
    }
    const Device* findStream(AudioObjectID stream) const {
        const auto it = std::find_if(list.cbegin(), list.cend(), [stream](const Device& d) { return stream && d.stream == stream; });
        return it == list.cend() ? nullptr : &*it;
    }
    QList<Listener> listeners_;
};

// A linear-PCM ranged description at one rate, as hardware lists them.
inline RangedStreamDescription linearPcm(double rate, quint32 bits, quint32 channels, quint32 extraFlags = 0) {
    StreamDescription d{rate, audioformat::kLinearPCM,
                        audioformat::kFlagIsSignedInteger | audioformat::kFlagIsPacked | extraFlags,
                        bits / 8 * channels, 1, bits / 8 * channels, channels, bits, 0};
    return {d, rate, rate};
}
