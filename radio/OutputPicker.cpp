// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/OutputPicker.h"

#include "util/UserDefaults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>

OutputPicker::OutputPicker(AudioHardware& hardware, UserDefaults& defaults, QWidget* parent)
    : QWidget(parent), hardware_(hardware), defaults_(defaults) {
    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    outputPopup = new QComboBox(this);
    outputPopup->setAccessibleName(tr("Sound output"));
    exclusiveSwitch = new QCheckBox(tr("Exclusive use"), this);
    exclusiveSwitch->setAccessibleDescription(tr("Use the output device exclusively"));
    exclusiveSwitch->setToolTip(tr("Keep other programs off this device"));
    hogMessage = new QLabel(this);
    hogMessage->setWordWrap(true);
    hogMessage->setForegroundRole(QPalette::PlaceholderText);
    form->addRow(tr("Output"), outputPopup);
    form->addRow(QString(), exclusiveSwitch);
    form->addRow(QString(), hogMessage);
    connect(outputPopup, &QComboBox::activated, this, &OutputPicker::choose);
    connect(exclusiveSwitch, &QCheckBox::toggled, this, [this](bool on) {
        if (const auto device = selectedDevice(); device && device->canHog() && device->hog() != on && !playing_)
            device->setHog(on);
    });
    refresh();
}

void OutputPicker::refresh() {
    devices_ = AudioDevice::outputDevices(hardware_, devices_);
    const QString remembered = defaults_.string(settingskeys::kAudioOutputDevice);
    outputPopup->clear();
    outputPopup->addItem(tr("System default"), QString());
    int selected = 0;
    for (const auto& device : devices_) {
        outputPopup->addItem(device->name(), device->uid());
        if (device->uid() == remembered)
            selected = outputPopup->count() - 1;
        connect(device.get(), &AudioDevice::hogMessageChanged, this, [this] { showExclusive(); }, Qt::UniqueConnection);
        connect(device.get(), &AudioDevice::hogChanged, this, [this] { showExclusive(); }, Qt::UniqueConnection);
    }
    if (!remembered.isEmpty() && selected == 0) {
        // Unplugged, or on another machine: keep the choice, play to the default meanwhile.
        outputPopup->addItem(QStringLiteral("(%1)").arg(defaults_.string(settingskeys::kAudioOutputDeviceName)), remembered);
        selected = outputPopup->count() - 1;
    }
    outputPopup->setCurrentIndex(selected);
    showExclusive();
    Q_EMIT outputChosen(effectiveOutput());
}

std::shared_ptr<AudioDevice> OutputPicker::selectedDevice() const {
    return AudioDevice::findDeviceWithUid(outputPopup->currentData().toString(), devices_);
}

QString OutputPicker::effectiveOutput() const {
    const auto device = selectedDevice();
    return device ? device->uid() : QString();
}

void OutputPicker::choose(int index) {
    const QString uid = outputPopup->itemData(index).toString();
    if (uid.isEmpty()) {
        defaults_.remove(settingskeys::kAudioOutputDevice);
        defaults_.remove(settingskeys::kAudioOutputDeviceName);
    } else if (const auto device = AudioDevice::findDeviceWithUid(uid, devices_)) {
        defaults_.setValue(settingskeys::kAudioOutputDevice, uid);
        defaults_.setValue(settingskeys::kAudioOutputDeviceName, device->name());
    }
    for (const auto& device : devices_) // leaving a device gives it back
        if (device->uid() != uid && device->hog())
            device->setHog(false);
    showExclusive();
    Q_EMIT outputChosen(effectiveOutput());
}

void OutputPicker::releaseForPlayback() {
    playing_ = true;
    if (const auto device = selectedDevice(); device && device->hog())
        device->setHog(false);
}

void OutputPicker::reclaimAfterPlayback() {
    playing_ = false;
    if (const auto device = selectedDevice(); device && exclusiveSwitch->isChecked() && !device->hog())
        device->setHog(true);
}

void OutputPicker::showExclusive() {
    const auto device = selectedDevice();
    exclusiveSwitch->setEnabled(device && device->canHog());
    exclusiveSwitch->blockSignals(true);
    // While a stream plays the player holds the device, so the switch shows the wish, not the hold.
    exclusiveSwitch->setChecked(device && (device->hog() || (playing_ && exclusiveSwitch->isChecked())));
    exclusiveSwitch->blockSignals(false);
    hogMessage->setText(device ? device->hogMessage() : QString());
    hogMessage->setVisible(!hogMessage->text().isEmpty());
}
