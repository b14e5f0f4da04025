#pragma once

#include "audio/AudioHardware.h"

#include <QHash>
#include <QList>

// AudioHardware whose answers the test sets. A device owns one output stream; a failed read is
// scripted by leaving the answer unset.
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

    // What a write of the holding process does to the holder that is read back.
    enum class HogWrite { Takes, Ignored, TakenByOther };

    Device& addDevice(Device device);
    Device& device(AudioObjectID id);
    void removeDevice(AudioObjectID id);

    std::optional<AudioObjectID> defaultDevice;
    HogWrite hogWrite = HogWrite::Takes;
    pid_t otherProcess = 4242;
    QList<pid_t> hogWrites; // every pid written, in order

    // Calls the listeners registered for the property, as the hardware would on a change.
    void changeProperty(AudioObjectID object, AudioPropertySelector selector);

    std::optional<AudioObjectID> defaultOutputDevice() const override { return defaultDevice; }
    QList<AudioObjectID> devices() const override;
    QList<AudioObjectID> subDevices(AudioObjectID) const override { return {}; }
    std::optional<quint32> deviceClass(AudioObjectID device) const override;
    std::optional<quint32> transportType(AudioObjectID device) const override;
    QList<AudioObjectID> outputStreams(AudioObjectID device) const override;
    QList<quint32> outputBufferChannels(AudioObjectID device) const override;
    std::optional<QString> stringProperty(AudioObjectID device, AudioPropertySelector selector) const override;
    bool isHogPidSettable(AudioObjectID device) const override;
    std::optional<pid_t> hogPid(AudioObjectID device) const override;
    bool setHogPid(AudioObjectID device, pid_t pid) override;
    std::optional<bool> isRunningSomewhere(AudioObjectID device) const override;
    std::optional<StreamDescription> physicalFormat(AudioObjectID stream) const override;
    bool setPhysicalFormat(AudioObjectID stream, const StreamDescription& format) override;
    QList<RangedStreamDescription> availablePhysicalFormats(AudioObjectID stream) const override;
    bool addPropertyListener(AudioObjectID object, AudioPropertySelector selector, PropertyListener listener,
                             void* clientData) override;
    bool removePropertyListener(AudioObjectID object, AudioPropertySelector selector, PropertyListener listener,
                                void* clientData) override;

private:
    const Device* find(AudioObjectID id) const;
    Device* findStream(AudioObjectID stream);
    const Device* findStream(AudioObjectID stream) const;

    struct Listener {
        AudioObjectID object;
        AudioPropertySelector selector;
        PropertyListener proc;
        void* clientData;
    };
    QList<Device> devices_;
    QList<Listener> listeners_;
};

// A linear-PCM ranged description at one rate, as hardware lists them.
RangedStreamDescription linearPcm(double rate, quint32 bits, quint32 channels, quint32 extraFlags = 0);
