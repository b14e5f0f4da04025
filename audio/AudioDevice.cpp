// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AudioDevice.h"

#include "audio/AudioLog.h"
#include "audio/CoreAudioExtensions.h"

#include <QTimer>
#include <unistd.h>

namespace {

QString transportLabel(quint32 transport) {
    using namespace audiotransport;
    switch (transport) {
    case kUnknown: return QStringLiteral("Unknown");
    case kBuiltIn: return QStringLiteral("BuiltIn");
    case kUSB: return QStringLiteral("USB");
    case kBluetooth: return QStringLiteral("Bluetooth");
    case kBluetoothLE: return QStringLiteral("Bluetooth LE");
    case kHDMI: return QStringLiteral("HDMI");
    case kDisplayPort: return QStringLiteral("Display Port");
    case kAirPlay: return QStringLiteral("AirPlay");
    case kThunderbolt: return QStringLiteral("Thunderbolt");
    case kPCI: return QStringLiteral("PCI");
    case kFireWire: return QStringLiteral("FireWire");
    case kAVB: return QStringLiteral("AVB");
    case kVirtual: return QStringLiteral("Virtual");
    case kAggregate: return QStringLiteral("Aggregate");
    case kContinuityCaptureWired: return QStringLiteral("Continuity Capture Wired");
    default: return QStringLiteral("<?>");
    }
}

const QString kDefaultMark = QStringLiteral(" •••• DEFAULT ••••");
const QString kHogWarning = QStringLiteral("⚠️\r");

} // namespace

AudioDevice::AudioDevice(AudioHardware& hardware, AudioObjectID deviceID, const QString& uid,
                         AudioObjectID outStreamID, QList<StreamFormat> formats)
    : hardware_(&hardware),
      name_(CoreAudioExtensions::getStringProperty(hardware, audioselector::kName, deviceID)),
      uid_(uid),
      deviceID_(deviceID),
      outStreamID_(outStreamID),
      canHog_(CoreAudioExtensions::getSupportsHogForDeviceID(hardware, deviceID)),
      allFormats_(std::move(formats)) {}

AudioDevice::AudioDevice(const QString& name, const QString& uid) : name_(name), uid_(uid), isMissing_(true) {}

AudioDevice::~AudioDevice() = default;

std::shared_ptr<AudioDevice> AudioDevice::missingDevice(const QString& name, const QString& uid) {
    return std::shared_ptr<AudioDevice>(new AudioDevice(name, uid));
}

AudioDeviceList AudioDevice::outputDevices(AudioHardware& hardware, const AudioDeviceList& known) {
    AudioDeviceList devices;
    for (const AudioObjectID deviceID : CoreAudioExtensions::getDeviceIDList(hardware)) {
        if (CoreAudioExtensions::getDeviceTransportType(hardware, deviceID) == audiotransport::kAggregate)
            continue;
        if (CoreAudioExtensions::getChannelCountForDeviceID(hardware, deviceID) == 0)
            continue;
        const AudioObjectID streamID = CoreAudioExtensions::getFirstOutputStreamIDForDeviceID(hardware, deviceID);
        if (streamID == kAudioObjectUnknown)
            continue;
        const QString uid = CoreAudioExtensions::getStringProperty(hardware, audioselector::kUid, deviceID);
        if (auto device = findDeviceWithUid(uid, known)) {
            devices.append(std::move(device));
            continue;
        }
        QList<StreamFormat> formats = CoreAudioExtensions::getFormatsForStreamID(hardware, streamID);
        if (!formats.isEmpty())
            devices.append(std::make_shared<AudioDevice>(hardware, deviceID, uid, streamID, std::move(formats)));
    }
    return devices;
}

std::shared_ptr<AudioDevice> AudioDevice::findDeviceWithDeviceID(AudioObjectID deviceID,
                                                                 const AudioDeviceList& devices) {
    for (const auto& device : devices) {
        if (device->deviceID() == deviceID)
            return device;
    }
    return nullptr;
}

std::shared_ptr<AudioDevice> AudioDevice::findDeviceWithUid(const QString& uid, const AudioDeviceList& devices) {
    for (const auto& device : devices) {
        if (device->uid() == uid)
            return device;
    }
    return nullptr;
}

void AudioDevice::logDevices(const AudioDeviceList& devices, const AudioDevice* selectedDevice) {
    qCInfo(lcAudio, "%s", "🔉 ----------------------------------------");
    for (const auto& device : devices) {
        const bool selected = device.get() == selectedDevice;
        const quint32 transport =
            device->hardware_ ? CoreAudioExtensions::getDeviceTransportType(*device->hardware_, device->deviceID())
                              : audiotransport::kUnknown;
        const QString line = QStringLiteral("\t> %1 | %2 | %3 %4")
                                 .arg(device->name(), device->uid(), transportLabel(transport),
                                      selected ? kDefaultMark : QString());
        qCInfo(lcAudio, "%s", qUtf8Printable(line));
        for (const StreamFormat& format : device->allFormats()) {
            const bool selectedFormat = selected && device->selectedFormat() == format;
            const QString formatLine =
                QStringLiteral("\t\t> %1 %2").arg(format.description(), selectedFormat ? kDefaultMark : QString());
            qCInfo(lcAudio, "%s", qUtf8Printable(formatLine));
        }
    }
}

void AudioDevice::setSelectedFormat(const std::optional<StreamFormat>& format) {
    selectedFormat_ = format;
    Q_EMIT selectedFormatChanged();
}

QString AudioDevice::description() const {
    return isMissing_ ? QStringLiteral("(%1)").arg(name_) : name_;
}

void AudioDevice::updateSelectedFormatWithCurrentDeviceValue() {
    const StreamDescription current = hardware_
                                          ? CoreAudioExtensions::getCurrentDescriptionForStreamID(*hardware_, outStreamID_)
                                          : StreamDescription{};
    for (const StreamFormat& format : allFormats_) {
        if (format.sampleRate() == current.sampleRate && format.bitsPerChannel() == current.bitsPerChannel &&
            format.channelsPerFrame() == current.channelsPerFrame) {
            selectedFormat_ = format;
            break;
        }
    }
    Q_EMIT selectedFormatChanged();
}

std::optional<StreamFormat> AudioDevice::bestFormatForSampleRate(int sampleRate, int bitSize) const {
    QList<StreamFormat> candidates;
    for (const StreamFormat& format : allFormats_) {
        if (format.sampleRate() == double(sampleRate))
            candidates.append(format);
    }
    if (candidates.isEmpty())
        return std::nullopt;
    if (bitSize != 0) {
        std::optional<StreamFormat> lastOfSize;
        for (const StreamFormat& format : candidates) {
            if (format.bitsPerChannel() != quint32(bitSize))
                continue;
            if (format.channelsPerFrame() == 2)
                return format; // stereo at the wanted size is what a stream plays best on
            lastOfSize = format;
        }
        if (lastOfSize)
            return lastOfSize;
    }
    return candidates.last();
}

void AudioDevice::setHog(bool hog) {
    if (messageTimer_ || !canHog_ || hog == hog_ || !hardware_)
        return;
    setHogState(hog);
    if (!hog) {
        CoreAudioExtensions::setHogPID(*hardware_, -1, deviceID_);
        setHogMessage(QString());
        return;
    }
    if (!CoreAudioExtensions::getIsHogFreeForDeviceID(*hardware_, deviceID_)) {
        failHog(kHogWarning + tr("Device is currently used and can't be set for exclusive mode."));
        return;
    }
    const pid_t self = ::getpid();
    CoreAudioExtensions::setHogPID(*hardware_, self, deviceID_);
    // The write reports nothing; the holder read back tells whether it took.
    const pid_t holder = CoreAudioExtensions::getHogPidForDeviceID(*hardware_, deviceID_);
    if (holder == self)
        setHogMessage(tr("🔒 Device is used in exclusive mode."));
    else if (holder == -1)
        failHog(kHogWarning + tr("Failed to set exclusive mode for device."));
    else
        failHog(kHogWarning + tr("Failed to set exclusive mode. Device is set by another application."));
}

void AudioDevice::setHogState(bool hog) {
    if (hog_ == hog)
        return;
    hog_ = hog;
    Q_EMIT hogChanged(hog_);
}

void AudioDevice::setHogMessage(const QString& message) {
    if (hogMessage_ == message)
        return;
    hogMessage_ = message;
    Q_EMIT hogMessageChanged(hogMessage_);
}

void AudioDevice::failHog(const QString& message) {
    setHogMessage(message);
    messageTimer_ = new QTimer(this);
    messageTimer_->setSingleShot(true);
    messageTimer_->setInterval(kMessageTimeoutMs);
    connect(messageTimer_, &QTimer::timeout, this, &AudioDevice::endFailedHog);
    messageTimer_->start();
}

void AudioDevice::endFailedHog() {
    // The timer is the sender of this call: let the event loop delete it.
    messageTimer_->deleteLater();
    messageTimer_ = nullptr;
    setHogState(false);
    setHogMessage(QString());
}
