#include "FakeAudioHardware.h"
#include "audio/AudioDevice.h"
#include "audio/CoreAudioExtensions.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <unistd.h>

Q_DECLARE_METATYPE(FakeAudioHardware::Device)

namespace {

constexpr quint32 kNonMixable = audioformat::kFlagIsNonMixable;

FakeAudioHardware::Device stereoDevice(AudioObjectID id, const QString& name) {
    return {.id = id,
            .stream = id + 1,
            .name = name,
            .uid = QStringLiteral("uid-%1").arg(id),
            .formats = {linearPcm(44100, 16, 2), linearPcm(48000, 16, 2)}};
}

QStringList texts(const QList<StreamFormat>& formats) {
    QStringList list;
    for (const StreamFormat& f : formats)
        list.append(f.description());
    return list;
}

QString optionalText(const std::optional<StreamFormat>& format) {
    return format ? format->description() : QStringLiteral("none");
}

} // namespace

class TestAudioDevice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listing_data();
    void listing();
    void knownDevicesKeepTheirObjects();
    void formatsAreFilteredAndOrdered();
    void formatText_data();
    void formatText();
    void descriptionsAndFinding();
    void bestFormat_data();
    void bestFormat();
    void followingTheDeviceFormat();
    void exclusiveUse_data();
    void exclusiveUse();
    void exclusiveUseIgnoresRepeatsAndUnsupportedDevices();
    void releaseWritesNoHolder();
    void failedAttemptBlocksCallsUntilItsTimerEnds();
    void transportLabels_data();
    void transportLabels();
    void logMarksSelectedDeviceAndFormat();
    void failedReadsGiveEmptyValues();
    void listenersGetTheirClientData();
};

void TestAudioDevice::listing_data() {
    QTest::addColumn<FakeAudioHardware::Device>("device");
    QTest::addColumn<bool>("listed");
    const auto base = stereoDevice(10, QStringLiteral("Speakers"));
    auto d = base;
    QTest::newRow("stereo device") << d << true;
    d = base;
    d.transport = audiotransport::kAggregate;
    QTest::newRow("aggregate with outputs") << d << false;
    d = base;
    d.transport = std::nullopt;
    QTest::newRow("transport unreadable") << d << true;
    d = base;
    d.bufferChannels = {};
    QTest::newRow("no output buffers") << d << false;
    d = base;
    d.bufferChannels = {0, 0};
    QTest::newRow("silent buffers") << d << false;
    d = base;
    d.bufferChannels = {0, 2};
    QTest::newRow("channels in a later buffer") << d << true;
    d = base;
    d.stream = kAudioObjectUnknown;
    QTest::newRow("no output stream") << d << false;
    d = base;
    d.formats = {linearPcm(48000, 16, 2, kNonMixable)};
    QTest::newRow("only non-mixable formats") << d << false;
    d = base;
    d.formats = {linearPcm(48000, 16, 2)};
    d.formats[0].format.formatID = fourCharCode("ac-3");
    QTest::newRow("only compressed formats") << d << false;
    d = base;
    d.formats = {};
    QTest::newRow("no formats") << d << false;
}

void TestAudioDevice::listing() {
    QFETCH(FakeAudioHardware::Device, device);
    QFETCH(bool, listed);
    FakeAudioHardware hw;
    hw.addDevice(stereoDevice(30, QStringLiteral("Before")));
    hw.addDevice(device);
    hw.addDevice(stereoDevice(20, QStringLiteral("After")));

    QStringList names;
    for (const auto& d : AudioDevice::outputDevices(hw))
        names.append(d->name());
    const QStringList expected = listed ? QStringList{"Before", device.name, "After"} : QStringList{"Before", "After"};
    QCOMPARE(names, expected);
}

void TestAudioDevice::knownDevicesKeepTheirObjects() {
    FakeAudioHardware hw;
    hw.addDevice(stereoDevice(10, QStringLiteral("Speakers")));
    hw.addDevice(stereoDevice(20, QStringLiteral("Headset")));
    const AudioDeviceList first = AudioDevice::outputDevices(hw);
    QCOMPARE(first.size(), 2);
    first[1]->setHog(true);
    first[1]->setSelectedFormat(first[1]->allFormats().first());

    hw.removeDevice(10);
    hw.addDevice(stereoDevice(30, QStringLiteral("HDMI")));
    const AudioDeviceList second = AudioDevice::outputDevices(hw, first);
    QCOMPARE(second.size(), 2);
    QCOMPARE(second[0], first[1]); // the same object, its state with it
    QVERIFY(second[0]->hog());
    QCOMPARE(second[0]->hogMessage(), QStringLiteral("🔒 Device is used in exclusive mode."));
    QCOMPARE(optionalText(second[0]->selectedFormat()), QStringLiteral("44.1kHz @ 16bit : 2ch"));
    QCOMPARE(second[1]->name(), QStringLiteral("HDMI"));
    QCOMPARE(second[1]->deviceID(), AudioObjectID(30));
    QCOMPARE(second[1]->outStreamID(), AudioObjectID(31));
    QCOMPARE(second[1]->uid(), QStringLiteral("uid-30"));
    QVERIFY(second[1]->canHog());
    QVERIFY(!second[1]->isMissing());
}

void TestAudioDevice::formatsAreFilteredAndOrdered() {
    FakeAudioHardware hw;
    auto device = stereoDevice(10, QStringLiteral("Interface"));
    device.formats = {linearPcm(192000, 24, 2), linearPcm(48000, 16, 10), linearPcm(96000, 24, 2),
                      linearPcm(48000, 32, 2, kNonMixable), linearPcm(44100, 16, 2), linearPcm(48000, 24, 2),
                      linearPcm(8000, 16, 1), linearPcm(48000, 16, 2)};
    RangedStreamDescription compressed = linearPcm(32000, 16, 2);
    compressed.format.formatID = fourCharCode("ac-3");
    device.formats.append(compressed);
    hw.addDevice(device);

    // Digit runs compare by value: 8.0 before 44.1, 2ch before 10ch, 96.0 before 192.0.
    const QStringList expected{"8.0kHz @ 16bit : 1ch",  "44.1kHz @ 16bit : 2ch", "48.0kHz @ 16bit : 2ch",
                               "48.0kHz @ 16bit : 10ch", "48.0kHz @ 24bit : 2ch", "96.0kHz @ 24bit : 2ch",
                               "192.0kHz @ 24bit : 2ch"};
    QCOMPARE(texts(CoreAudioExtensions::getFormatsForStreamID(hw, 11)), expected);
    QCOMPARE(texts(AudioDevice::outputDevices(hw).first()->allFormats()), expected);
}

void TestAudioDevice::formatText_data() {
    QTest::addColumn<double>("rate");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("channels");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CD") << 44100.0 << 16 << 2 << QStringLiteral("44.1kHz @ 16bit : 2ch");
    QTest::newRow("rounded to one decimal") << 22050.0 << 8 << 1 << QStringLiteral("22.1kHz @ 8bit : 1ch");
    QTest::newRow("high rate") << 384000.0 << 32 << 8 << QStringLiteral("384.0kHz @ 32bit : 8ch");
    QTest::newRow("unread") << 0.0 << 0 << 0 << QStringLiteral("0.0kHz @ 0bit : 0ch");
}

void TestAudioDevice::formatText() {
    QFETCH(double, rate);
    QFETCH(int, bits);
    QFETCH(int, channels);
    QFETCH(QString, expected);
    QCOMPARE(StreamFormat(linearPcm(rate, quint32(bits), quint32(channels)).format).description(), expected);
}

void TestAudioDevice::descriptionsAndFinding() {
    FakeAudioHardware hw;
    hw.addDevice(stereoDevice(10, QStringLiteral("Speakers")));
    hw.addDevice(stereoDevice(20, QStringLiteral("Headset")));
    AudioDeviceList devices = AudioDevice::outputDevices(hw);
    const auto missing = AudioDevice::missingDevice(QStringLiteral("Old DAC"), QStringLiteral("uid-10"));
    devices.append(missing);

    QCOMPARE(devices[0]->description(), QStringLiteral("Speakers"));
    QCOMPARE(missing->description(), QStringLiteral("(Old DAC)"));
    QVERIFY(missing->isMissing());
    QVERIFY(!missing->canHog());
    QCOMPARE(missing->deviceID(), kAudioObjectUnknown);

    QCOMPARE(AudioDevice::findDeviceWithDeviceID(20, devices), devices[1]);
    QCOMPARE(AudioDevice::findDeviceWithDeviceID(99, devices), nullptr);
    QCOMPARE(AudioDevice::findDeviceWithUid(QStringLiteral("uid-10"), devices), devices[0]); // the first of two
    QCOMPARE(AudioDevice::findDeviceWithUid(QStringLiteral("uid-99"), devices), nullptr);
    QCOMPARE(AudioDevice::findDeviceWithUid(QStringLiteral("uid-10"), {}), nullptr);
}

void TestAudioDevice::bestFormat_data() {
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bitSize");
    QTest::addColumn<QString>("expected");
    QTest::newRow("stereo at the size") << 44100 << 24 << QStringLiteral("44.1kHz @ 24bit : 2ch");
    QTest::newRow("any size: the last at the rate") << 44100 << 0 << QStringLiteral("44.1kHz @ 32bit : 2ch");
    QTest::newRow("no stereo at the size: the last of it") << 48000 << 24 << QStringLiteral("48.0kHz @ 24bit : 6ch");
    QTest::newRow("size not offered: the last at the rate") << 44100 << 20 << QStringLiteral("44.1kHz @ 32bit : 2ch");
    QTest::newRow("rate not offered") << 88200 << 24 << QStringLiteral("none");
    QTest::newRow("rate not offered, any size") << 88200 << 0 << QStringLiteral("none");
}

void TestAudioDevice::bestFormat() {
    QFETCH(int, rate);
    QFETCH(int, bitSize);
    QFETCH(QString, expected);
    FakeAudioHardware hw;
    auto device = stereoDevice(10, QStringLiteral("Interface"));
    device.formats = {linearPcm(44100, 24, 1), linearPcm(44100, 24, 2), linearPcm(44100, 32, 2),
                      linearPcm(48000, 24, 1), linearPcm(48000, 24, 6)};
    hw.addDevice(device);
    const auto devices = AudioDevice::outputDevices(hw);
    QCOMPARE(optionalText(devices.first()->bestFormatForSampleRate(rate, bitSize)), expected);
}

void TestAudioDevice::followingTheDeviceFormat() {
    FakeAudioHardware hw;
    auto& fake = hw.addDevice(stereoDevice(10, QStringLiteral("Speakers")));
    fake.formats.append(linearPcm(48000, 24, 2));
    const auto device = AudioDevice::outputDevices(hw).first();
    QSignalSpy announced(device.get(), &AudioDevice::selectedFormatChanged);

    // Only rate, bits and channels have to match, not the flags.
    hw.device(10).currentFormat = linearPcm(48000, 24, 2, audioformat::kFlagIsBigEndian).format;
    device->updateSelectedFormatWithCurrentDeviceValue();
    QCOMPARE(optionalText(device->selectedFormat()), QStringLiteral("48.0kHz @ 24bit : 2ch"));
    QCOMPARE(announced.size(), 1);

    // A format the device does not list, or none readable, leaves the selection, still announced.
    hw.device(10).currentFormat = linearPcm(96000, 24, 2).format;
    device->updateSelectedFormatWithCurrentDeviceValue();
    hw.device(10).currentFormat = std::nullopt;
    device->updateSelectedFormatWithCurrentDeviceValue();
    QCOMPARE(optionalText(device->selectedFormat()), QStringLiteral("48.0kHz @ 24bit : 2ch"));
    QCOMPARE(announced.size(), 3);

    // Written formats are read back.
    CoreAudioExtensions::setCurrentDescription(hw, linearPcm(44100, 16, 2).format, device->outStreamID());
    device->updateSelectedFormatWithCurrentDeviceValue();
    QCOMPARE(optionalText(device->selectedFormat()), QStringLiteral("44.1kHz @ 16bit : 2ch"));
}

void TestAudioDevice::exclusiveUse_data() {
    QTest::addColumn<int>("running"); // -1: unreadable
    QTest::addColumn<int>("hogWrite");
    QTest::addColumn<bool>("holderReadable");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("wroteSelf");
    using W = FakeAudioHardware::HogWrite;
    const QString lock = QStringLiteral("🔒 Device is used in exclusive mode.");
    QTest::newRow("free device") << 0 << int(W::Takes) << true << lock << true;
    QTest::newRow("running state unreadable counts as free") << -1 << int(W::Takes) << true << lock << true;
    QTest::newRow("running elsewhere")
        << 1 << int(W::Takes) << true << QStringLiteral("⚠️\rDevice is currently used and can't be set for exclusive mode.")
        << false;
    QTest::newRow("write did not take")
        << 0 << int(W::Ignored) << true << QStringLiteral("⚠️\rFailed to set exclusive mode for device.") << true;
    const QString other = QStringLiteral("⚠️\rFailed to set exclusive mode. Device is set by another application.");
    QTest::newRow("another process holds it") << 0 << int(W::TakenByOther) << true << other << true;
    QTest::newRow("holder unreadable") << 0 << int(W::Ignored) << false << other << true;
}

void TestAudioDevice::exclusiveUse() {
    QFETCH(int, running);
    QFETCH(int, hogWrite);
    QFETCH(bool, holderReadable);
    QFETCH(QString, message);
    QFETCH(bool, wroteSelf);
    FakeAudioHardware hw;
    auto& fake = hw.addDevice(stereoDevice(10, QStringLiteral("Speakers")));
    fake.running = running < 0 ? std::nullopt : std::optional(running == 1);
    if (!holderReadable)
        fake.hogPid = std::nullopt;
    hw.hogWrite = FakeAudioHardware::HogWrite(hogWrite);
    const auto device = AudioDevice::outputDevices(hw).first();
    QSignalSpy hogSpy(device.get(), &AudioDevice::hogChanged);

    device->setHog(true);
    QVERIFY(device->hog()); // on, or being attempted
    QCOMPARE(hogSpy.size(), 1);
    QCOMPARE(device->hogMessage(), message);
    QCOMPARE(hw.hogWrites, wroteSelf ? QList<pid_t>{::getpid()} : QList<pid_t>{});
    const bool failed = !message.startsWith(u"🔒");
    QCOMPARE(device->messageTimer() != nullptr, failed);
    if (failed) {
        QVERIFY(device->messageTimer()->isActive());
        QVERIFY(device->messageTimer()->isSingleShot());
        QCOMPARE(device->messageTimer()->interval(), 2000);
    }
}

void TestAudioDevice::exclusiveUseIgnoresRepeatsAndUnsupportedDevices() {
    FakeAudioHardware hw;
    hw.addDevice(stereoDevice(10, QStringLiteral("Speakers")));
    auto unsupported = stereoDevice(20, QStringLiteral("Virtual"));
    unsupported.hogSettable = false;
    hw.addDevice(unsupported);
    const auto devices = AudioDevice::outputDevices(hw);

    devices[0]->setHog(true);
    devices[0]->setHog(true);
    QCOMPARE(hw.hogWrites.size(), 1);
    devices[0]->setHog(false);
    devices[0]->setHog(false);
    QCOMPARE(hw.hogWrites.size(), 2);

    QVERIFY(!devices[1]->canHog());
    devices[1]->setHog(true);
    QVERIFY(!devices[1]->hog());
    QCOMPARE(hw.hogWrites.size(), 2);
}

void TestAudioDevice::releaseWritesNoHolder() {
    FakeAudioHardware hw;
    hw.addDevice(stereoDevice(10, QStringLiteral("Speakers")));
    const auto device = AudioDevice::outputDevices(hw).first();
    device->setHog(true);
    QSignalSpy messages(device.get(), &AudioDevice::hogMessageChanged);

    device->setHog(false);
    QVERIFY(!device->hog());
    QCOMPARE(device->hogMessage(), QString());
    QCOMPARE(messages.size(), 1);
    QCOMPARE(hw.hogWrites.last(), pid_t(-1));
    QCOMPARE(CoreAudioExtensions::getHogPidForDeviceID(hw, 10), pid_t(-1));
}

void TestAudioDevice::failedAttemptBlocksCallsUntilItsTimerEnds() {
    FakeAudioHardware hw;
    hw.addDevice(stereoDevice(10, QStringLiteral("Speakers"))).running = true;
    const auto device = AudioDevice::outputDevices(hw).first();
    device->setHog(true);
    QTimer* timer = device->messageTimer();
    QVERIFY(timer);

    hw.device(10).running = false; // would succeed now, but calls are ignored while the message shows
    device->setHog(false);
    device->setHog(true);
    QVERIFY(device->hog());
    QVERIFY(hw.hogWrites.isEmpty());
    QCOMPARE(device->messageTimer(), timer);

    QSignalSpy hogSpy(device.get(), &AudioDevice::hogChanged);
    timer->setInterval(10); // restarts it, to keep the test short
    QVERIFY(hogSpy.wait(1000));
    QCOMPARE(hogSpy.size(), 1);
    QCOMPARE(hogSpy.first().first().toBool(), false);
    QVERIFY(!device->hog());
    QCOMPARE(device->hogMessage(), QString());
    QCOMPARE(device->messageTimer(), nullptr);
    QTest::qWait(30);
    QCOMPARE(hogSpy.size(), 1); // fired once

    device->setHog(true);
    QCOMPARE(device->hogMessage(), QStringLiteral("🔒 Device is used in exclusive mode."));
}

void TestAudioDevice::transportLabels_data() {
    QTest::addColumn<quint32>("transport");
    QTest::addColumn<QString>("label");
    QTest::newRow("unknown") << quint32(0) << QStringLiteral("Unknown");
    QTest::newRow("built-in") << fourCharCode("bltn") << QStringLiteral("BuiltIn");
    QTest::newRow("usb") << fourCharCode("usb ") << QStringLiteral("USB");
    QTest::newRow("bluetooth le") << fourCharCode("blea") << QStringLiteral("Bluetooth LE");
    QTest::newRow("display port") << fourCharCode("dprt") << QStringLiteral("Display Port");
    QTest::newRow("firewire") << fourCharCode("1394") << QStringLiteral("FireWire");
    QTest::newRow("avb") << fourCharCode("eavb") << QStringLiteral("AVB");
    QTest::newRow("continuity") << fourCharCode("ccwd") << QStringLiteral("Continuity Capture Wired");
    QTest::newRow("other code") << fourCharCode("zzzz") << QStringLiteral("<?>");
}

void TestAudioDevice::transportLabels() {
    QFETCH(quint32, transport);
    QFETCH(QString, label);
    FakeAudioHardware hw;
    auto device = stereoDevice(10, QStringLiteral("Out"));
    device.transport = transport;
    device.formats = {linearPcm(48000, 16, 2)};
    hw.addDevice(device);
    QTest::ignoreMessage(QtInfoMsg, "🔉 ----------------------------------------");
    QTest::ignoreMessage(QtInfoMsg, qPrintable(QStringLiteral("\t> Out | uid-10 | %1 ").arg(label)));
    QTest::ignoreMessage(QtInfoMsg, "\t\t> 48.0kHz @ 16bit : 2ch ");
    AudioDevice::logDevices(AudioDevice::outputDevices(hw), nullptr);
}

void TestAudioDevice::logMarksSelectedDeviceAndFormat() {
    FakeAudioHardware hw;
    hw.addDevice(stereoDevice(10, QStringLiteral("Speakers")));
    auto headset = stereoDevice(20, QStringLiteral("Headset"));
    headset.transport = audiotransport::kUSB;
    headset.formats = {linearPcm(48000, 16, 2)};
    hw.addDevice(headset);
    const auto devices = AudioDevice::outputDevices(hw);
    devices[0]->setSelectedFormat(devices[0]->allFormats()[1]);
    devices[1]->setSelectedFormat(devices[1]->allFormats()[0]);

    QTest::ignoreMessage(QtInfoMsg, "🔉 ----------------------------------------");
    QTest::ignoreMessage(QtInfoMsg, "\t> Speakers | uid-10 | BuiltIn  •••• DEFAULT ••••");
    QTest::ignoreMessage(QtInfoMsg, "\t\t> 44.1kHz @ 16bit : 2ch ");
    QTest::ignoreMessage(QtInfoMsg, "\t\t> 48.0kHz @ 16bit : 2ch  •••• DEFAULT ••••");
    QTest::ignoreMessage(QtInfoMsg, "\t> Headset | uid-20 | USB ");
    QTest::ignoreMessage(QtInfoMsg, "\t\t> 48.0kHz @ 16bit : 2ch "); // selected, but not on the selected device
    AudioDevice::logDevices(devices, devices[0].get());
}

void TestAudioDevice::failedReadsGiveEmptyValues() {
    FakeAudioHardware hw; // no devices: every read fails
    using E = CoreAudioExtensions;
    QCOMPARE(E::getDefaultOutputAudioDeviceID(hw), kAudioObjectUnknown);
    QVERIFY(E::getDeviceIDList(hw).isEmpty());
    QVERIFY(E::getSubDeviceIDListForDeviceID(hw, 10).isEmpty());
    QCOMPARE(E::getClassForDeviceID(hw, 10), quint32(0));
    QCOMPARE(E::getDeviceTransportType(hw, 10), audiotransport::kUnknown);
    QCOMPARE(E::getFirstOutputStreamIDForDeviceID(hw, 10), kAudioObjectUnknown);
    QCOMPARE(E::getChannelCountForDeviceID(hw, 10), quint32(0));
    QCOMPARE(E::getStringProperty(hw, audioselector::kName, 10), QString());
    QVERIFY(!E::getSupportsHogForDeviceID(hw, 10));
    QCOMPARE(E::getHogPidForDeviceID(hw, 10), pid_t(0));
    QVERIFY(E::getIsHogFreeForDeviceID(hw, 10)); // a zero read means "not running"
    QCOMPARE(E::getCurrentDescriptionForStreamID(hw, 11), StreamDescription{});
    QVERIFY(E::getFormatsForStreamID(hw, 11).isEmpty());

    hw.addDevice(stereoDevice(10, QStringLiteral("Speakers"))).bufferChannels = {2, 6};
    hw.defaultDevice = 10;
    QCOMPARE(E::getDefaultOutputAudioDeviceID(hw), AudioObjectID(10));
    QCOMPARE(E::getChannelCountForDeviceID(hw, 10), quint32(8));
    QCOMPARE(E::getClassForDeviceID(hw, 10), fourCharCode("adev"));
}

void TestAudioDevice::listenersGetTheirClientData() {
    struct Calls {
        QList<std::pair<AudioObjectID, AudioPropertySelector>> seen;
        static void record(AudioObjectID object, AudioPropertySelector selector, void* clientData) {
            static_cast<Calls*>(clientData)->seen.append({object, selector});
        }
    };
    FakeAudioHardware hw;
    Calls a;
    Calls b;
    QVERIFY(CoreAudioExtensions::addListener(hw, &a, kAudioObjectSystemObject, audioselector::kDevices, Calls::record));
    QVERIFY(CoreAudioExtensions::addListener(hw, &b, 10, audioselector::kHogPid, Calls::record));

    hw.changeProperty(kAudioObjectSystemObject, audioselector::kDevices);
    hw.changeProperty(10, audioselector::kIsRunningSomewhere); // nobody listens to that
    QCOMPARE(a.seen, (QList<std::pair<AudioObjectID, AudioPropertySelector>>{{1, audioselector::kDevices}}));
    QVERIFY(b.seen.isEmpty());

    QVERIFY(CoreAudioExtensions::removeListener(hw, &a, kAudioObjectSystemObject, audioselector::kDevices, Calls::record));
    QVERIFY(!CoreAudioExtensions::removeListener(hw, &a, kAudioObjectSystemObject, audioselector::kDevices, Calls::record));
    hw.changeProperty(kAudioObjectSystemObject, audioselector::kDevices);
    hw.changeProperty(10, audioselector::kHogPid);
    QCOMPARE(a.seen.size(), 1);
    QCOMPARE(b.seen.size(), 1);
}

QTEST_GUILESS_MAIN(TestAudioDevice)
#include "tst_audiodevice.moc"
