// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioDevice.h"

#include <QWidget>

class AudioHardware;
class QCheckBox;
class QComboBox;
class QLabel;
class UserDefaults;

// The choice of the audio output: the system's default, or one of the machine's devices,
// remembered by its unique identifier. A remembered device that is not there now shows as
// "(name)" and plays to the default meanwhile. Devices that allow it can be taken for exclusive
// use.
class OutputPicker : public QWidget {
    Q_OBJECT
public:
    OutputPicker(AudioHardware& hardware, UserDefaults& defaults, QWidget* parent = nullptr);

    // Reads the device list again (a device was plugged in or out).
    void refresh();
    // The device the sound goes to now: its uid, or empty for the system's default.
    QString effectiveOutput() const;
    // Exclusive use means the hardware is held for us, also against our own player: it is
    // handed to the player while a stream plays and taken back after.
    void releaseForPlayback();
    void reclaimAfterPlayback();
    std::shared_ptr<AudioDevice> selectedDevice() const;

    QComboBox* outputPopup;
    QCheckBox* exclusiveSwitch;
    QLabel* hogMessage;

Q_SIGNALS:
    // Where the sound should go from now on (empty: the system's default).
    void outputChosen(const QString& uid);

private:
    void choose(int index);
    void showExclusive();

    AudioHardware& hardware_;
    UserDefaults& defaults_;
    AudioDeviceList devices_;
    bool playing_ = false;
};
