// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioHardware.h"
#include "audio/StreamFormat.h"

#include <QList>
#include <QString>

// Thin readers and writers of one hardware property each. None reports an error: a failed read
// gives 0, false or empty, a failed write is silent (callers read the value back when it matters).
class CoreAudioExtensions {
public:
    CoreAudioExtensions() = delete;

    static AudioObjectID getDefaultOutputAudioDeviceID(const AudioHardware& hardware);
    static QList<AudioObjectID> getDeviceIDList(const AudioHardware& hardware);
    // The active sub-devices of an aggregate device.
    static QList<AudioObjectID> getSubDeviceIDListForDeviceID(const AudioHardware& hardware, AudioObjectID device);
    static quint32 getClassForDeviceID(const AudioHardware& hardware, AudioObjectID device);
    static quint32 getDeviceTransportType(const AudioHardware& hardware, AudioObjectID device);
    static AudioObjectID getFirstOutputStreamIDForDeviceID(const AudioHardware& hardware, AudioObjectID device);
    // The channels of all output buffers together.
    static quint32 getChannelCountForDeviceID(const AudioHardware& hardware, AudioObjectID device);
    static QString getStringProperty(const AudioHardware& hardware, AudioPropertySelector selector,
                                     AudioObjectID device);

    static bool getSupportsHogForDeviceID(const AudioHardware& hardware, AudioObjectID device);
    // -1 when no process holds the device.
    static pid_t getHogPidForDeviceID(const AudioHardware& hardware, AudioObjectID device);
    static void setHogPID(AudioHardware& hardware, pid_t pid, AudioObjectID device);
    // True when no process has the device running.
    static bool getIsHogFreeForDeviceID(const AudioHardware& hardware, AudioObjectID device);

    static StreamDescription getCurrentDescriptionForStreamID(const AudioHardware& hardware, AudioObjectID stream);
    static void setCurrentDescription(AudioHardware& hardware, const StreamDescription& format, AudioObjectID stream);
    // The mixable linear-PCM formats of the stream, in the numeric order of their texts.
    static QList<StreamFormat> getFormatsForStreamID(const AudioHardware& hardware, AudioObjectID stream);

    static bool addListener(AudioHardware& hardware, void* listener, AudioObjectID object,
                            AudioPropertySelector selector, AudioHardware::PropertyListener proc);
    static bool removeListener(AudioHardware& hardware, void* listener, AudioObjectID object,
                               AudioPropertySelector selector, AudioHardware::PropertyListener proc);
};
