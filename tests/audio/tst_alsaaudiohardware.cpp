#include "audio/AlsaAudioHardware.h"
#include "audio/AlsaLibrary.h"
#include "audio/AlsaProcFiles.h"
#include "audio/AlsaSampleFormats.h"
#include "audio/AlsaTransport.h"
#include "audio/AudioDevice.h"
#include "audio/CoreAudioExtensions.h"
#include "audio/LibAsound.h"

#include <QFile>
#include <QRegularExpression>
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
    return {*alsasampleformats::description(QLatin1String(format), channels, rate), rate, rate};
}

QStringList texts(const QList<StreamFormat>& formats) {
    QStringList list;
    for (const StreamFormat& f : formats)
        list.append(f.description());
    return list;
}

const QString kAnalog = QStringLiteral("hw:CARD=PCH,DEV=0");
const QString kHdmi = QStringLiteral("hw:CARD=PCH,DEV=3");
const QString kHeadset = QStringLiteral("hw:CARD=Headset,DEV=0");
const QString kLoopback = QStringLiteral("hw:CARD=Loopback,DEV=0");

// Library calls answered from a script. Holding and configuring write the /proc files the
// kernel would, so the adapter reads back what a real device would show.
class ScriptedAlsaLibrary final : public AlsaLibrary {
public:
    QString procRoot;
    QHash<QString, QList<RangedStreamDescription>> formats; // absent: cannot be opened
    QHash<std::pair<int, int>, QByteArray> elds;
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
        return holdSucceeds && write(pcm, "status", QStringLiteral("state: OPEN\nowner_pid   : %1\n").arg(::getpid()));
    }
    void release(const QString& pcm) override {
        held.remove(pcm);
        write(pcm, "status", QStringLiteral("closed\n"));
        write(pcm, "hw_params", QStringLiteral("closed\n"));
    }
    bool configure(const QString& pcm, const QString& format, quint32 channels, quint32 rate) override {
        return held.contains(pcm) &&
               write(pcm, "hw_params",
                     QStringLiteral("format: %1\nchannels: %2\nrate: %3 (%3/1)\n").arg(format).arg(channels).arg(rate));
    }
    QByteArray eld(int card, int device) override { return elds.value({card, device}); }
    DefaultPcm defaultPcm() override { return defaultAnswer; }

private:
    bool write(const QString& pcm, const char* file, const QString& text) {
        static const QHash<QString, QString> dirs{{kAnalog, "card0/pcm0p"}, {kHdmi, "card0/pcm3p"},
                                                  {kHeadset, "card1/pcm0p"}, {kLoopback, "card2/pcm0p"}};
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
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
        library->procRoot = proc();
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

} // namespace

class TestAlsaAudioHardware : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void transport_data();
    void transport();
    void fixtureDevices_data();
    void fixtureDevices();
    void deviceModelOverFixture();
    void defaultOutput_data();
    void defaultOutput();
    void exclusiveUse_data();
    void exclusiveUse();
    void heldDeviceTakesAFormat();
    void unpluggingAndRenumbering();
    void listenersArePolled();
    void noSoundCard();
};

void TestAlsaAudioHardware::transport_data() {
    QTest::addColumn<QString>("subsystem");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("card");
    QTest::addColumn<QString>("pcm");
    QTest::addColumn<QByteArray>("eld");
    QTest::addColumn<quint32>("expected");
    using namespace audiotransport;
    const QByteArray hdmiEld(20, '\0');
    QByteArray dpEld = hdmiEld;
    dpEld[5] = char(0x1 << 2 | 0x10); // one audio descriptor, DisplayPort
    QTest::newRow("pci") << "pci" << "0000:00:1f.3" << "HDA Intel PCH" << "ALC892 Analog" << QByteArray() << kPCI;
    QTest::newRow("usb") << "usb" << "1-2:1.0" << "Jabra" << "USB Audio" << QByteArray() << kUSB;
    QTest::newRow("hdmi by name") << "pci" << "0000:01:00.1" << "HDA NVidia" << "HDMI 0" << QByteArray() << kHDMI;
    QTest::newRow("hdmi monitor") << "pci" << "x" << "HDA Intel PCH" << "HDMI 1" << hdmiEld << kHDMI;
    QTest::newRow("displayport monitor") << "pci" << "x" << "HDA Intel PCH" << "HDMI 1" << dpEld << kDisplayPort;
    QTest::newRow("displayport by name") << "platform" << "soc" << "SOF" << "DP 2" << QByteArray() << kDisplayPort;
    QTest::newRow("words containing dp") << "usb" << "1-1:1.0" << "DPA" << "DPad" << QByteArray() << kUSB;
    QTest::newRow("hdmi card") << "platform" << "fef00700.hdmi" << "vc4-hdmi-0" << "MAI PCM" << QByteArray() << kHDMI;
    QTest::newRow("loopback") << "platform" << "snd_aloop.0" << "Loopback" << "Loopback" << QByteArray() << kVirtual;
    QTest::newRow("system on chip") << "platform" << "sound" << "bcm2835" << "bcm2835 ALSA" << QByteArray() << kBuiltIn;
    QTest::newRow("no device") << "" << "" << "Virtual" << "PCM" << QByteArray() << kVirtual;
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
    QTest::addColumn<bool>("canHog");
    using namespace audiotransport;
    QTest::newRow("busy analog") << kAnalog << "HDA Intel PCH: ALC892 Analog" << kPCI << 2 << 1234 << true;
    QTest::newRow("hdmi, no device node") << kHdmi << "HDA Intel PCH: HDMI 0" << kDisplayPort << 8 << -1 << false;
    QTest::newRow("usb headset") << kHeadset << "Jabra EVOLVE 20: USB Audio" << kUSB << 2 << -1 << true;
    QTest::newRow("loopback, opened elsewhere") << kLoopback << "Loopback: Loopback PCM" << kVirtual << 0 << 777 << true;
}

void TestAlsaAudioHardware::fixtureDevices() {
    QFETCH(QString, uid);
    QFETCH(QString, name);
    QFETCH(quint32, transport);
    QFETCH(int, channels);
    QFETCH(int, holder);
    QFETCH(bool, canHog);
    FixtureMachine machine;
    QByteArray dpEld(20, '\0');
    dpEld[5] = char(0x1 << 2);
    machine.library->elds.insert({0, 3}, dpEld);
    const AlsaAudioHardware& hw = *machine.hardware;
    QCOMPARE(hw.devices().size(), 4); // the capture-only PCM is no output

    using E = CoreAudioExtensions;
    const AudioObjectID id = machine.idOf(uid);
    QCOMPARE(E::getStringProperty(hw, audioselector::kName, id), name);
    QCOMPARE(E::getDeviceTransportType(hw, id), transport);
    QCOMPARE(E::getChannelCountForDeviceID(hw, id), quint32(channels));
    QCOMPARE(int(E::getHogPidForDeviceID(hw, id)), holder);
    QCOMPARE(E::getIsHogFreeForDeviceID(hw, id), holder == -1); // open counts as running
    QCOMPARE(E::getSupportsHogForDeviceID(hw, id), canHog);
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
    // Nothing is known about the channels of the loopback: open elsewhere but not set up.
    QCOMPARE(uids, (QStringList{kAnalog, kHdmi, kHeadset}));
    // Busy since before it was first probed: the format it runs at is all there is to offer.
    QCOMPARE(texts(devices[0]->allFormats()), QStringList{"48.0kHz @ 32bit : 2ch"});
    QCOMPARE(texts(devices[2]->allFormats()),
             (QStringList{"48.0kHz @ 16bit : 1ch", "48.0kHz @ 16bit : 2ch", "96.0kHz @ 24bit : 2ch"}));
    devices[0]->updateSelectedFormatWithCurrentDeviceValue();
    QCOMPARE(devices[0]->selectedFormat(), devices[0]->allFormats().first());
    QVERIFY(!machine.hardware->physicalFormat(devices[1]->outStreamID())); // closed: no format at all
}

void TestAlsaAudioHardware::defaultOutput_data() {
    QTest::addColumn<QString>("card");
    QTest::addColumn<int>("device");
    QTest::addColumn<QString>("expected"); // uid, or empty for none
    QTest::newRow("card by index") << "0" << 0 << kAnalog;
    QTest::newRow("card by id") << "Headset" << 0 << kHeadset;
    QTest::newRow("second device") << "0" << 3 << kHdmi;
    QTest::newRow("capture-only device: the card's first output") << "0" << 2 << kAnalog;
    QTest::newRow("missing card") << "9" << 0 << "";
}

void TestAlsaAudioHardware::defaultOutput() {
    QFETCH(QString, card);
    QFETCH(int, device);
    QFETCH(QString, expected);
    FixtureMachine machine;
    machine.library->defaultAnswer = {card, device};
    QCOMPARE(CoreAudioExtensions::getDefaultOutputAudioDeviceID(*machine.hardware),
             expected.isEmpty() ? kAudioObjectUnknown : machine.idOf(expected));
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
    device->setHog(true);
    QCOMPARE(device->hogMessage(), message);
    const bool held = !message.startsWith(u"⚠️");
    QCOMPARE(machine.library->held.value(uid), held ? 1 : 0);
    if (!held)
        return;
    QCOMPARE(CoreAudioExtensions::getHogPidForDeviceID(*machine.hardware, device->deviceID()), ::getpid());
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
    // A device another process may open plays at whatever that process sets.
    QVERIFY(!hw.setPhysicalFormat(device->outStreamID(), wanted.streamDescription()));

    device->setHog(true);
    CoreAudioExtensions::setCurrentDescription(hw, wanted.streamDescription(), device->outStreamID());
    device->updateSelectedFormatWithCurrentDeviceValue();
    QCOMPARE(device->selectedFormat(), wanted);
    // The packed 24-bit format, not the padded one of the same text.
    QCOMPARE(hw.physicalFormat(device->outStreamID()), wanted.streamDescription());
}

void TestAlsaAudioHardware::unpluggingAndRenumbering() {
    FixtureMachine machine;
    const AudioObjectID headset = machine.idOf(kHeadset);
    const AudioObjectID loopback = machine.idOf(kLoopback);
    AudioDevice::outputDevices(*machine.hardware);
    AudioDevice::outputDevices(*machine.hardware);
    QCOMPARE(machine.library->probes.count(kHeadset), 1);
    QVERIFY(machine.library->probes.count(kAnalog) >= 2); // busy: tried again until it can be opened

    // Unplugged and plugged in again: probed anew.
    const QString pcm = fixtureText("proc/asound/pcm");
    writeText(machine.proc() + QStringLiteral("/pcm"), QString(pcm).remove(QRegularExpression("01-00[^\n]*\n")));
    QCOMPARE(AudioDevice::outputDevices(*machine.hardware).size(), 2);
    writeText(machine.proc() + QStringLiteral("/pcm"), pcm);
    AudioDevice::outputDevices(*machine.hardware);
    QCOMPARE(machine.library->probes.count(kHeadset), 2);

    // The headset comes back as card 3 and a new card takes index 1: identifiers follow the uid.
    writeText(machine.proc() + QStringLiteral("/cards"),
              QStringLiteral(" 0 [PCH            ]: HDA-Intel - HDA Intel PCH\n"
                             " 1 [Speaker        ]: USB-Audio - USB Speaker\n"
                             " 3 [Headset        ]: USB-Audio - Jabra EVOLVE 20\n"));
    writeText(machine.proc() + QStringLiteral("/pcm"),
              QStringLiteral("00-00: A : A : playback 1\n00-03: HDMI 0 : HDMI 0 : playback 1\n"
                             "01-00: USB Audio : USB Audio : playback 1\n03-00: USB Audio : USB Audio : playback 1\n"));
    QCOMPARE(machine.idOf(kHeadset), headset);
    QCOMPARE(CoreAudioExtensions::getHogPidForDeviceID(*machine.hardware, headset), pid_t(-1)); // no status file
    const AudioObjectID speaker = machine.idOf(QStringLiteral("hw:CARD=Speaker,DEV=0"));
    QVERIFY(speaker != kAudioObjectUnknown && speaker != headset && speaker != loopback);
}

void TestAlsaAudioHardware::listenersArePolled() {
    struct Calls {
        int count = 0;
        static void record(AudioObjectID, AudioPropertySelector, void* calls) { ++static_cast<Calls*>(calls)->count; }
    };
    FixtureMachine machine;
    AlsaAudioHardware& hw = *machine.hardware;
    Calls running;
    Calls list;
    using E = CoreAudioExtensions;
    QVERIFY(E::addListener(hw, &running, machine.idOf(kHeadset), audioselector::kIsRunningSomewhere, Calls::record));
    QVERIFY(E::addListener(hw, &list, kAudioObjectSystemObject, audioselector::kDevices, Calls::record));
    QTest::qWait(50);
    QCOMPARE(running.count, 0); // nothing changed

    writeText(machine.proc() + QStringLiteral("/card1/pcm0p/sub0/status"), QStringLiteral("state: RUNNING\n"));
    QTRY_COMPARE(running.count, 1);
    QCOMPARE(list.count, 0);
    writeText(machine.proc() + QStringLiteral("/pcm"), QStringLiteral("00-00: A : A : playback 1\n"));
    QTRY_COMPARE(list.count, 1);

    QVERIFY(E::removeListener(hw, &list, kAudioObjectSystemObject, audioselector::kDevices, Calls::record));
    QVERIFY(!E::removeListener(hw, &list, kAudioObjectSystemObject, audioselector::kDevices, Calls::record));
    writeText(machine.proc() + QStringLiteral("/pcm"), fixtureText("proc/asound/pcm"));
    QTRY_VERIFY(running.count >= 2); // the headset went and came back
    QCOMPARE(list.count, 1);
}

void TestAlsaAudioHardware::noSoundCard() {
    // The real adapter and libasound on this machine; with no card, nothing to list and no crash.
    QFile cards(QStringLiteral("/proc/asound/cards"));
    if (cards.open(QIODevice::ReadOnly) && !alsaproc::parseCards(QString::fromUtf8(cards.readAll())).isEmpty())
        QSKIP("this machine has a sound card");
    AlsaAudioHardware hw;
    QVERIFY(hw.devices().isEmpty());
    QVERIFY(AudioDevice::outputDevices(hw).isEmpty());
    QCOMPARE(hw.defaultOutputDevice(), std::nullopt);
    QCOMPARE(hw.transportType(0x100), std::nullopt);
    QVERIFY(!hw.setHogPid(0x100, ::getpid()));
    auto ignore = [](AudioObjectID, AudioPropertySelector, void*) {};
    QVERIFY(hw.addPropertyListener(kAudioObjectSystemObject, audioselector::kDevices, ignore, nullptr));
    QVERIFY(hw.removePropertyListener(kAudioObjectSystemObject, audioselector::kDevices, ignore, nullptr));

    LibAsound alsa;
    const QString nowhere = QStringLiteral("hw:CARD=NoSuchCardHere,DEV=0");
    QCOMPARE(alsa.probeFormats(nowhere), std::nullopt);
    QVERIFY(!alsa.hold(nowhere, 1));
    QVERIFY(!alsa.configure(nowhere, QStringLiteral("S16_LE"), 2, 48000));
    QVERIFY(alsa.eld(31, 0).isEmpty());
}

QTEST_GUILESS_MAIN(TestAlsaAudioHardware)
#include "tst_alsaaudiohardware.moc"
