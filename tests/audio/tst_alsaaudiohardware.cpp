#include "audio/AlsaAudioHardware.h"
#include "audio/AlsaLibrary.h"
#include "audio/AlsaProcFiles.h"
#include "audio/AlsaSampleFormats.h"
#include "audio/AlsaTransport.h"
#include "audio/AudioDevice.h"
#include "audio/CoreAudioExtensions.h"
#include "audio/LibAsound.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <unistd.h>

namespace {

QString fixtureRoot() {
    return qEnvironmentVariable("OSTREL_TEST_SOURCE_DIR") + QStringLiteral("/tests/audio/fixtures/alsa");
}

QString fixtureText(const QString& path) {
    QFile file(fixtureRoot() + u'/' + path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void writeText(const QString& path, const QString& text) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    file.write(text.toUtf8());
}

RangedStreamDescription ranged(const char* format, quint32 channels, double rate) {
    const StreamDescription d = *alsasampleformats::description(QLatin1String(format), channels, rate);
    return {d, rate, rate};
}

// The library calls answered from a script; holding and configuring write the /proc files the
// kernel would, so the adapter reads back what a real device would show.
class ScriptedAlsaLibrary final : public AlsaLibrary {
public:
    QString procRoot;
    QHash<QString, QString> pcmDirs; // PCM name -> "card1/pcm0p"
    QHash<QString, QList<RangedStreamDescription>> formats; // absent: cannot be opened
    QHash<std::pair<int, int>, QByteArray> elds;
    DefaultPcm defaultAnswer{QStringLiteral("0"), 0};
    bool holdSucceeds = true;
    QStringList probes;
    QHash<QString, int> held; // PCM name -> substreams

    std::optional<QList<RangedStreamDescription>> probeFormats(const QString& pcm) override {
        probes.append(pcm);
        return formats.contains(pcm) ? std::optional(formats.value(pcm)) : std::nullopt;
    }
    bool hold(const QString& pcm, int substreams) override {
        if (!holdSucceeds)
            return false;
        held.insert(pcm, substreams);
        for (int sub = 0; sub < substreams; ++sub)
            writeText(file(pcm, sub, "status"), QStringLiteral("state: OPEN\nowner_pid   : %1\n").arg(::getpid()));
        return true;
    }
    void release(const QString& pcm) override {
        for (int sub = 0; sub < held.take(pcm); ++sub) {
            writeText(file(pcm, sub, "status"), QStringLiteral("closed\n"));
            writeText(file(pcm, sub, "hw_params"), QStringLiteral("closed\n"));
        }
    }
    bool configure(const QString& pcm, const QString& formatName, quint32 channels, quint32 rate) override {
        if (!held.contains(pcm))
            return false;
        writeText(file(pcm, 0, "hw_params"), QStringLiteral("access: RW_INTERLEAVED\nformat: %1\nsubformat: STD\n"
                                                            "channels: %2\nrate: %3 (%3/1)\n")
                                                 .arg(formatName)
                                                 .arg(channels)
                                                 .arg(rate));
        return true;
    }
    QByteArray eld(int card, int device) override { return elds.value({card, device}); }
    DefaultPcm defaultPcm() override { return defaultAnswer; }

private:
    QString file(const QString& pcm, int sub, const char* name) const {
        return QStringLiteral("%1/%2/sub%3/%4").arg(procRoot, pcmDirs.value(pcm)).arg(sub).arg(QLatin1String(name));
    }
};

const QString kAnalog = QStringLiteral("hw:CARD=PCH,DEV=0");
const QString kHdmi = QStringLiteral("hw:CARD=PCH,DEV=3");
const QString kHeadset = QStringLiteral("hw:CARD=Headset,DEV=0");
const QString kLoopback = QStringLiteral("hw:CARD=Loopback,DEV=0");

// A writable copy of the fixture machine and an adapter on it.
struct FixtureMachine {
    QTemporaryDir dir;
    std::shared_ptr<ScriptedAlsaLibrary> library = std::make_shared<ScriptedAlsaLibrary>();
    std::unique_ptr<AlsaAudioHardware> hardware;

    FixtureMachine() {
        std::filesystem::copy(fixtureRoot().toStdString(), dir.path().toStdString(),
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
        library->procRoot = proc();
        library->pcmDirs = {{kAnalog, "card0/pcm0p"}, {kHdmi, "card0/pcm3p"}, {kHeadset, "card1/pcm0p"},
                            {kLoopback, "card2/pcm0p"}};
        // The analog output is busy, so it cannot be probed; the loopback is opened but not set up.
        library->formats = {
            {kHdmi, {ranged("S16_LE", 2, 44100), ranged("S16_LE", 2, 48000), ranged("S24_LE", 8, 48000)}},
            {kHeadset, {ranged("S16_LE", 2, 48000), ranged("S16_LE", 1, 48000), ranged("S24_3LE", 2, 96000)}},
        };
        AlsaAudioHardware::Options options;
        options.procRoot = proc();
        options.sysRoot = dir.path() + QStringLiteral("/sys/class/sound");
        options.devRoot = dir.path() + QStringLiteral("/dev/snd");
        options.pollInterval = std::chrono::milliseconds(10);
        options.library = library;
        hardware = std::make_unique<AlsaAudioHardware>(options);
    }
    QString proc() const { return dir.path() + QStringLiteral("/proc/asound"); }

    AudioObjectID idOf(const QString& uid) const {
        for (const AudioObjectID id : hardware->devices()) {
            if (hardware->stringProperty(id, audioselector::kUid) == uid)
                return id;
        }
        return kAudioObjectUnknown;
    }
};

QStringList formatTexts(const QList<StreamFormat>& formats) {
    QStringList texts;
    for (const StreamFormat& f : formats)
        texts.append(f.description());
    return texts;
}

} // namespace

class TestAlsaAudioHardware : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cards_data();
    void cards();
    void pcms_data();
    void pcms();
    void substreamStatus_data();
    void substreamStatus();
    void hwParams_data();
    void hwParams();
    void sampleFormatsRoundTrip();
    void transport_data();
    void transport();
    void fixtureDevices_data();
    void fixtureDevices();
    void deviceModelOverFixture();
    void defaultOutput_data();
    void defaultOutput();
    void physicalFormatIsTheRunningSetup();
    void exclusiveUse_data();
    void exclusiveUse();
    void heldDeviceTakesAFormat();
    void identifiersFollowTheUid();
    void probesOnceWhilePresent();
    void listenersArePolled();
    void withoutSoundSystem();
    void thisMachine();
};

void TestAlsaAudioHardware::cards_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QStringList>("shortNames");
    QTest::newRow("fixture") << fixtureText("proc/asound/cards") << QStringList{"PCH", "Headset", "Loopback"}
                             << QStringList{"HDA Intel PCH", "Jabra EVOLVE 20", "Loopback"};
    QTest::newRow("no cards") << QStringLiteral("--- no soundcards ---\n") << QStringList{} << QStringList{};
    QTest::newRow("empty") << QString() << QStringList{} << QStringList{};
    QTest::newRow("dash in the short name")
        << QStringLiteral(" 3 [Device         ]: USB-Audio - USB Audio - Line Out\n                      x\n")
        << QStringList{"Device"} << QStringList{"USB Audio - Line Out"};
}

void TestAlsaAudioHardware::cards() {
    QFETCH(QString, text);
    QFETCH(QStringList, ids);
    QFETCH(QStringList, shortNames);
    const QList<alsaproc::Card> cards = alsaproc::parseCards(text);
    QStringList gotIds;
    QStringList gotNames;
    for (const auto& c : cards) {
        gotIds.append(c.id);
        gotNames.append(c.shortName);
    }
    QCOMPARE(gotIds, ids);
    QCOMPARE(gotNames, shortNames);
    if (QTest::currentDataTag() == QLatin1String("fixture")) {
        QCOMPARE(cards[1].index, 1);
        QCOMPARE(cards[1].driver, QStringLiteral("USB-Audio"));
        QCOMPARE(cards[1].longName, QStringLiteral("GN Netcom A/S Jabra EVOLVE 20 at usb-0000:00:14.0-2, full speed"));
    }
}

void TestAlsaAudioHardware::pcms_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("card");
    QTest::addColumn<int>("device");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("playback");
    QTest::addColumn<int>("capture");
    QTest::newRow("both directions") << QStringLiteral("00-00: ALC892 Analog : ALC892 Analog : playback 1 : capture 1")
                                     << 0 << 0 << QStringLiteral("ALC892 Analog") << 1 << 1;
    QTest::newRow("capture only") << QStringLiteral("00-02: Alt : Alt Analog : capture 1") << 0 << 2
                                  << QStringLiteral("Alt Analog") << 0 << 1;
    QTest::newRow("several substreams") << QStringLiteral("12-07: Loopback PCM : Loopback PCM : playback 8 : capture 8")
                                        << 12 << 7 << QStringLiteral("Loopback PCM") << 8 << 8;
    QTest::newRow("separator in the name") << QStringLiteral("01-00: USB Audio : Out : Rear : playback 2") << 1 << 0
                                           << QStringLiteral("Out : Rear") << 2 << 0;
}

void TestAlsaAudioHardware::pcms() {
    QFETCH(QString, line);
    QFETCH(int, card);
    QFETCH(int, device);
    QFETCH(QString, name);
    QFETCH(int, playback);
    QFETCH(int, capture);
    const QList<alsaproc::Pcm> pcms = alsaproc::parsePcms(line + u'\n');
    QCOMPARE(pcms.size(), 1);
    QCOMPARE(pcms[0].card, card);
    QCOMPARE(pcms[0].device, device);
    QCOMPARE(pcms[0].name, name);
    QCOMPARE(pcms[0].playbackSubstreams, playback);
    QCOMPARE(pcms[0].captureSubstreams, capture);
}

void TestAlsaAudioHardware::substreamStatus_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("owner");
    QTest::newRow("running") << fixtureText("proc/asound/card0/pcm0p/sub0/status") << true << "RUNNING" << 1234;
    QTest::newRow("opened, not set up") << fixtureText("proc/asound/card2/pcm0p/sub1/status") << true << "OPEN" << 777;
    QTest::newRow("closed") << QStringLiteral("closed\n") << false << "" << -1;
    QTest::newRow("unreadable") << QString() << false << "" << -1;
    QTest::newRow("kernel without owner line") << QStringLiteral("state: PREPARED\ntrigger_time: 0.0\n") << true
                                               << "PREPARED" << -1;
}

void TestAlsaAudioHardware::substreamStatus() {
    QFETCH(QString, text);
    QFETCH(bool, open);
    QFETCH(QString, state);
    QFETCH(int, owner);
    const alsaproc::SubstreamStatus status = alsaproc::parseStatus(text);
    QCOMPARE(status.open, open);
    QCOMPARE(status.state, state);
    QCOMPARE(int(status.ownerPid), owner);
}

void TestAlsaAudioHardware::hwParams_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("format"); // empty: no set-up
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::newRow("running") << fixtureText("proc/asound/card0/pcm0p/sub0/hw_params") << "S32_LE" << 2 << 48000;
    QTest::newRow("no setup") << QStringLiteral("no setup\n") << "" << 0 << 0;
    QTest::newRow("closed") << QStringLiteral("closed\n") << "" << 0 << 0;
    QTest::newRow("with OSS emulation")
        << QStringLiteral("access: RW_INTERLEAVED\nformat: S16_LE\nsubformat: STD\nchannels: 1\nrate: 44100 "
                          "(44100/1)\nperiod_size: 512\nbuffer_size: 4096\nOSS format: S16_LE\nOSS channels: 2\n")
        << "S16_LE" << 1 << 44100;
}

void TestAlsaAudioHardware::hwParams() {
    QFETCH(QString, text);
    QFETCH(QString, format);
    QFETCH(int, channels);
    QFETCH(int, rate);
    const auto params = alsaproc::parseHwParams(text);
    QCOMPARE(params.has_value(), !format.isEmpty());
    if (params) {
        QCOMPARE(params->format, format);
        QCOMPARE(int(params->channels), channels);
        QCOMPARE(int(params->rate), rate);
    }
}

void TestAlsaAudioHardware::sampleFormatsRoundTrip() {
    for (const QString& name : alsasampleformats::names()) {
        const auto d = alsasampleformats::description(name, 2, 48000);
        QVERIFY2(d, qPrintable(name));
        QCOMPARE(alsasampleformats::formatName(*d), name);
    }
    // 24 bits in 3 or in 4 bytes are different ALSA formats with the same text.
    const auto packed = alsasampleformats::description(QStringLiteral("S24_3LE"), 2, 48000);
    const auto padded = alsasampleformats::description(QStringLiteral("S24_LE"), 2, 48000);
    QCOMPARE(packed->bytesPerFrame, 6u);
    QCOMPARE(padded->bytesPerFrame, 8u);
    QCOMPARE(StreamFormat(*packed).description(), StreamFormat(*padded).description());
    QVERIFY(!alsasampleformats::description(QStringLiteral("IEC958_SUBFRAME_LE"), 2, 48000));
    QCOMPARE(alsasampleformats::formatName(StreamDescription{}), QString());
}

void TestAlsaAudioHardware::transport_data() {
    QTest::addColumn<QString>("subsystem");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("card");
    QTest::addColumn<QString>("pcm");
    QTest::addColumn<QByteArray>("eld");
    QTest::addColumn<quint32>("expected");
    using namespace audiotransport;
    QByteArray hdmiEld(20, '\0');
    QByteArray dpEld = hdmiEld;
    dpEld[5] = char(0x1 << 2 | 0x10); // one audio descriptor, DisplayPort
    QTest::newRow("pci") << "pci" << "0000:00:1f.3" << "HDA Intel PCH" << "ALC892 Analog" << QByteArray() << kPCI;
    QTest::newRow("usb") << "usb" << "1-2:1.0" << "Jabra" << "USB Audio" << QByteArray() << kUSB;
    QTest::newRow("hdmi by name") << "pci" << "0000:01:00.1" << "HDA NVidia" << "HDMI 0" << QByteArray() << kHDMI;
    QTest::newRow("hdmi monitor") << "pci" << "0000:00:1f.3" << "HDA Intel PCH" << "HDMI 1" << hdmiEld << kHDMI;
    QTest::newRow("displayport monitor") << "pci" << "0000:00:1f.3" << "HDA Intel PCH" << "HDMI 1" << dpEld
                                         << kDisplayPort;
    QTest::newRow("displayport by name") << "platform" << "soc" << "SOF" << "DP 2" << QByteArray() << kDisplayPort;
    QTest::newRow("hdmi card") << "platform" << "fef00700.hdmi" << "vc4-hdmi-0" << "MAI PCM" << QByteArray() << kHDMI;
    QTest::newRow("short ELD says nothing") << "pci" << "x" << "HDA" << "HDMI 0" << QByteArray(3, '\1') << kHDMI;
    QTest::newRow("loopback") << "platform" << "snd_aloop.0" << "Loopback" << "Loopback PCM" << QByteArray() << kVirtual;
    QTest::newRow("dummy") << "platform" << "snd_dummy.0" << "Dummy" << "Dummy PCM" << QByteArray() << kVirtual;
    QTest::newRow("system on chip") << "platform" << "sound" << "bcm2835" << "bcm2835 ALSA" << QByteArray() << kBuiltIn;
    QTest::newRow("no device") << "" << "" << "Virtual" << "PCM" << QByteArray() << kVirtual;
    QTest::newRow("virtio") << "virtio" << "virtio3" << "VirtIO" << "PCM" << QByteArray() << kVirtual;
    QTest::newRow("firewire") << "firewire" << "fw1.0" << "Echo" << "PCM" << QByteArray() << kFireWire;
    QTest::newRow("other bus") << "spi" << "spi0.0" << "Codec" << "PCM" << QByteArray() << kUnknown;
    QTest::newRow("words containing dp") << "usb" << "1-1:1.0" << "DPA" << "DPad" << QByteArray() << kUSB;
}

void TestAlsaAudioHardware::transport() {
    QFETCH(QString, subsystem);
    QFETCH(QString, device);
    QFETCH(QString, card);
    QFETCH(QString, pcm);
    QFETCH(QByteArray, eld);
    QFETCH(quint32, expected);
    QCOMPARE(alsatransport::transportType({subsystem, device, card, pcm, eld}), expected);
}

void TestAlsaAudioHardware::fixtureDevices_data() {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint32>("transport");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("holder");
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("canHog");
    using namespace audiotransport;
    QTest::newRow("busy analog") << kAnalog << "HDA Intel PCH: ALC892 Analog" << kPCI << 2 << 1234 << true << true;
    QTest::newRow("hdmi, no device node") << kHdmi << "HDA Intel PCH: HDMI 0" << kDisplayPort << 8 << -1 << false
                                          << false;
    QTest::newRow("usb headset") << kHeadset << "Jabra EVOLVE 20: USB Audio" << kUSB << 2 << -1 << false << true;
    QTest::newRow("loopback, opened elsewhere") << kLoopback << "Loopback: Loopback PCM" << kVirtual << 0 << 777 << true
                                                << true;
}

void TestAlsaAudioHardware::fixtureDevices() {
    QFETCH(QString, uid);
    QFETCH(QString, name);
    QFETCH(quint32, transport);
    QFETCH(int, channels);
    QFETCH(int, holder);
    QFETCH(bool, running);
    QFETCH(bool, canHog);
    FixtureMachine machine;
    QByteArray dpEld(20, '\0');
    dpEld[5] = char(0x1 << 2);
    machine.library->elds.insert({0, 3}, dpEld);
    const AlsaAudioHardware& hw = *machine.hardware;
    QCOMPARE(hw.devices().size(), 4); // the capture-only PCM is not an output

    const AudioObjectID id = machine.idOf(uid);
    QVERIFY(id != kAudioObjectUnknown);
    using E = CoreAudioExtensions;
    QCOMPARE(E::getStringProperty(hw, audioselector::kName, id), name);
    QCOMPARE(E::getDeviceTransportType(hw, id), transport);
    QCOMPARE(E::getChannelCountForDeviceID(hw, id), quint32(channels));
    QCOMPARE(int(E::getHogPidForDeviceID(hw, id)), holder);
    QCOMPARE(E::getIsHogFreeForDeviceID(hw, id), !running);
    QCOMPARE(E::getSupportsHogForDeviceID(hw, id), canHog);
    QCOMPARE(E::getClassForDeviceID(hw, id), audioclass::kDevice);
    QVERIFY(E::getSubDeviceIDListForDeviceID(hw, id).isEmpty());
    const AudioObjectID stream = E::getFirstOutputStreamIDForDeviceID(hw, id);
    QVERIFY(stream != kAudioObjectUnknown && stream != id);
    QCOMPARE(E::getFirstOutputStreamIDForDeviceID(hw, stream), kAudioObjectUnknown); // a stream is no device
}

void TestAlsaAudioHardware::deviceModelOverFixture() {
    FixtureMachine machine;
    const AudioDeviceList devices = AudioDevice::outputDevices(*machine.hardware);
    QStringList uids;
    for (const auto& d : devices)
        uids.append(d->uid());
    // The loopback is open elsewhere and not set up: nothing is known about its channels.
    QCOMPARE(uids, (QStringList{kAnalog, kHdmi, kHeadset}));
    // Busy since before it was first probed: the format it runs at is all there is to offer.
    QCOMPARE(formatTexts(devices[0]->allFormats()), QStringList{"48.0kHz @ 32bit : 2ch"});
    QCOMPARE(formatTexts(devices[2]->allFormats()),
             (QStringList{"48.0kHz @ 16bit : 1ch", "48.0kHz @ 16bit : 2ch", "96.0kHz @ 24bit : 2ch"}));
    devices[0]->updateSelectedFormatWithCurrentDeviceValue();
    QCOMPARE(devices[0]->selectedFormat(), devices[0]->allFormats().first());
}

void TestAlsaAudioHardware::defaultOutput_data() {
    QTest::addColumn<QString>("card");
    QTest::addColumn<int>("device");
    QTest::addColumn<QString>("expected"); // uid, or empty for none
    QTest::newRow("alsa's own default") << "0" << 0 << kAnalog;
    QTest::newRow("card by id") << "Headset" << 0 << kHeadset;
    QTest::newRow("card by index and device") << "0" << 3 << kHdmi;
    QTest::newRow("missing device: the card's first") << "0" << 7 << kAnalog;
    QTest::newRow("missing card") << "9" << 0 << "";
    QTest::newRow("capture-only device: the card's first output") << "0" << 2 << kAnalog;
}

void TestAlsaAudioHardware::defaultOutput() {
    QFETCH(QString, card);
    QFETCH(int, device);
    QFETCH(QString, expected);
    FixtureMachine machine;
    machine.library->defaultAnswer = {card, device};
    const AudioObjectID id = CoreAudioExtensions::getDefaultOutputAudioDeviceID(*machine.hardware);
    QCOMPARE(id, expected.isEmpty() ? kAudioObjectUnknown : machine.idOf(expected));
}

void TestAlsaAudioHardware::physicalFormatIsTheRunningSetup() {
    FixtureMachine machine;
    AlsaAudioHardware& hw = *machine.hardware;
    const AudioObjectID analog = CoreAudioExtensions::getFirstOutputStreamIDForDeviceID(hw, machine.idOf(kAnalog));
    const AudioObjectID hdmi = CoreAudioExtensions::getFirstOutputStreamIDForDeviceID(hw, machine.idOf(kHdmi));
    QCOMPARE(hw.physicalFormat(analog), alsasampleformats::description(QStringLiteral("S32_LE"), 2, 48000));
    QCOMPARE(hw.physicalFormat(hdmi), std::nullopt); // closed: no format at all
    QVERIFY(!hw.physicalFormat(machine.idOf(kAnalog))); // a device is no stream
    // Another process sets the format of a device it has open.
    QVERIFY(!hw.setPhysicalFormat(analog, *alsasampleformats::description(QStringLiteral("S16_LE"), 2, 44100)));
}

void TestAlsaAudioHardware::exclusiveUse_data() {
    QTest::addColumn<QString>("uid");
    QTest::addColumn<bool>("holdSucceeds");
    QTest::addColumn<QString>("message");
    QTest::newRow("free device") << kHeadset << true << QStringLiteral("🔒 Device is used in exclusive mode.");
    QTest::newRow("open fails") << kHeadset << false << QStringLiteral("⚠️\rFailed to set exclusive mode for device.");
    QTest::newRow("played by another process")
        << kAnalog << true << QStringLiteral("⚠️\rDevice is currently used and can't be set for exclusive mode.");
}

void TestAlsaAudioHardware::exclusiveUse() {
    QFETCH(QString, uid);
    QFETCH(bool, holdSucceeds);
    QFETCH(QString, message);
    FixtureMachine machine;
    machine.library->holdSucceeds = holdSucceeds;
    const auto device = AudioDevice::findDeviceWithUid(uid, AudioDevice::outputDevices(*machine.hardware));
    QVERIFY(device);
    device->setHog(true);
    QCOMPARE(device->hogMessage(), message);
    const bool held = message.startsWith(u"🔒");
    QCOMPARE(machine.library->held.contains(uid), held);
    if (!held)
        return;
    QCOMPARE(machine.library->held.value(uid), 1);
    QCOMPARE(CoreAudioExtensions::getHogPidForDeviceID(*machine.hardware, device->deviceID()), ::getpid());
    QVERIFY(!CoreAudioExtensions::getIsHogFreeForDeviceID(*machine.hardware, device->deviceID()));

    device->setHog(false);
    QVERIFY(machine.library->held.isEmpty());
    QCOMPARE(CoreAudioExtensions::getHogPidForDeviceID(*machine.hardware, device->deviceID()), pid_t(-1));
    QVERIFY(CoreAudioExtensions::getIsHogFreeForDeviceID(*machine.hardware, device->deviceID()));
}

void TestAlsaAudioHardware::heldDeviceTakesAFormat() {
    FixtureMachine machine;
    AlsaAudioHardware& hw = *machine.hardware;
    const auto device = AudioDevice::findDeviceWithUid(kHeadset, AudioDevice::outputDevices(hw));
    const StreamFormat wanted = *device->bestFormatForSampleRate(96000, 24);
    QVERIFY(!hw.setPhysicalFormat(device->outStreamID(), wanted.streamDescription())); // not held yet

    device->setHog(true);
    CoreAudioExtensions::setCurrentDescription(hw, wanted.streamDescription(), device->outStreamID());
    device->updateSelectedFormatWithCurrentDeviceValue();
    QCOMPARE(device->selectedFormat(), wanted);
    // The packed 24-bit format, not the padded one of the same text.
    QCOMPARE(hw.physicalFormat(device->outStreamID()), wanted.streamDescription());
}

void TestAlsaAudioHardware::identifiersFollowTheUid() {
    FixtureMachine machine;
    const AudioObjectID headset = machine.idOf(kHeadset);
    const AudioObjectID analog = machine.idOf(kAnalog);
    const AudioObjectID loopback = machine.idOf(kLoopback);
    // The headset is plugged in again and becomes card 3; a new card takes index 1.
    writeText(machine.proc() + QStringLiteral("/cards"),
              QStringLiteral(" 0 [PCH            ]: HDA-Intel - HDA Intel PCH\n                      x\n"
                             " 1 [Speaker        ]: USB-Audio - USB Speaker\n                      y\n"
                             " 3 [Headset        ]: USB-Audio - Jabra EVOLVE 20\n                      z\n"));
    writeText(machine.proc() + QStringLiteral("/pcm"),
              QStringLiteral("00-00: ALC892 Analog : ALC892 Analog : playback 1\n00-03: HDMI 0 : HDMI 0 : playback 1\n"
                             "01-00: USB Audio : USB Audio : playback 1\n03-00: USB Audio : USB Audio : playback 1\n"));
    QCOMPARE(machine.idOf(kHeadset), headset);
    QCOMPARE(machine.idOf(kAnalog), analog);
    const AudioObjectID speaker = machine.idOf(QStringLiteral("hw:CARD=Speaker,DEV=0"));
    QVERIFY(speaker != kAudioObjectUnknown);
    QVERIFY(speaker != headset && speaker != analog && speaker != loopback && speaker != machine.idOf(kHdmi));
    QCOMPARE(machine.hardware->devices().size(), 4);
}

void TestAlsaAudioHardware::probesOnceWhilePresent() {
    FixtureMachine machine;
    AudioDevice::outputDevices(*machine.hardware);
    AudioDevice::outputDevices(*machine.hardware);
    QCOMPARE(machine.library->probes.count(kHeadset), 1);
    QVERIFY(machine.library->probes.count(kAnalog) >= 2); // busy: tried again until it can be opened

    // Unplugged and plugged in again: probed anew.
    const QString pcm = fixtureText("proc/asound/pcm");
    writeText(machine.proc() + QStringLiteral("/pcm"), QString(pcm).remove(QStringLiteral("01-00: USB Audio : USB Audio : playback 1 : capture 1\n")));
    QCOMPARE(AudioDevice::outputDevices(*machine.hardware).size(), 2);
    writeText(machine.proc() + QStringLiteral("/pcm"), pcm);
    AudioDevice::outputDevices(*machine.hardware);
    QCOMPARE(machine.library->probes.count(kHeadset), 2);
}

void TestAlsaAudioHardware::listenersArePolled() {
    struct Calls {
        int count = 0;
        static void record(AudioObjectID, AudioPropertySelector, void* clientData) {
            ++static_cast<Calls*>(clientData)->count;
        }
    };
    FixtureMachine machine;
    AlsaAudioHardware& hw = *machine.hardware;
    const AudioObjectID headset = machine.idOf(kHeadset);
    Calls running;
    Calls list;
    QVERIFY(CoreAudioExtensions::addListener(hw, &running, headset, audioselector::kIsRunningSomewhere, Calls::record));
    QVERIFY(CoreAudioExtensions::addListener(hw, &list, kAudioObjectSystemObject, audioselector::kDevices, Calls::record));
    QTest::qWait(50);
    QCOMPARE(running.count, 0); // nothing changed

    writeText(machine.proc() + QStringLiteral("/card1/pcm0p/sub0/status"), QStringLiteral("state: RUNNING\nowner_pid   : 55\n"));
    QTRY_COMPARE(running.count, 1);
    QCOMPARE(list.count, 0);
    writeText(machine.proc() + QStringLiteral("/pcm"), QStringLiteral("00-00: ALC892 Analog : ALC892 Analog : playback 1\n"));
    QTRY_COMPARE(list.count, 1);
    QTRY_COMPARE(running.count, 2); // the headset is gone: its state reads as unknown

    QVERIFY(CoreAudioExtensions::removeListener(hw, &list, kAudioObjectSystemObject, audioselector::kDevices, Calls::record));
    writeText(machine.proc() + QStringLiteral("/pcm"), fixtureText("proc/asound/pcm"));
    QTRY_COMPARE(running.count, 3);
    QCOMPARE(list.count, 1);
}

void TestAlsaAudioHardware::withoutSoundSystem() {
    QTemporaryDir empty;
    AlsaAudioHardware::Options options;
    options.procRoot = empty.path() + QStringLiteral("/proc/asound");
    options.sysRoot = empty.path() + QStringLiteral("/sys/class/sound");
    options.devRoot = empty.path() + QStringLiteral("/dev/snd");
    options.library = std::make_shared<ScriptedAlsaLibrary>();
    AlsaAudioHardware hw(options);
    QVERIFY(hw.devices().isEmpty());
    QCOMPARE(hw.defaultOutputDevice(), std::nullopt);
    QCOMPARE(hw.transportType(0x100), std::nullopt);
    QVERIFY(!hw.setHogPid(0x100, ::getpid()));
    QVERIFY(AudioDevice::outputDevices(hw).isEmpty());
    auto ignore = [](AudioObjectID, AudioPropertySelector, void*) {};
    QVERIFY(hw.addPropertyListener(kAudioObjectSystemObject, audioselector::kDevices, ignore, nullptr));
    QVERIFY(hw.removePropertyListener(kAudioObjectSystemObject, audioselector::kDevices, ignore, nullptr));
}

void TestAlsaAudioHardware::thisMachine() {
    // The real adapter on the real kernel and libasound: whatever is there, every question gets
    // an answer and nothing crashes; a machine without sound cards has no devices.
    AlsaAudioHardware hw;
    const QList<AudioObjectID> ids = hw.devices();
    QFile cards(QStringLiteral("/proc/asound/cards"));
    const bool hasCards = cards.open(QIODevice::ReadOnly) && !alsaproc::parseCards(QString::fromUtf8(cards.readAll())).isEmpty();
    if (!hasCards) {
        QVERIFY(ids.isEmpty());
        QCOMPARE(hw.defaultOutputDevice(), std::nullopt);
    }
    for (const AudioObjectID id : ids) {
        const AudioObjectID stream = CoreAudioExtensions::getFirstOutputStreamIDForDeviceID(hw, id);
        QVERIFY(stream != kAudioObjectUnknown);
        QVERIFY(!CoreAudioExtensions::getStringProperty(hw, audioselector::kUid, id).isEmpty());
        CoreAudioExtensions::getDeviceTransportType(hw, id);
        CoreAudioExtensions::getHogPidForDeviceID(hw, id);
        CoreAudioExtensions::getCurrentDescriptionForStreamID(hw, stream);
    }
    const AudioDeviceList devices = AudioDevice::outputDevices(hw);
    QVERIFY(devices.size() <= ids.size());

    LibAsound alsa;
    const QString nowhere = QStringLiteral("hw:CARD=NoSuchCardHere,DEV=0");
    QCOMPARE(alsa.probeFormats(nowhere), std::nullopt);
    QVERIFY(!alsa.hold(nowhere, 1));
    QVERIFY(!alsa.configure(nowhere, QStringLiteral("S16_LE"), 2, 48000));
    QVERIFY(alsa.eld(31, 0).isEmpty());
    alsa.release(nowhere);
    alsa.defaultPcm();
}

QTEST_GUILESS_MAIN(TestAlsaAudioHardware)
#include "tst_alsaaudiohardware.moc"
