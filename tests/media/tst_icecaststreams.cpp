#include "media/GstMediaPlayer.h"
#include "support/IcecastServer.h"
#include "support/TestTones.h"

#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;
using Status = MediaPlayer::ItemStatus;

namespace {
constexpr int kWait = 30000;
const QString kMp3Mount = QStringLiteral("/radio.mp3");
const QString kOggMount = QStringLiteral("/radio.ogg");

GstMediaPlayer::Options options() {
    GstMediaPlayer::Options o;
    o.audioSink = QStringLiteral("fakesink sync=true");
    return o;
}

QStringList titlesOf(const QList<MediaPlayer::MetadataGroup>& groups) {
    QStringList titles;
    for (const auto& group : groups)
        for (const auto& item : group)
            if (item.identifier == QLatin1String("icy/StreamTitle"))
                titles.append(item.stringValue);
    return titles;
}
} // namespace

// Real stations: Icecast with ezstream sources, as many radio stations run them.
class TestIcecastStreams : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void formatAndTitleOfEachMount_data();
    void formatAndTitleOfEachMount();
    void titleFollowsThePlayout();
    void stopLetsTheConnectionGo();

private:
    QTemporaryDir dir_;
    IcecastServer icecast_;
};

void TestIcecastStreams::initTestCase() {
    QVERIFY(dir_.isValid());
    const QString mp3 = dir_.filePath(QStringLiteral("tone.mp3"));
    const QString ogg = dir_.filePath(QStringLiteral("tone.ogg"));
    QString error = TestTones::mp3(mp3, 44100, 2);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    error = TestTones::vorbis(ogg, QStringLiteral("Ogg Test Tone"), 22050, 1);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    error = icecast_.start({{kMp3Mount, mp3, QStringLiteral("MP3")}, {kOggMount, ogg, QStringLiteral("Ogg")}});
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestIcecastStreams::formatAndTitleOfEachMount_data() {
    QTest::addColumn<QString>("mount");
    QTest::addColumn<double>("sampleRate");
    QTest::addColumn<unsigned>("channels");
    QTest::addColumn<QString>("title");
    QTest::newRow("MP3 44.1 kHz stereo") << kMp3Mount << 44100.0 << 2u << QString();
    QTest::newRow("Ogg Vorbis 22.05 kHz mono") << kOggMount << 22050.0 << 1u << QStringLiteral("Ogg Test Tone");
}

void TestIcecastStreams::formatAndTitleOfEachMount() {
    QFETCH(QString, mount);
    QFETCH(double, sampleRate);
    QFETCH(unsigned, channels);
    QFETCH(QString, title);
    GstMediaPlayer player(options());
    QStringList titles;
    connect(&player, &MediaPlayer::timedMetadataReceived, this, [&](const auto& groups) { titles += titlesOf(groups); });
    player.replaceCurrentItem(icecast_.url(mount));
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(player.itemStatus(), Status::ReadyToPlay, kWait);
    const auto format = player.firstTrackFormat();
    QVERIFY(format && format->isAudio);
    QCOMPARE(format->sampleRate, sampleRate);
    QCOMPARE(format->channels, channels);
    if (!title.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(titles, QStringList{title}, kWait);
    QCOMPARE(player.rate(), 1.0f);
}

void TestIcecastStreams::titleFollowsThePlayout() {
    GstMediaPlayer player(options());
    QStringList titles;
    connect(&player, &MediaPlayer::timedMetadataReceived, this, [&](const auto& groups) { titles += titlesOf(groups); });
    player.replaceCurrentItem(icecast_.url(kMp3Mount));
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(player.itemStatus(), Status::ReadyToPlay, kWait);

    // UTF-8 as the playout sent it, then the same text sent on in Latin-1.
    const QString first = QStringLiteral("Café Noir – Ünder the Moon");
    QVERIFY(icecast_.setTitle(kMp3Mount, first));
    QTRY_VERIFY_WITH_TIMEOUT(!titles.isEmpty() && titles.last() == first, kWait);
    const QString second = QStringLiteral("Müller & Söhne - Straße");
    QVERIFY(icecast_.setTitle(kMp3Mount, second, true));
    QTRY_VERIFY_WITH_TIMEOUT(titles.last() == second, kWait);
    QCOMPARE(titles.count(first), 1);
    QCOMPARE(titles.count(second), 1);
    QVERIFY(player.itemError().isEmpty());
}

void TestIcecastStreams::stopLetsTheConnectionGo() {
    GstMediaPlayer player(options());
    player.replaceCurrentItem(icecast_.url(kMp3Mount));
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(player.itemStatus(), Status::ReadyToPlay, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(icecast_.listeners(kMp3Mount), 1, kWait);
    // As the controller stops: pause, then drop the item.
    player.pause();
    player.replaceCurrentItem(QUrl());
    QCOMPARE(player.rate(), 0.0f);
    QVERIFY(!player.hasCurrentItem());
    QTRY_COMPARE_WITH_TIMEOUT(icecast_.listeners(kMp3Mount), 0, kWait);
}

QTEST_GUILESS_MAIN(TestIcecastStreams)
#include "tst_icecaststreams.moc"
