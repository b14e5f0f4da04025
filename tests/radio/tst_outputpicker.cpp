// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/FakeAudioHardware.h"
#include "radio/OutputPicker.h"
#include "util/UserDefaults.h"

#include <QtTest>
#include <QtWidgets>

namespace {
FakeAudioHardware::Device device(AudioObjectID id, const QString& name, bool canHog = true) {
    return {.id = id,
            .stream = id + 1,
            .name = name,
            .uid = QStringLiteral("uid-%1").arg(id),
            .formats = {linearPcm(44100, 16, 2)},
            .hogSettable = canHog};
}
} // namespace

class TestOutputPicker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What was remembered: shown as chosen, and kept as it is even when the device is gone.
    void rememberedChoice() {
        for (const auto& [rememberedUid, shown, effective, items] :
             {std::tuple{QString(), "System default", QString(), 3},
              {"uid-20", "USB DAC", "uid-20", 3},
              {"uid-90", "(Old DAC)", QString(), 4}}) {
            QTemporaryDir dir;
            UserDefaults defaults(dir.filePath("settings.ini"));
            if (!rememberedUid.isEmpty()) {
                defaults.setValue(settingskeys::kAudioOutputDevice, rememberedUid);
                defaults.setValue(settingskeys::kAudioOutputDeviceName, "Old DAC");
            }
            FakeAudioHardware hw;
            hw.list = {device(10, "Built-in Audio"), device(20, "USB DAC")};
            OutputPicker picker(hw, defaults);
            QCOMPARE(picker.outputPopup->currentText(), shown);
            QCOMPARE(picker.effectiveOutput(), effective);
            QCOMPARE(picker.outputPopup->count(), items);
            QCOMPARE(defaults.string(settingskeys::kAudioOutputDevice), rememberedUid);
        }
    }

    void choosingStoresTheDeviceAndExclusiveUseWhereAllowed() {
        QTemporaryDir dir;
        UserDefaults defaults(dir.filePath("settings.ini"));
        FakeAudioHardware hw;
        hw.list = {device(10, "Built-in Audio", false), device(20, "USB DAC")};
        OutputPicker picker(hw, defaults);
        QSignalSpy chosen(&picker, &OutputPicker::outputChosen);
        QVERIFY(!picker.exclusiveSwitch->isEnabled()); // the system default
        choose(picker, 1);
        QVERIFY(!picker.exclusiveSwitch->isEnabled()); // a device that cannot be held
        choose(picker, 2);
        QCOMPARE(chosen.takeLast().first().toString(), QStringLiteral("uid-20"));
        QCOMPARE(defaults.string(settingskeys::kAudioOutputDeviceName), QStringLiteral("USB DAC"));
        QVERIFY(picker.exclusiveSwitch->isEnabled());
        const auto dac = picker.selectedDevice();
        picker.exclusiveSwitch->setChecked(true);
        QTRY_VERIFY(dac->hog());
        QVERIFY(picker.exclusiveSwitch->isChecked());
        choose(picker, 0); // leaving the device gives it back
        QTRY_VERIFY(!dac->hog());
        QCOMPARE(chosen.takeLast().first().toString(), QString());
        QVERIFY(!defaults.contains(settingskeys::kAudioOutputDevice));
    }

private:
    static void choose(OutputPicker& picker, int row) {
        picker.outputPopup->setCurrentIndex(row);
        Q_EMIT picker.outputPopup->activated(row);
    }
};

QTEST_MAIN(TestOutputPicker)
#include "tst_outputpicker.moc"
