#include "FakeAudioHardware.h"
#include "audio/AudioDevice.h"
#include "audio/CoreAudioExtensions.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <unistd.h>

Q_DECLARE_METATYPE(FakeAudioHardware::Device)

namespace {

FakeAudioHardware::Device stereoDevice(AudioObjectID id, const QString& name) {
    return {.id = id,
            .stream = id + 1,
            .name = name,
            .uid = QStringLiteral("uid-%1").arg(id),
            .formats = {linearPcm(44100, 16, 2), linearPcm(48000, 16, 2)}};
}

QString text(const std::optional<StreamFormat>& format) {
    return format ? format->description() : QStringLiteral("none");
}

QStringList texts(const QList<StreamFormat>& formats) {
    QStringList list;
    for (const StreamFormat& f : formats)
        list.append(f.description());
    return list;
}

const QString kLocked = QStringLiteral("🔒 Device is used in exclusive mode.");

} // namespace

class TestAudioDevice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listing_data();
    void listing();
    void knownDevicesKeepTheirObjects();
    void formatsAreFilteredAndOrdered();
    void descriptionsAndFinding();
    void bestFormat_data();
    void bestFormat();
    void followingTheDeviceFormat();
    void exclusiveUse_data();
    void exclusiveUse();
    void exclusiveUseActsOnChangesOnly();
    void failedAttemptBlocksCallsUntilItsTimerEnds();
};

void TestAudioDevice::listing_data() {
    QTest::addColumn<FakeAudioHardware::Device>("device");
    QTest::addColumn<bool>("listed");
    const auto base = stereoDevice(10, QStringLiteral("Speakers"));
    auto row = [&](const char* tag, bool listed, auto change) {
        auto d = base;
        change(d);
        QTest::newRow(tag) << d << listed;
    };
    using D = FakeAudioHardware::Device;
    row("stereo device", true, [](D&) {});
    row("aggregate with outputs", false, [](D& d) { d.transport = audiotransport::kAggregate; });
    row("transport unreadable", true, [](D& d) { d.transport = std::nullopt; });
    row("silent buffers", false, [](D& d) { d.bufferChannels = {0, 0}; });
    row("channels in a later buffer", true, [](D& d) { d.bufferChannels = {0, 2}; });
    row("no output stream", false, [](D& d) { d.stream = kAudioObjectUnknown; });
    row("only non-mixable formats", false,
        [](D& d) { d.formats = {linearPcm(48000, 16, 2, audioformat::kFlagIsNonMixable)}; });
    row("only compressed formats", false, [](D& d) {
        d.formats = {linearPcm(48000, 16, 2)};
        d.formats[0].format.formatID = fourCharCode("ac-3");
    });
}

void TestAudioDevice::listing() {
    QFETCH(FakeAudioHardware::Device, device);
    QFETCH(bool, listed);
    FakeAudioHardware hw;
    hw.list = {stereoDevice(30, QStringLiteral("Before")), device, stereoDevice(20, QStringLiteral("After"))};
    QStringList names;
    for (const auto& d : AudioDevice::outputDevices(hw))
        names.append(d->name());
    QCOMPARE(names, (listed ? QStringList{"Before", device.name, "After"} : QStringList{"Before", "After"}));
}

void TestAudioDevice::knownDevicesKeepTheirObjects() {
    FakeAudioHardware hw;
    hw.list = {stereoDevice(10, QStringLiteral("Speakers")), stereoDevice(20, QStringLiteral("Headset"))};
    const AudioDeviceList first = AudioDevice::outputDevices(hw);
    first[1]->setHog(true);
    first[1]->setSelectedFormat(first[1]->allFormats().first());

    hw.list.removeFirst();
    hw.list.append(stereoDevice(30, QStringLiteral("HDMI")));
    const AudioDeviceList second = AudioDevice::outputDevices(hw, first);
    QCOMPARE(second.size(), 2);
    QCOMPARE(second[0], first[1]); // the same object, its state with it
    QVERIFY(second[0]->hog());
    QCOMPARE(second[0]->hogMessage(), kLocked);
    QCOMPARE(text(second[0]->selectedFormat()), QStringLiteral("44.1kHz @ 16bit : 2ch"));
    QCOMPARE(second[1]->name(), QStringLiteral("HDMI"));
    QCOMPARE(second[1]->outStreamID(), AudioObjectID(31));
    QVERIFY(second[1]->canHog());
}

void TestAudioDevice::formatsAreFilteredAndOrdered() {
    FakeAudioHardware hw;
    auto device = stereoDevice(10, QStringLiteral("Interface"));
    device.formats = {linearPcm(192000, 24, 2), linearPcm(48000, 16, 10), linearPcm(96000, 24, 2),
                      linearPcm(48000, 32, 2, audioformat::kFlagIsNonMixable), linearPcm(44100, 16, 2),
                      linearPcm(48000, 24, 2), linearPcm(8000, 16, 1), linearPcm(22050, 16, 2)};
    hw.list = {device};
    // Digit runs compare by value: 8.0 before 22.1, 2ch before 10ch, 96.0 before 192.0.
    const QStringList expected{"8.0kHz @ 16bit : 1ch",  "22.1kHz @ 16bit : 2ch", "44.1kHz @ 16bit : 2ch",
                               "48.0kHz @ 16bit : 10ch", "48.0kHz @ 24bit : 2ch", "96.0kHz @ 24bit : 2ch",
                               "192.0kHz @ 24bit : 2ch"};
    QCOMPARE(texts(AudioDevice::outputDevices(hw).first()->allFormats()), expected);
}

void TestAudioDevice::descriptionsAndFinding() {
    FakeAudioHardware hw;
    hw.list = {stereoDevice(10, QStringLiteral("Speakers")), stereoDevice(20, QStringLiteral("Headset"))};
    AudioDeviceList devices = AudioDevice::outputDevices(hw);
    devices.append(AudioDevice::missingDevice(QStringLiteral("Old DAC"), QStringLiteral("uid-10")));

    QCOMPARE(devices[0]->description(), QStringLiteral("Speakers"));
    QCOMPARE(devices[2]->description(), QStringLiteral("(Old DAC)"));
    QVERIFY(devices[2]->isMissing() && !devices[2]->canHog());
    QCOMPARE(AudioDevice::findDeviceWithDeviceID(20, devices), devices[1]);
    QCOMPARE(AudioDevice::findDeviceWithDeviceID(99, devices), nullptr);
    QCOMPARE(AudioDevice::findDeviceWithUid(QStringLiteral("uid-10"), devices), devices[0]); // the first of two
    QCOMPARE(AudioDevice::findDeviceWithUid(QStringLiteral("uid-99"), devices), nullptr);
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
}

void TestAudioDevice::bestFormat() {
    QFETCH(int, rate);
    QFETCH(int, bitSize);
    QFETCH(QString, expected);
    FakeAudioHardware hw;
    auto device = stereoDevice(10, QStringLiteral("Interface"));
    device.formats = {linearPcm(44100, 24, 1), linearPcm(44100, 24, 2), linearPcm(44100, 32, 2),
                      linearPcm(48000, 24, 1), linearPcm(48000, 24, 6)};
    hw.list = {device};
    QCOMPARE(text(AudioDevice::outputDevices(hw).first()->bestFormatForSampleRate(rate, bitSize)), expected);
}

void TestAudioDevice::followingTheDeviceFormat() {
    FakeAudioHardware hw;
    hw.list = {stereoDevice(10, QStringLiteral("Speakers"))};
    hw.list[0].formats.append(linearPcm(48000, 24, 2));
    const auto device = AudioDevice::outputDevices(hw).first();
    QSignalSpy announced(device.get(), &AudioDevice::selectedFormatChanged);

    // Rate, bits and channels have to match, not the flags.
    hw.list[0].currentFormat = linearPcm(48000, 24, 2, audioformat::kFlagIsBigEndian).format;
    device->updateSelectedFormatWithCurrentDeviceValue();
    QCOMPARE(text(device->selectedFormat()), QStringLiteral("48.0kHz @ 24bit : 2ch"));

    // A format the device does not list, or none readable, keeps the selection; still announced.
    hw.list[0].currentFormat = linearPcm(96000, 24, 2).format;
    device->updateSelectedFormatWithCurrentDeviceValue();
    hw.list[0].currentFormat = std::nullopt;
    device->updateSelectedFormatWithCurrentDeviceValue();
    QCOMPARE(text(device->selectedFormat()), QStringLiteral("48.0kHz @ 24bit : 2ch"));
    QCOMPARE(announced.size(), 3);

    CoreAudioExtensions::setCurrentDescription(hw, linearPcm(44100, 16, 2).format, device->outStreamID());
    device->updateSelectedFormatWithCurrentDeviceValue();
    QCOMPARE(text(device->selectedFormat()), QStringLiteral("44.1kHz @ 16bit : 2ch"));
}

void TestAudioDevice::exclusiveUse_data() {
    QTest::addColumn<int>("running"); // -1: unreadable
    QTest::addColumn<int>("hogWrite");
    QTest::addColumn<bool>("holderReadable");
    QTest::addColumn<QString>("message");
    using W = FakeAudioHardware::HogWrite;
    const QString other = QStringLiteral("⚠️\rFailed to set exclusive mode. Device is set by another application.");
    QTest::newRow("free device") << 0 << int(W::Takes) << true << kLocked;
    QTest::newRow("running state unreadable counts as free") << -1 << int(W::Takes) << true << kLocked;
    QTest::newRow("running elsewhere") << 1 << int(W::Takes) << true
                                       << QStringLiteral("⚠️\rDevice is currently used and can't be set for exclusive mode.");
    QTest::newRow("write did not take") << 0 << int(W::Ignored) << true
                                        << QStringLiteral("⚠️\rFailed to set exclusive mode for device.");
    QTest::newRow("another process holds it") << 0 << int(W::TakenByOther) << true << other;
    QTest::newRow("holder unreadable") << 0 << int(W::Ignored) << false << other;
}

void TestAudioDevice::exclusiveUse() {
    QFETCH(int, running);
    QFETCH(int, hogWrite);
    QFETCH(bool, holderReadable);
    QFETCH(QString, message);
    FakeAudioHardware hw;
    hw.list = {stereoDevice(10, QStringLiteral("Speakers"))};
    hw.list[0].running = running < 0 ? std::nullopt : std::optional(running == 1);
    if (!holderReadable)
        hw.list[0].hogPid = std::nullopt;
    hw.hogWrite = FakeAudioHardware::HogWrite(hogWrite);
    const auto device = AudioDevice::outputDevices(hw).first();
    QSignalSpy hogSpy(device.get(), &AudioDevice::hogChanged);

    device->setHog(true);
    QVERIFY(device->hog()); // on, or being attempted
    QCOMPARE(hogSpy.size(), 1);
    QCOMPARE(device->hogMessage(), message);
    QCOMPARE(hw.hogWrites, running == 1 ? QList<pid_t>{} : QList<pid_t>{::getpid()});
    QCOMPARE(device->messageTimer() != nullptr, message != kLocked);
    if (message != kLocked) {
        QVERIFY(device->messageTimer()->isActive() && device->messageTimer()->isSingleShot());
        QCOMPARE(device->messageTimer()->interval(), 2000);
    }
}

void TestAudioDevice::exclusiveUseActsOnChangesOnly() {
    FakeAudioHardware hw;
    hw.list = {stereoDevice(10, QStringLiteral("Speakers")), stereoDevice(20, QStringLiteral("Virtual"))};
    hw.list[1].hogSettable = false;
    const auto devices = AudioDevice::outputDevices(hw);

    devices[0]->setHog(true);
    devices[0]->setHog(true);
    QCOMPARE(hw.hogWrites.size(), 1);
    devices[0]->setHog(false);
    devices[0]->setHog(false);
    QCOMPARE(hw.hogWrites, (QList<pid_t>{::getpid(), -1})); // released: nobody holds it
    QCOMPARE(devices[0]->hogMessage(), QString());

    devices[1]->setHog(true);
    QVERIFY(!devices[1]->hog());
    QCOMPARE(hw.hogWrites.size(), 2);
}

void TestAudioDevice::failedAttemptBlocksCallsUntilItsTimerEnds() {
    FakeAudioHardware hw;
    hw.list = {stereoDevice(10, QStringLiteral("Speakers"))};
    hw.list[0].running = true;
    const auto device = AudioDevice::outputDevices(hw).first();
    device->setHog(true);
    QTimer* timer = device->messageTimer();
    QVERIFY(timer);

    hw.list[0].running = false; // would succeed now, but calls are ignored while the message shows
    device->setHog(false);
    device->setHog(true);
    QVERIFY(device->hog());
    QVERIFY(hw.hogWrites.isEmpty());

    QSignalSpy hogSpy(device.get(), &AudioDevice::hogChanged);
    timer->setInterval(10); // restarts it, to keep the test short
    QVERIFY(hogSpy.wait(10000));
    QCOMPARE(hogSpy.first().first().toBool(), false);
    QCOMPARE(device->hogMessage(), QString());
    QCOMPARE(device->messageTimer(), nullptr);
    QCoreApplication::processEvents();
    QCOMPARE(hogSpy.size(), 1); // fired once: the timer is gone

    device->setHog(true);
    QCOMPARE(device->hogMessage(), kLocked);
}

QTEST_GUILESS_MAIN(TestAudioDevice)
#include "tst_audiodevice.moc"
