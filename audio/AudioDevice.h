// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioHardware.h"
#include "audio/StreamFormat.h"

#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QTimer;
class AudioDevice;
using AudioDeviceList = QList<std::shared_ptr<AudioDevice>>;

// One audio output device: its formats, the format it runs at, and exclusive ("hog") use.
// Devices are shared objects: listing again with the earlier list keeps their state.
class AudioDevice : public QObject {
    Q_OBJECT
public:
    // A present device; reads its name and whether it can be held exclusively.
    AudioDevice(AudioHardware& hardware, AudioObjectID deviceID, const QString& uid, AudioObjectID outStreamID,
                QList<StreamFormat> formats);
    // A remembered device that is not present now.
    static std::shared_ptr<AudioDevice> missingDevice(const QString& name, const QString& uid);
    ~AudioDevice() override;

    // The present output devices in the hardware's order. A device whose uid is among `known`
    // is that known object; aggregates, devices without output channels or stream and devices
    // without a usable format are left out.
    static AudioDeviceList outputDevices(AudioHardware& hardware, const AudioDeviceList& known = {});
    static std::shared_ptr<AudioDevice> findDeviceWithDeviceID(AudioObjectID deviceID, const AudioDeviceList& devices);
    static std::shared_ptr<AudioDevice> findDeviceWithUid(const QString& uid, const AudioDeviceList& devices);
    // Writes the devices and their formats to the log, marking the selected one.
    static void logDevices(const AudioDeviceList& devices, const AudioDevice* selectedDevice);

    QString name() const { return name_; }
    QString uid() const { return uid_; }
    AudioObjectID deviceID() const { return deviceID_; }
    AudioObjectID outStreamID() const { return outStreamID_; }
    bool canHog() const { return canHog_; }
    bool isMissing() const { return isMissing_; }
    bool hog() const { return hog_; }
    QString hogMessage() const { return hogMessage_; }
    const QList<StreamFormat>& allFormats() const { return allFormats_; }
    std::optional<StreamFormat> selectedFormat() const { return selectedFormat_; }
    void setSelectedFormat(const std::optional<StreamFormat>& format);
    // Runs after a failed attempt at exclusive use; null otherwise.
    QTimer* messageTimer() const { return messageTimer_; }

    // The name; "(name)" for a missing device.
    QString description() const;

    // Selects the first of allFormats that matches the stream's current physical format in rate,
    // bits and channels; keeps the selection when none does.
    void updateSelectedFormatWithCurrentDeviceValue();

    // The format to choose for a stream of `sampleRate` Hz; `bitSize` 0 means any size.
    std::optional<StreamFormat> bestFormatForSampleRate(int sampleRate, int bitSize) const;

    // Takes the device for exclusive use or releases it. A failed attempt shows its message for
    // two seconds, during which further calls are ignored.
    void setHog(bool hog);

    static constexpr int kMessageTimeoutMs = 2000;

Q_SIGNALS:
    void hogChanged(bool hog);
    void hogMessageChanged(const QString& message);
    // Emitted whenever the selection is set or followed anew, even to the same format.
    void selectedFormatChanged();

private:
    AudioDevice(const QString& name, const QString& uid);
    void setHogState(bool hog);
    void setHogMessage(const QString& message);
    void failHog(const QString& message);
    void endFailedHog();

    AudioHardware* hardware_ = nullptr; // null for a missing device
    QString name_;
    QString uid_;
    AudioObjectID deviceID_ = kAudioObjectUnknown;
    AudioObjectID outStreamID_ = kAudioObjectUnknown;
    bool canHog_ = false;
    bool isMissing_ = false;
    bool hog_ = false;
    QString hogMessage_;
    QList<StreamFormat> allFormats_;
    std::optional<StreamFormat> selectedFormat_;
    QTimer* messageTimer_ = nullptr;
};
