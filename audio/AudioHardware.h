// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioTypes.h"

#include <QList>
#include <QString>
#include <optional>
#include <sys/types.h>

// The questions the audio-device layer asks of the machine's audio hardware. Each answer is
// absent (or an empty list) when it cannot be read; the layer above turns that into 0, false or
// empty. Implementations: ALSA for the real machine, a scriptable fake for the tests.
class AudioHardware {
public:
    // Called when the property `selector` of `object` may have changed; on the thread the
    // implementation chooses.
    using PropertyListener = void (*)(AudioObjectID object, AudioPropertySelector selector, void* clientData);

    virtual ~AudioHardware();

    // System object.
    virtual std::optional<AudioObjectID> defaultOutputDevice() const = 0;
    virtual QList<AudioObjectID> devices() const = 0;

    // Devices.
    virtual QList<AudioObjectID> subDevices(AudioObjectID aggregate) const = 0;
    virtual std::optional<quint32> deviceClass(AudioObjectID device) const = 0;
    virtual std::optional<quint32> transportType(AudioObjectID device) const = 0;
    virtual QList<AudioObjectID> outputStreams(AudioObjectID device) const = 0;
    // Channel count of each output buffer.
    virtual QList<quint32> outputBufferChannels(AudioObjectID device) const = 0;
    // String properties such as the name ("lnam") and the persistent unique identifier ("uid ").
    virtual std::optional<QString> stringProperty(AudioObjectID device, AudioPropertySelector selector) const = 0;

    // Exclusive use: the holding process (-1 for none), whether it can be set at all, and
    // whether any process has the device running.
    virtual bool isHogPidSettable(AudioObjectID device) const = 0;
    virtual std::optional<pid_t> hogPid(AudioObjectID device) const = 0;
    virtual bool setHogPid(AudioObjectID device, pid_t pid) = 0;
    virtual std::optional<bool> isRunningSomewhere(AudioObjectID device) const = 0;

    // Streams.
    virtual std::optional<StreamDescription> physicalFormat(AudioObjectID stream) const = 0;
    virtual bool setPhysicalFormat(AudioObjectID stream, const StreamDescription& format) = 0;
    virtual QList<RangedStreamDescription> availablePhysicalFormats(AudioObjectID stream) const = 0;

    // A listener is identified by the function together with its client data.
    virtual bool addPropertyListener(AudioObjectID object, AudioPropertySelector selector, PropertyListener listener,
                                     void* clientData) = 0;
    virtual bool removePropertyListener(AudioObjectID object, AudioPropertySelector selector,
                                        PropertyListener listener, void* clientData) = 0;
};
