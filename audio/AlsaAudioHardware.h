// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AlsaProcFiles.h"
#include "audio/AudioHardware.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <chrono>
#include <memory>

class AlsaLibrary;
class QFileSystemWatcher;

// AudioHardware on ALSA. Every playback PCM of every card is one device with one output stream;
// the card and PCM lists, the substreams' state and their holders come from /proc/asound, the
// bus from /sys/class/sound, the formats from the hardware parameters, and exclusive use is
// holding the hardware PCM open. ALSA has no change notifications for these, so listeners are
// served by polling while any is registered, and at once when /dev/snd changes.
class AlsaAudioHardware final : public QObject, public AudioHardware {
    Q_OBJECT
public:
    struct Options {
        QString procRoot = QStringLiteral("/proc/asound");
        QString sysRoot = QStringLiteral("/sys/class/sound");
        QString devRoot = QStringLiteral("/dev/snd");
        std::chrono::milliseconds pollInterval{1000};
        std::shared_ptr<AlsaLibrary> library; // null: libasound
    };

    explicit AlsaAudioHardware(QObject* parent = nullptr);
    explicit AlsaAudioHardware(Options options, QObject* parent = nullptr);
    ~AlsaAudioHardware() override;

    std::optional<AudioObjectID> defaultOutputDevice() const override;
    QList<AudioObjectID> devices() const override;
    QList<AudioObjectID> subDevices(AudioObjectID aggregate) const override;
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
    // One playback PCM as the kernel lists it now.
    struct Entry {
        AudioObjectID id = kAudioObjectUnknown;
        alsaproc::Card card;
        alsaproc::Pcm pcm;
        QString uid; // "hw:CARD=PCH,DEV=0": ALSA's persistent name of the PCM, openable as it is
    };
    struct Listener {
        AudioObjectID object;
        AudioPropertySelector selector;
        PropertyListener proc;
        void* clientData;
        QByteArray lastValue;
    };

    QList<Entry> scan() const;
    std::optional<Entry> entryForDevice(AudioObjectID device) const;
    std::optional<Entry> entryForStream(AudioObjectID stream) const;
    QString substreamFile(const Entry& entry, int substream, const QString& file) const;
    QList<alsaproc::SubstreamStatus> statuses(const Entry& entry) const;
    std::optional<alsaproc::HwParams> runningParams(const Entry& entry) const;
    const QList<RangedStreamDescription>* probedFormats(const Entry& entry) const;
    QByteArray valueOf(AudioObjectID object, AudioPropertySelector selector) const;
    void checkListeners();

    Options options_;
    std::shared_ptr<AlsaLibrary> library_;
    // Identifiers stay with a PCM's uid for the life of the adapter, across card renumbering.
    mutable QHash<QString, AudioObjectID> ids_;
    mutable AudioObjectID nextID_ = 0x100;
    // Formats of each PCM as last probed, by uid and card: probing opens the device.
    mutable QHash<QString, QList<RangedStreamDescription>> probed_;
    QSet<QString> held_;
    QList<Listener> listeners_;
    QTimer pollTimer_;
    QFileSystemWatcher* watcher_ = nullptr;
};
