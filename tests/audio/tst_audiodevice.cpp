// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeAudioHardware.h"
#include "audio/AlsaAudioHardware.h"
#include "audio/AlsaLibrary.h"
#include "audio/AlsaSampleFormats.h"
#include "audio/AlsaTransport.h"
#include "audio/AudioDevice.h"
#include "audio/CoreAudioExtensions.h"
#include "audio/LibAsound.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <unistd.h>

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
const QString kBusy = QStringLiteral("⚠️\rDevice is currently used and can't be set for exclusive mode.");
const QString kNotTaken = QStringLiteral("⚠️\rFailed to set exclusive mode for device.");

QString fixtureRoot() {
    return qEnvironmentVariable("OSTREL_TEST_SOURCE_DIR") + QStringLiteral("/tests/audio/fixtures/alsa");
}

void writeText(const QString& path, const QString& text) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    file.write(text.toUtf8());
}

RangedStreamDescription ranged(const char* format, quint32 channels, double rate) {
    return {*alsasampleformats::description(QLatin1String(format), channels, rate), rate, rate};
}

const QString kAnalog = QStringLiteral("hw:CARD=PCH,DEV=0");
const QString kHdmi = QStringLiteral("hw:CARD=PCH,DEV=3");
const QString kHeadset = QStringLiteral("hw:CARD=Headset,DEV=0");
const QString kLoopback = QStringLiteral("hw:CARD=Loopback,DEV=0");

// Library calls answered from a script; holding and configuring write /proc as the kernel would.
class ScriptedAlsaLibrary final : public AlsaLibrary {
public:
    QString procRoot;
    QHash<QString, QList<RangedStreamDescription>> formats; // absent: cannot be opened
    QByteArray hdmiEld;                                     // of card 0, device 3
    DefaultPcm defaultAnswer{QStringLiteral("0"), 0};
    bool holdSucceeds = true;
    QStringList probes;
    QHash<QString, int> held; // PCM -> substreams

    std::optional<QList<RangedStreamDescription>> probeFormats(const QString& pcm) override {
        probes.append(pcm);
        return formats.contains(pcm) ? std::optional(formats.value(pcm)) : std::nullopt;
    }
    bool hold(const QString& pcm, int substreams) override {
        if (holdSucceeds)
            held.insert(pcm, substreams);
        return holdSucceeds &&
               write(pcm, "status", QStringLiteral("state: OPEN\nowner_pid   : %1\n").arg(::getpid()));
    }
    void release(const QString& pcm) override {
        held.remove(pcm);
        write(pcm, "status", QStringLiteral("closed\n"));
        write(pcm, "hw_params", QStringLiteral("closed\n"));
    }
    bool configure(const QString& pcm, const QString& format, quint32 channels, quint32 rate) override {
        const QString params = QStringLiteral("format: %1\nchannels: %2\nrate: %3 (%3/1)\n");
        return held.contains(pcm) && write(pcm, "hw_params", params.arg(format).arg(channels).arg(rate));
    }
    QByteArray eld(int card, int device) override {
        return card == 0 && device == 3 ? hdmiEld : QByteArray();
    }
    DefaultPcm defaultPcm() override { return defaultAnswer; }

private:
    bool write(const QString& pcm, const char* file, const QString& text) {
        static const QHash<QString, QString> dirs{{kAnalog, "card0/pcm0p"},
                                                  {kHdmi, "card0/pcm3p"},
                                                  {kHeadset, "card1/pcm0p"},
                                                  {kLoopback, "card2/pcm0p"}};
        writeText(QStringLiteral("%1/%2/sub0/%3").arg(procRoot, dirs.value(pcm), QLatin1String(file)), text);
        return true;
    }
};

// A writable copy of the fixture machine: PCH has a busy analog output and an HDMI output
// without a device node, then a USB headset and a loopback card opened by another process.
struct FixtureMachine {
    QTemporaryDir dir;
    std::shared_ptr<ScriptedAlsaLibrary> library = std::make_shared<ScriptedAlsaLibrary>();
    std::unique_ptr<AlsaAudioHardware> hardware;

    FixtureMachine() {
        std::filesystem::copy(fixtureRoot().toStdString(), dir.path().toStdString(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::copy_symlinks);
        library->procRoot = proc();
        library->formats = {
            {kHdmi, {ranged("S16_LE", 2, 44100), ranged("S16_LE", 2, 48000), ranged("S24_LE", 8, 48000)}},
            {kHeadset, {ranged("S16_LE", 2, 48000), ranged("S16_LE", 1, 48000), ranged("S24_3LE", 2, 96000)}},
        };
        hardware = std::make_unique<AlsaAudioHardware>(
            AlsaAudioHardware::Options{.procRoot = proc(),
                                       .sysRoot = dir.path() + QStringLiteral("/sys/class/sound"),
                                       .devRoot = dir.path() + QStringLiteral("/dev/snd"),
                                       .pollInterval = std::chrono::milliseconds(10),
                                       .library = library});
    }
    QString proc() const { return dir.path() + QStringLiteral("/proc/asound"); }

    AudioObjectID idOf(const QString& uid) const {
        for (const AudioObjectID id : hardware->devices())
            if (hardware->stringProperty(id, audioselector::kUid) == uid)
                return id;
        return kAudioObjectUnknown;
    }
};

} // namespace

class TestAudioDevice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listing();
    void knownDevicesKeepTheirObjectsAndAreFound();
    void formatsAreFilteredOrderedAndChosen();
    void exclusiveUseReadsTheHolderBack();
    void exclusiveUseActsOnChangesOnly();
    void transport();
    void fixtureMachine();
    void unpluggingAndListeners();
    void noSoundCard();
};

void TestAudioDevice::listing() {
    using D = FakeAudioHardware::Device;
    const QList<std::tuple<const char*, bool, std::function<void(D&)>>> cases{
        {"aggregate with outputs", false, [](D& d) { d.transport = audiotransport::kAggregate; }},
        {"transport unreadable", true, [](D& d) { d.transport = std::nullopt; }},
        {"silent buffer", false, [](D& d) { d.bufferChannels[0] = 0; }},
        {"channels in a later buffer", true, [](D& d) { d.bufferChannels.prepend(0); }},
        {"no output stream", false, [](D& d) { d.stream = kAudioObjectUnknown; }},
        {"only non-mixable formats", false,
         [](D& d) { d.formats = {linearPcm(48000, 16, 2, audioformat::kFlagIsNonMixable)}; }},
        {"only compressed formats", false, [](D& d) {
             d.formats = {linearPcm(48000, 16, 2)};
             d.formats[0].format.formatID = fourCharCode("ac-3");
         }}};
    for (const auto& [what, listed, change] : cases) {
        D device = stereoDevice(10, QString::fromLatin1(what));
        change(device);
        FakeAudioHardware hw;
        hw.list = {stereoDevice(30, QStringLiteral("A")), device, stereoDevice(20, QStringLiteral("B"))};
        QStringList names;
        for (const auto& d : AudioDevice::outputDevices(hw))
            names.append(d->name());
        QCOMPARE(names, (listed ? QStringList{"A", device.name, "B"} : QStringList{"A", "B"}));
    }
}

void TestAudioDevice::knownDevicesKeepTheirObjectsAndAreFound() {
    FakeAudioHardware hw;
    hw.list = {stereoDevice(10, QStringLiteral("Speakers")), stereoDevice(20, QStringLiteral("Headset"))};
    AudioDeviceList first = AudioDevice::outputDevices(hw);
    first.append(AudioDevice::missingDevice(QStringLiteral("Old DAC"), QStringLiteral("uid-10")));
    QVERIFY(first[2]->isMissing() && !first[2]->canHog());
    QCOMPARE(AudioDevice::findDeviceWithDeviceID(20, first), first[1]);
    QCOMPARE(AudioDevice::findDeviceWithUid(QStringLiteral("uid-10"), first), first[0]); // the first of two

    first[1]->setHog(true);
    first[1]->setSelectedFormat(first[1]->allFormats().first());
    hw.list.removeFirst();
    hw.list.append(stereoDevice(30, QStringLiteral("HDMI")));
    const AudioDeviceList second = AudioDevice::outputDevices(hw, first);
    QCOMPARE(second.size(), 2);
    QCOMPARE(second[0], first[1]); // the same object, its state with it
    QVERIFY(second[0]->hog());
    QCOMPARE(text(second[0]->selectedFormat()), QStringLiteral("44.1kHz @ 16bit : 2ch"));
    QCOMPARE(second[1]->name(), QStringLiteral("HDMI"));
}

void TestAudioDevice::formatsAreFilteredOrderedAndChosen() {
    FakeAudioHardware hw;
    hw.list = {stereoDevice(10, QStringLiteral("Interface"))};
    hw.list[0].formats = {linearPcm(192000, 24, 2), linearPcm(48000, 16, 10),
                          linearPcm(96000, 24, 2),  linearPcm(48000, 32, 2, audioformat::kFlagIsNonMixable),
                          linearPcm(44100, 16, 2),  linearPcm(48000, 24, 2),
                          linearPcm(8000, 16, 1),   linearPcm(22050, 16, 2)};
    // Digit runs compare by value: 8.0 before 22.1, 2ch before 10ch, 96.0 before 192.0.
    const QStringList expected{"8.0kHz @ 16bit : 1ch",  "22.1kHz @ 16bit : 2ch", "44.1kHz @ 16bit : 2ch",
                               "48.0kHz @ 16bit : 10ch", "48.0kHz @ 24bit : 2ch", "96.0kHz @ 24bit : 2ch",
                               "192.0kHz @ 24bit : 2ch"};
    QCOMPARE(texts(AudioDevice::outputDevices(hw).first()->allFormats()), expected);

    hw.list[0].formats = {linearPcm(44100, 24, 1), linearPcm(44100, 24, 2), linearPcm(44100, 32, 2),
                          linearPcm(48000, 24, 1), linearPcm(48000, 24, 6)};
    const auto device = AudioDevice::outputDevices(hw).first();
    // Stereo at the size, else the last at the size, else (or for any size) the last at the rate.
    QCOMPARE(text(device->bestFormatForSampleRate(44100, 24)), QStringLiteral("44.1kHz @ 24bit : 2ch"));
    QCOMPARE(text(device->bestFormatForSampleRate(44100, 0)), QStringLiteral("44.1kHz @ 32bit : 2ch"));
    QCOMPARE(text(device->bestFormatForSampleRate(48000, 24)), QStringLiteral("48.0kHz @ 24bit : 6ch"));
    QCOMPARE(text(device->bestFormatForSampleRate(44100, 20)), QStringLiteral("44.1kHz @ 32bit : 2ch"));
    QCOMPARE(text(device->bestFormatForSampleRate(88200, 24)), QStringLiteral("none"));

    // Following the device: rate, bits and channels have to match, not the flags. A format the
    // device does not list, or none readable, keeps the selection; each is announced.
    QSignalSpy announced(device.get(), &AudioDevice::selectedFormatChanged);
    for (const auto& current :
         {std::optional(linearPcm(48000, 24, 6, audioformat::kFlagIsBigEndian).format),
          std::optional(linearPcm(96000, 24, 2).format), std::optional<StreamDescription>()}) {
        hw.list[0].currentFormat = current;
        device->updateSelectedFormatWithCurrentDeviceValue();
        QCOMPARE(text(device->selectedFormat()), QStringLiteral("48.0kHz @ 24bit : 6ch"));
    }
    QCOMPARE(announced.size(), 3);
}

void TestAudioDevice::exclusiveUseReadsTheHolderBack() {
    const QString other = QStringLiteral("⚠️\rFailed to set exclusive mode. Device is set by another application.");
    using W = FakeAudioHardware::HogWrite;
    // Running state, what a write does, the holder before it (none: unreadable), the message.
    const QList<std::tuple<std::optional<bool>, W, std::optional<pid_t>, QString>> cases{
        {std::nullopt, W::Takes, -1, kLocked}, // running state unreadable: counts as free
        {false, W::TakenByOther, -1, other},
        {false, W::Ignored, std::nullopt, other}};
    for (const auto& [running, hogWrite, holder, message] : cases) {
        FakeAudioHardware hw;
        hw.list = {stereoDevice(10, QStringLiteral("Speakers"))};
        hw.list[0].running = running;
        hw.list[0].hogPid = holder;
        hw.hogWrite = hogWrite;
        const auto device = AudioDevice::outputDevices(hw).first();
        QSignalSpy hogSpy(device.get(), &AudioDevice::hogChanged);
        device->setHog(true);
        QVERIFY(device->hog()); // on, or being attempted
        QCOMPARE(hogSpy.size(), 1);
        QCOMPARE(device->hogMessage(), message);
        QCOMPARE(hw.hogWrites, QList<pid_t>{::getpid()});
        QCOMPARE(device->messageTimer() && device->messageTimer()->isActive(), message != kLocked);
    }
}

void TestAudioDevice::exclusiveUseActsOnChangesOnly() {
    FakeAudioHardware hw;
    hw.list = {stereoDevice(10, QStringLiteral("Speakers"))};
    const auto device = AudioDevice::outputDevices(hw).first();
    device->setHog(true);
    device->setHog(true);
    QCOMPARE(hw.hogWrites.size(), 1);
    device->setHog(false);
    device->setHog(false);
    QCOMPARE(hw.hogWrites, (QList<pid_t>{::getpid(), -1})); // released: nobody holds it
    QCOMPARE(device->hogMessage(), QString());

    // A failed attempt: further calls are ignored while its message shows.
    hw.list[0].running = true;
    device->setHog(true);
    QVERIFY(device->messageTimer());
    hw.list[0].running = false; // would succeed now
    device->setHog(false);
    device->setHog(true);
    QVERIFY(device->hog());
    QCOMPARE(hw.hogWrites.size(), 2);

    QSignalSpy hogSpy(device.get(), &AudioDevice::hogChanged);
    device->messageTimer()->setInterval(10); // restarts it, to keep the test short
    QVERIFY(hogSpy.wait(10000));
    QCOMPARE(hogSpy.first().first().toBool(), false);
    QCOMPARE(device->hogMessage(), QString());
    QCoreApplication::processEvents();
    QCOMPARE(hogSpy.size(), 1); // fired once: the timer is gone
    device->setHog(true);
    QCOMPARE(device->hogMessage(), kLocked);
}

void TestAudioDevice::transport() {
    using namespace audiotransport;
    using F = alsatransport::Facts;
    const QList<std::pair<F, quint32>> cases{
        {F{"pci", "0000:01:00.1", "HDA NVidia", "HDMI 0", {}}, kHDMI},
        {F{"pci", "x", "HDA Intel PCH", "HDMI 1", QByteArray(20, '\0')}, kHDMI},
        {F{"platform", "soc", "SOF", "DP 2", {}}, kDisplayPort},
        {F{"usb", "1-1:1.0", "DPA", "DPad", {}}, kUSB}, // words containing "dp"
        {F{"platform", "fef00700.hdmi", "vc4-hdmi-0", "MAI PCM", {}}, kHDMI},
        {F{"platform", "sound", "bcm2835", "bcm2835 ALSA", {}}, kBuiltIn},
        {F{"", "", "Virtual", "PCM", {}}, kVirtual}}; // no device
    for (const auto& [facts, expected] : cases)
        QVERIFY2(alsatransport::transportType(facts) == expected,
                 qPrintable(facts.cardName + ": " + facts.pcmName));
}

void TestAudioDevice::fixtureMachine() {
    FixtureMachine machine;
    machine.library->hdmiEld = QByteArray(20, '\0');
    machine.library->hdmiEld[5] = char(0x1 << 2); // a DisplayPort monitor
    AlsaAudioHardware& hw = *machine.hardware;
    using E = CoreAudioExtensions;
    // uid, name, transport, channels, holder, can be held
    using Row = std::tuple<QString, QString, quint32, quint32, pid_t, bool>;
    QList<Row> rows;
    for (const AudioObjectID id : hw.devices()) {
        const pid_t holder = E::getHogPidForDeviceID(hw, id);
        rows.append({E::getStringProperty(hw, audioselector::kUid, id),
                     E::getStringProperty(hw, audioselector::kName, id), E::getDeviceTransportType(hw, id),
                     E::getChannelCountForDeviceID(hw, id), holder, E::getSupportsHogForDeviceID(hw, id)});
        QCOMPARE(E::getIsHogFreeForDeviceID(hw, id), holder == -1); // open counts as running
        const AudioObjectID stream = E::getFirstOutputStreamIDForDeviceID(hw, id);
        QVERIFY(stream != kAudioObjectUnknown && stream != id);
        QCOMPARE(E::getFirstOutputStreamIDForDeviceID(hw, stream), kAudioObjectUnknown); // no device
    }
    // Busy analog output, HDMI without a node, loopback open elsewhere; a capture-only PCM is no output.
    using namespace audiotransport;
    QCOMPARE(rows, (QList<Row>{{kAnalog, "HDA Intel PCH: ALC892 Analog", kPCI, 2, 1234, true},
                               {kHdmi, "HDA Intel PCH: HDMI 0", kDisplayPort, 8, -1, false},
                               {kHeadset, "Jabra EVOLVE 20: USB Audio", kUSB, 2, -1, true},
                               {kLoopback, "Loopback: Loopback PCM", kVirtual, 0, 777, true}}));

    // The model lists no loopback: open elsewhere but not set up, so its channels are unknown.
    const AudioDeviceList devices = AudioDevice::outputDevices(hw);
    QCOMPARE(devices.size(), 3);
    QCOMPARE(AudioDevice::findDeviceWithUid(kLoopback, devices), nullptr);
    // Busy since before it was first probed: the format it runs at is all there is to offer.
    QCOMPARE(texts(devices[0]->allFormats()), QStringList{"48.0kHz @ 32bit : 2ch"});
    QCOMPARE(texts(devices[2]->allFormats()),
             (QStringList{"48.0kHz @ 16bit : 1ch", "48.0kHz @ 16bit : 2ch", "96.0kHz @ 24bit : 2ch"}));
    devices[0]->updateSelectedFormatWithCurrentDeviceValue();
    QCOMPARE(devices[0]->selectedFormat(), devices[0]->allFormats().first());
    QVERIFY(!hw.physicalFormat(devices[1]->outStreamID())); // closed: no format at all

    // The default: card by index or id, then the device; capture-only gives the card's first output.
    const QList<std::tuple<QString, int, QString>> defaults{
        {"0", 0, kAnalog}, {"Headset", 0, kHeadset}, {"0", 3, kHdmi}, {"0", 2, kAnalog}, {"9", 0, QString()}};
    for (const auto& [card, device, expected] : defaults) {
        machine.library->defaultAnswer = {card, device};
        QCOMPARE(E::getDefaultOutputAudioDeviceID(hw), machine.idOf(expected)); // none: unknown
    }

    // Exclusive use: not without a node, refused while another process plays or if it cannot open.
    devices[1]->setHog(true);
    QVERIFY(!devices[1]->hog());
    devices[0]->setHog(true);
    QCOMPARE(devices[0]->hogMessage(), kBusy);
    machine.library->holdSucceeds = false;
    devices[2]->setHog(true);
    QCOMPARE(devices[2]->hogMessage(), kNotTaken);
    QVERIFY(machine.library->held.isEmpty());

    // A fresh device object: the failed one ignores calls while its message shows.
    machine.library->holdSucceeds = true;
    const auto headset = AudioDevice::findDeviceWithUid(kHeadset, AudioDevice::outputDevices(hw));
    const StreamFormat wanted = *headset->bestFormatForSampleRate(96000, 24);
    // A device another process may open plays at whatever that process sets.
    QVERIFY(!hw.setPhysicalFormat(headset->outStreamID(), wanted.streamDescription()));
    headset->setHog(true);
    QCOMPARE(headset->hogMessage(), kLocked);
    QCOMPARE(machine.library->held, (QHash<QString, int>{{kHeadset, 1}}));
    QCOMPARE(E::getHogPidForDeviceID(hw, headset->deviceID()), ::getpid());
    E::setCurrentDescription(hw, wanted.streamDescription(), headset->outStreamID());
    headset->updateSelectedFormatWithCurrentDeviceValue();
    QCOMPARE(headset->selectedFormat(), wanted);
    // The packed 24-bit format, not the padded one of the same text.
    QCOMPARE(hw.physicalFormat(headset->outStreamID()), wanted.streamDescription());
    headset->setHog(false);
    QVERIFY(machine.library->held.isEmpty());
    QCOMPARE(E::getHogPidForDeviceID(hw, headset->deviceID()), pid_t(-1));
}

void TestAudioDevice::unpluggingAndListeners() {
    FixtureMachine machine;
    AlsaAudioHardware& hw = *machine.hardware;
    using E = CoreAudioExtensions;
    const AudioObjectID headset = machine.idOf(kHeadset);
    AudioDevice::outputDevices(hw);
    AudioDevice::outputDevices(hw);
    QCOMPARE(machine.library->probes.count(kHeadset), 1);
    QVERIFY(machine.library->probes.count(kAnalog) >= 2); // busy: tried again until it can be opened

    const AudioHardware::PropertyListener count = [](AudioObjectID, AudioPropertySelector, void* calls) {
        ++*static_cast<int*>(calls);
    };
    int running = 0, list = 0;
    QVERIFY(E::addListener(hw, &running, headset, audioselector::kIsRunningSomewhere, count));
    QVERIFY(E::addListener(hw, &list, kAudioObjectSystemObject, audioselector::kDevices, count));
    const QString status = machine.proc() + QStringLiteral("/card1/pcm0p/sub0/status");
    writeText(status, QStringLiteral("state: RUNNING\n"));
    QTRY_COMPARE(running, 1);
    QCOMPARE(list, 0); // polled since, but the list did not change

    // Unplugged and plugged in again: announced, and probed anew.
    QFile fixturePcm(fixtureRoot() + QStringLiteral("/proc/asound/pcm"));
    QVERIFY(fixturePcm.open(QIODevice::ReadOnly));
    const QString pcm = QString::fromUtf8(fixturePcm.readAll());
    writeText(machine.proc() + QStringLiteral("/pcm"),
              QString(pcm).remove(QRegularExpression("01-00[^\n]*\n")));
    QTRY_COMPARE(list, 1);
    QCOMPARE(AudioDevice::outputDevices(hw).size(), 2);
    QVERIFY(E::removeListener(hw, &list, kAudioObjectSystemObject, audioselector::kDevices, count));
    QVERIFY(!E::removeListener(hw, &list, kAudioObjectSystemObject, audioselector::kDevices, count));
    writeText(machine.proc() + QStringLiteral("/pcm"), pcm);
    QTRY_VERIFY(running >= 2); // the headset went and came back
    writeText(status, QStringLiteral("closed\n"));
    AudioDevice::outputDevices(hw);
    QCOMPARE(machine.library->probes.count(kHeadset), 2);
    QCOMPARE(list, 1);

    // The headset comes back as card 3 and a new card takes index 1: identifiers follow the uid.
    writeText(machine.proc() + QStringLiteral("/cards"),
              QStringLiteral(" 1 [Speaker        ]: USB-Audio - USB Speaker\n"
                             " 3 [Headset        ]: USB-Audio - Jabra EVOLVE 20\n"));
    writeText(machine.proc() + QStringLiteral("/pcm"),
              QStringLiteral("01-00: USB Audio : USB Audio : playback 1\n"
                             "03-00: USB Audio : USB Audio : playback 1\n"));
    QCOMPARE(machine.idOf(kHeadset), headset);
    QCOMPARE(E::getHogPidForDeviceID(hw, headset), pid_t(-1)); // no status file
    const AudioObjectID speaker = machine.idOf(QStringLiteral("hw:CARD=Speaker,DEV=0"));
    QVERIFY(speaker != kAudioObjectUnknown && speaker != headset);
}

void TestAudioDevice::noSoundCard() {
    // The real adapter and libasound on this machine; with no card, nothing to list and no crash.
    if (!QDir(QStringLiteral("/proc/asound")).entryList({QStringLiteral("card*")}, QDir::Dirs).isEmpty())
        QSKIP("this machine has a sound card");
    AlsaAudioHardware hw;
    QVERIFY(AudioDevice::outputDevices(hw).isEmpty());
    QCOMPARE(hw.defaultOutputDevice(), std::nullopt);

    LibAsound alsa;
    const QString nowhere = QStringLiteral("hw:CARD=NoSuchCardHere,DEV=0");
    QCOMPARE(alsa.probeFormats(nowhere), std::nullopt);
    QVERIFY(!alsa.hold(nowhere, 1));
}

QTEST_GUILESS_MAIN(TestAudioDevice)
#include "tst_audiodevice.moc"
