#include "audio/FakeAudioHardware.h"
#include "radio/OutputPicker.h"
#include "util/UserDefaults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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
    void rememberedChoice_data();
    void rememberedChoice();
    void choosingStoresTheDevice();
    void exclusiveUseOnlyWhereAllowed();
};

void TestOutputPicker::rememberedChoice_data() {
    QTest::addColumn<QString>("rememberedUid");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("effective");
    QTest::newRow("nothing remembered") << QString() << "System default" << QString();
    QTest::newRow("a present device") << "uid-20" << "USB DAC" << "uid-20";
    QTest::newRow("an unplugged device") << "uid-90" << "(Old DAC)" << QString();
}

void TestOutputPicker::rememberedChoice() {
    QFETCH(QString, rememberedUid);
    QFETCH(QString, shown);
    QFETCH(QString, effective);
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath("settings.ini"));
    if (!rememberedUid.isEmpty()) {
        defaults.setValue(OutputPicker::kDeviceKey, rememberedUid);
        defaults.setValue(OutputPicker::kDeviceNameKey, "Old DAC");
    }
    FakeAudioHardware hw;
    hw.list = {device(10, "Built-in Audio"), device(20, "USB DAC")};
    OutputPicker picker(hw, defaults);
    QCOMPARE(picker.outputPopup->currentText(), shown);
    QCOMPARE(picker.effectiveOutput(), effective);
    QCOMPARE(picker.outputPopup->count(), rememberedUid == "uid-90" ? 4 : 3);
    QCOMPARE(defaults.string(OutputPicker::kDeviceKey), rememberedUid); // the choice is kept
}

void TestOutputPicker::choosingStoresTheDevice() {
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath("settings.ini"));
    FakeAudioHardware hw;
    hw.list = {device(10, "Built-in Audio"), device(20, "USB DAC")};
    OutputPicker picker(hw, defaults);
    QSignalSpy chosen(&picker, &OutputPicker::outputChosen);
    picker.outputPopup->setCurrentIndex(2);
    Q_EMIT picker.outputPopup->activated(2);
    QCOMPARE(chosen.takeLast().first().toString(), QStringLiteral("uid-20"));
    QCOMPARE(defaults.string(OutputPicker::kDeviceNameKey), QStringLiteral("USB DAC"));
    picker.outputPopup->setCurrentIndex(0);
    Q_EMIT picker.outputPopup->activated(0);
    QCOMPARE(chosen.takeLast().first().toString(), QString());
    QVERIFY(!defaults.contains(OutputPicker::kDeviceKey));
}

void TestOutputPicker::exclusiveUseOnlyWhereAllowed() {
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath("settings.ini"));
    FakeAudioHardware hw;
    hw.list = {device(10, "Built-in Audio", false), device(20, "USB DAC")};
    OutputPicker picker(hw, defaults);
    QVERIFY(!picker.exclusiveSwitch->isEnabled()); // the system default
    picker.outputPopup->setCurrentIndex(1);
    Q_EMIT picker.outputPopup->activated(1);
    QVERIFY(!picker.exclusiveSwitch->isEnabled());
    picker.outputPopup->setCurrentIndex(2);
    Q_EMIT picker.outputPopup->activated(2);
    QVERIFY(picker.exclusiveSwitch->isEnabled());
    const auto dac = picker.selectedDevice();
    picker.exclusiveSwitch->setChecked(true);
    QTRY_VERIFY(dac->hog());
    QVERIFY(picker.exclusiveSwitch->isChecked());
    picker.outputPopup->setCurrentIndex(0); // leaving the device gives it back
    Q_EMIT picker.outputPopup->activated(0);
    QTRY_VERIFY(!dac->hog());
}

QTEST_MAIN(TestOutputPicker)
#include "tst_outputpicker.moc"
