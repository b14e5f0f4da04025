// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/CoreAudioExtensions.h"

#include <algorithm>
#include <numeric>

AudioObjectID CoreAudioExtensions::getDefaultOutputAudioDeviceID(const AudioHardware& hardware) {
    return hardware.defaultOutputDevice().value_or(kAudioObjectUnknown);
}

QList<AudioObjectID> CoreAudioExtensions::getDeviceIDList(const AudioHardware& hardware) {
    return hardware.devices();
}

QList<AudioObjectID> CoreAudioExtensions::getSubDeviceIDListForDeviceID(const AudioHardware& hardware,
                                                                        AudioObjectID device) {
    return hardware.subDevices(device);
}

quint32 CoreAudioExtensions::getClassForDeviceID(const AudioHardware& hardware, AudioObjectID device) {
    return hardware.deviceClass(device).value_or(0);
}

quint32 CoreAudioExtensions::getDeviceTransportType(const AudioHardware& hardware, AudioObjectID device) {
    return hardware.transportType(device).value_or(audiotransport::kUnknown);
}

AudioObjectID CoreAudioExtensions::getFirstOutputStreamIDForDeviceID(const AudioHardware& hardware,
                                                                     AudioObjectID device) {
    const QList<AudioObjectID> streams = hardware.outputStreams(device);
    return streams.isEmpty() ? kAudioObjectUnknown : streams.first();
}

quint32 CoreAudioExtensions::getChannelCountForDeviceID(const AudioHardware& hardware, AudioObjectID device) {
    const QList<quint32> buffers = hardware.outputBufferChannels(device);
    return std::accumulate(buffers.cbegin(), buffers.cend(), quint32(0));
}

QString CoreAudioExtensions::getStringProperty(const AudioHardware& hardware, AudioPropertySelector selector,
                                               AudioObjectID device) {
    return hardware.stringProperty(device, selector).value_or(QString());
}

bool CoreAudioExtensions::getSupportsHogForDeviceID(const AudioHardware& hardware, AudioObjectID device) {
    return hardware.isHogPidSettable(device);
}

pid_t CoreAudioExtensions::getHogPidForDeviceID(const AudioHardware& hardware, AudioObjectID device) {
    return hardware.hogPid(device).value_or(0);
}

void CoreAudioExtensions::setHogPID(AudioHardware& hardware, pid_t pid, AudioObjectID device) {
    hardware.setHogPid(device, pid);
}

bool CoreAudioExtensions::getIsHogFreeForDeviceID(const AudioHardware& hardware, AudioObjectID device) {
    // An unreadable state reads as "not running", as a zero read value would.
    return !hardware.isRunningSomewhere(device).value_or(false);
}

StreamDescription CoreAudioExtensions::getCurrentDescriptionForStreamID(const AudioHardware& hardware,
                                                                        AudioObjectID stream) {
    return hardware.physicalFormat(stream).value_or(StreamDescription{});
}

void CoreAudioExtensions::setCurrentDescription(AudioHardware& hardware, const StreamDescription& format,
                                                AudioObjectID stream) {
    hardware.setPhysicalFormat(stream, format);
}

QList<StreamFormat> CoreAudioExtensions::getFormatsForStreamID(const AudioHardware& hardware, AudioObjectID stream) {
    QList<StreamFormat> formats;
    for (const RangedStreamDescription& ranged : hardware.availablePhysicalFormats(stream)) {
        const StreamDescription& d = ranged.format;
        if (d.formatID == audioformat::kLinearPCM && !(d.formatFlags & audioformat::kFlagIsNonMixable))
            formats.append(StreamFormat(d));
    }
    std::stable_sort(formats.begin(), formats.end(), StreamFormat::lessByDescription);
    return formats;
}

bool CoreAudioExtensions::addListener(AudioHardware& hardware, void* listener, AudioObjectID object,
                                      AudioPropertySelector selector, AudioHardware::PropertyListener proc) {
    return hardware.addPropertyListener(object, selector, proc, listener);
}

bool CoreAudioExtensions::removeListener(AudioHardware& hardware, void* listener, AudioObjectID object,
                                         AudioPropertySelector selector, AudioHardware::PropertyListener proc) {
    return hardware.removePropertyListener(object, selector, proc, listener);
}
