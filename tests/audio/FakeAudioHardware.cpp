#include "FakeAudioHardware.h"

FakeAudioHardware::Device& FakeAudioHardware::addDevice(Device device) {
    devices_.append(std::move(device));
    return devices_.last();
}

FakeAudioHardware::Device& FakeAudioHardware::device(AudioObjectID id) {
    for (Device& d : devices_) {
        if (d.id == id)
            return d;
    }
    qFatal("no fake device %u", id);
}

void FakeAudioHardware::removeDevice(AudioObjectID id) {
    devices_.removeIf([id](const Device& d) { return d.id == id; });
}

void FakeAudioHardware::changeProperty(AudioObjectID object, AudioPropertySelector selector) {
    const QList<Listener> snapshot = listeners_;
    for (const Listener& l : snapshot) {
        if (l.object == object && l.selector == selector)
            l.proc(object, selector, l.clientData);
    }
}

const FakeAudioHardware::Device* FakeAudioHardware::find(AudioObjectID id) const {
    for (const Device& d : devices_) {
        if (d.id == id)
            return &d;
    }
    return nullptr;
}

FakeAudioHardware::Device* FakeAudioHardware::findStream(AudioObjectID stream) {
    for (Device& d : devices_) {
        if (stream != kAudioObjectUnknown && d.stream == stream)
            return &d;
    }
    return nullptr;
}

const FakeAudioHardware::Device* FakeAudioHardware::findStream(AudioObjectID stream) const {
    return const_cast<FakeAudioHardware*>(this)->findStream(stream);
}

QList<AudioObjectID> FakeAudioHardware::devices() const {
    QList<AudioObjectID> ids;
    for (const Device& d : devices_)
        ids.append(d.id);
    return ids;
}

std::optional<quint32> FakeAudioHardware::deviceClass(AudioObjectID device) const {
    return find(device) ? std::optional(audioclass::kDevice) : std::nullopt;
}

std::optional<quint32> FakeAudioHardware::transportType(AudioObjectID device) const {
    const Device* d = find(device);
    return d ? d->transport : std::nullopt;
}

QList<AudioObjectID> FakeAudioHardware::outputStreams(AudioObjectID device) const {
    const Device* d = find(device);
    if (!d || d->stream == kAudioObjectUnknown)
        return {};
    return {d->stream};
}

QList<quint32> FakeAudioHardware::outputBufferChannels(AudioObjectID device) const {
    const Device* d = find(device);
    return d ? d->bufferChannels : QList<quint32>{};
}

std::optional<QString> FakeAudioHardware::stringProperty(AudioObjectID device, AudioPropertySelector selector) const {
    const Device* d = find(device);
    if (!d)
        return std::nullopt;
    if (selector == audioselector::kName)
        return d->name;
    if (selector == audioselector::kUid)
        return d->uid;
    return std::nullopt;
}

bool FakeAudioHardware::isHogPidSettable(AudioObjectID device) const {
    const Device* d = find(device);
    return d && d->hogSettable;
}

std::optional<pid_t> FakeAudioHardware::hogPid(AudioObjectID device) const {
    const Device* d = find(device);
    return d ? d->hogPid : std::nullopt;
}

bool FakeAudioHardware::setHogPid(AudioObjectID id, pid_t pid) {
    hogWrites.append(pid);
    if (!find(id))
        return false;
    Device& d = device(id);
    if (pid == -1 || hogWrite == HogWrite::Takes) {
        d.hogPid = pid;
        return true;
    }
    if (hogWrite == HogWrite::TakenByOther)
        d.hogPid = otherProcess;
    return false;
}

std::optional<bool> FakeAudioHardware::isRunningSomewhere(AudioObjectID device) const {
    const Device* d = find(device);
    return d ? d->running : std::nullopt;
}

std::optional<StreamDescription> FakeAudioHardware::physicalFormat(AudioObjectID stream) const {
    const Device* d = findStream(stream);
    return d ? d->currentFormat : std::nullopt;
}

bool FakeAudioHardware::setPhysicalFormat(AudioObjectID stream, const StreamDescription& format) {
    Device* d = findStream(stream);
    if (!d)
        return false;
    d->currentFormat = format;
    return true;
}

QList<RangedStreamDescription> FakeAudioHardware::availablePhysicalFormats(AudioObjectID stream) const {
    const Device* d = findStream(stream);
    return d ? d->formats : QList<RangedStreamDescription>{};
}

bool FakeAudioHardware::addPropertyListener(AudioObjectID object, AudioPropertySelector selector,
                                            PropertyListener listener, void* clientData) {
    listeners_.append({object, selector, listener, clientData});
    return true;
}

bool FakeAudioHardware::removePropertyListener(AudioObjectID object, AudioPropertySelector selector,
                                               PropertyListener listener, void* clientData) {
    return listeners_.removeIf([&](const Listener& l) {
               return l.object == object && l.selector == selector && l.proc == listener &&
                      l.clientData == clientData;
           }) > 0;
}

RangedStreamDescription linearPcm(double rate, quint32 bits, quint32 channels, quint32 extraFlags) {
    StreamDescription d;
    d.sampleRate = rate;
    d.formatID = audioformat::kLinearPCM;
    d.formatFlags = audioformat::kFlagIsSignedInteger | audioformat::kFlagIsPacked | extraFlags;
    d.bitsPerChannel = bits;
    d.channelsPerFrame = channels;
    d.bytesPerFrame = bits / 8 * channels;
    d.bytesPerPacket = d.bytesPerFrame;
    d.framesPerPacket = 1;
    return {d, rate, rate};
}
