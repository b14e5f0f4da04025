#include "media/GstMediaPlayer.h"
#include "support/FaultStreamServer.h"
#include "support/IcecastServer.h"
#include "support/TestTones.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;
using Status = MediaPlayer::ItemStatus;

namespace {
constexpr int kWait = 30000;
const QString kMp3Mount = QStringLiteral("/radio.mp3");
const QString kOggMount = QStringLiteral("/radio.ogg");

// What a player told its listeners.
struct Recorder {
    QStringList titles;
    QList<Status> statuses;
    QList<int> attempts;
    QList<float> rates;
    int reconnections = 0;

    explicit Recorder(MediaPlayer& player) {
        QObject::connect(&player, &MediaPlayer::timedMetadataReceived, &player,
                         [this](const QList<MediaPlayer::MetadataGroup>& groups) {
                             for (const auto& group : groups)
                                 for (const auto& item : group)
                                     if (item.identifier == QLatin1String("icy/StreamTitle"))
                                         titles.append(item.stringValue);
                         });
        QObject::connect(&player, &MediaPlayer::itemStatusChanged, &player, [this](Status s) { statuses.append(s); });
        QObject::connect(&player, &MediaPlayer::reconnecting, &player, [this](int a) { attempts.append(a); });
        QObject::connect(&player, &MediaPlayer::reconnected, &player, [this] { ++reconnections; });
        QObject::connect(&player, &MediaPlayer::rateChanged, &player, [this](float r) { rates.append(r); });
    }
};

GstState pipelineState(const GstMediaPlayer& player) {
    GstState state = GST_STATE_VOID_PENDING;
    gst_element_get_state(player.pipeline(), &state, nullptr, 0);
    return state;
}

qint64 playedMs(const GstMediaPlayer& player) {
    gint64 position = 0;
    gst_element_query_position(player.pipeline(), GST_FORMAT_TIME, &position);
    return position / GST_MSECOND;
}

GstMediaPlayer::Options quickOptions() {
    GstMediaPlayer::Options o;
    o.readyTimeout = 15s; // prerolling takes a second at most, but not on a busy machine
    o.stallTimeout = 1500ms;
    o.firstRetryDelay = 100ms;
    o.longestRetryDelay = 400ms;
    o.audioSink = QStringLiteral("fakesink sync=true");
    return o;
}

QUrl closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return QUrl(QStringLiteral("http://127.0.0.1:%1/stream.mp3").arg(probe.serverPort()));
}
} // namespace

class TestGstMediaPlayer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void loadsPlaysPausesAndDrops();
    void titlesAreReportedOncePerChange_data();
    void titlesAreReportedOncePerChange();
    void failedItemsAreNotRetried_data();
    void failedItemsAreNotRetried();
    void droppedStreamReconnectsAndPlaysOn_data();
    void droppedStreamReconnectsAndPlaysOn();
    void reconnectionGivesUpAfterSixTries();
    void pauseAndReplaceWinOverAPendingReconnect_data();
    void pauseAndReplaceWinOverAPendingReconnect();
    void volumeFollowsTheCubicScale_data();
    void volumeFollowsTheCubicScale();
    void outputDeviceChoosesTheAlsaSink();
    void icecastStation_data();
    void icecastStation();

private:
    // A stream address that no other case used: the server counts connections per address.
    QUrl url(const QString& query) { return server_->url(query + QStringLiteral("&case=%1").arg(++cases_)); }

    QTemporaryDir dir_;
    std::unique_ptr<FaultStreamServer> server_;
    IcecastServer icecast_; // real stations: Icecast with ezstream sources
    int cases_ = 0;
};

void TestGstMediaPlayer::initTestCase() {
    QVERIFY(dir_.isValid());
    const QString mp3 = dir_.filePath(QStringLiteral("tone.mp3"));
    QString error = TestTones::mp3(mp3, 44100, 2, 20);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    server_ = std::make_unique<FaultStreamServer>(mp3);
    const QString ogg = dir_.filePath(QStringLiteral("tone.ogg"));
    error = TestTones::vorbis(ogg, QStringLiteral("Ogg Test Tone"), 22050, 1);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    error = icecast_.start({{kMp3Mount, mp3, QStringLiteral("MP3")}, {kOggMount, ogg, QStringLiteral("Ogg")}});
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestGstMediaPlayer::loadsPlaysPausesAndDrops() {
    GstMediaPlayer player(quickOptions());
    // Qt's GLib event loop carries a bus watch; without it (QT_NO_GLIB) messages are queued.
    QCOMPARE(player.usesGLibBusWatch(), !qEnvironmentVariableIsSet("QT_NO_GLIB"));
    Recorder rec(player);
    QCOMPARE(player.rate(), 0.0f);
    QVERIFY(!player.firstTrackFormat());

    // A new item loads without playing, as a player item does, and tells its format.
    const QUrl stream = url(QStringLiteral("titles=Main"));
    player.replaceCurrentItem(stream);
    QVERIFY(player.hasCurrentItem());
    QCOMPARE(player.currentItemUrl(), stream);
    QTRY_COMPARE_WITH_TIMEOUT(player.itemStatus(), Status::ReadyToPlay, kWait);
    QCOMPARE(player.rate(), 0.0f);
    QCOMPARE(pipelineState(player), GST_STATE_PAUSED);
    const auto format = player.firstTrackFormat();
    QVERIFY(format && format->isAudio);
    QCOMPARE(format->sampleRate, 44100.0);
    QCOMPARE(format->channels, 2u);

    player.play();
    QCOMPARE(player.rate(), 1.0f);
    QTRY_COMPARE_WITH_TIMEOUT(pipelineState(player), GST_STATE_PLAYING, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(rec.titles, QStringList{QStringLiteral("Main")}, kWait);

    // Pausing a live stream lets the connection go; playing again fetches it afresh.
    player.pause();
    QCOMPARE(player.rate(), 0.0f);
    QCOMPARE(pipelineState(player), GST_STATE_NULL);
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(pipelineState(player), GST_STATE_PLAYING, kWait);
    QCOMPARE(server_->connections(stream), 2);
    QCOMPARE(player.itemStatus(), Status::ReadyToPlay);

    // No item: nothing plays, whatever was asked.
    player.replaceCurrentItem(QUrl());
    QVERIFY(!player.hasCurrentItem());
    QCOMPARE(player.rate(), 0.0f);
    QCOMPARE(pipelineState(player), GST_STATE_NULL);
    QCOMPARE(rec.rates, (QList<float>{1, 0, 1, 0}));
    QCOMPARE(rec.statuses, QList<Status>{Status::ReadyToPlay});
    QVERIFY(rec.attempts.isEmpty());
}

void TestGstMediaPlayer::titlesAreReportedOncePerChange_data() {
    // ICY titles, one per metadata block as the server sends them, the last one repeated.
    QTest::addColumn<QString>("titles");
    QTest::addColumn<QStringList>("expected");
    // (UTF-8 and Latin-1 come from the Icecast station below.)
    QTest::newRow("Windows-1252 quotes and euro") << "%93Tor%94%20%80%20%96%20x"
                                                   << QStringList{QStringLiteral("“Tor” € – x")};
    QTest::newRow("repeats then a change") << "Artist%20-%20Song~Artist%20-%20Song~Artist%20-%20Song~Next"
                                           << QStringList{QStringLiteral("Artist - Song"), QStringLiteral("Next")};
    // GStreamer posts no tag for an empty title: the last one stands.
    QTest::newRow("empty between two") << "First~~~Second" << QStringList{QStringLiteral("First"), QStringLiteral("Second")};
    QTest::newRow("empty before one") << "~~Only" << QStringList{QStringLiteral("Only")};
    QTest::newRow("back to an earlier one") << "A~B~A" << QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A")};
}

void TestGstMediaPlayer::titlesAreReportedOncePerChange() {
    QFETCH(QString, titles);
    QFETCH(QStringList, expected);
    GstMediaPlayer player(quickOptions());
    Recorder rec(player);
    player.replaceCurrentItem(url(QStringLiteral("metaint=2000&titles=") + titles));
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(rec.titles.size(), expected.size(), kWait);
    // The last title keeps coming in every block: play a second more (several blocks) first.
    const qint64 from = playedMs(player);
    QTRY_VERIFY_WITH_TIMEOUT(playedMs(player) > from + 1000, kWait);
    QCOMPARE(rec.titles, expected);
}

void TestGstMediaPlayer::failedItemsAreNotRetried_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("error");
    QTest::newRow("HTTP 404") << "status=404" << "Stream not available";
    QTest::newRow("HTTP 403") << "status=403" << "Access to the stream refused";
    QTest::newRow("HTML page") << "type=text/html" << "Not an audio stream";
    QTest::newRow("format without a decoder") << "prefix=PSID%00%02%00%7C" << "Missing plug-in for this format";
    QTest::newRow("connection refused") << "" << "Stream not available";
    QTest::newRow("never answers") << "silent=1" << "Stream did not answer";
    QTest::newRow("headers but no audio") << "stall_after=0" << "Stream did not answer";
    QTest::newRow("local file") << "file:///etc/passwd" << "Not a web address";
    QTest::newRow("descriptor") << "fd://0" << "Not a web address";
    QTest::newRow("network share") << "smb://nas/music/a.mp3" << "Not a web address";
}

void TestGstMediaPlayer::failedItemsAreNotRetried() {
    QFETCH(QString, query);
    QFETCH(QString, error);
    GstMediaPlayer::Options options = quickOptions();
    options.readyTimeout = 3s;
    GstMediaPlayer player(options);
    Recorder rec(player);
    const bool foreign = query.contains(u':');
    const QUrl stream = foreign ? QUrl(query) : query.isEmpty() ? closedPort() : url(query);
    player.replaceCurrentItem(stream);
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(rec.statuses, QList<Status>{Status::Failed}, kWait);
    QCOMPARE(player.itemStatus(), Status::Failed);
    QCOMPARE(player.itemError(), error);
    QCOMPARE(player.rate(), 0.0f);
    QCOMPARE(rec.rates, (foreign ? QList<float>() : QList<float>{1, 0})); // a refused item never starts
    QVERIFY(!player.firstTrackFormat());
    // Well past the first retry delay: still the one request.
    QTest::qWait(1000);
    QVERIFY(rec.attempts.isEmpty());
    if (!query.isEmpty() && !foreign)
        QCOMPARE(server_->connections(stream), 1);
    // play() does not bring a failed item back; a new item does.
    player.play();
    QCOMPARE(player.rate(), 0.0f);
    player.replaceCurrentItem(url(QString()));
    QCOMPARE(player.itemStatus(), Status::Unknown);
    QVERIFY(player.itemError().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(player.itemStatus(), Status::ReadyToPlay, kWait);
}

void TestGstMediaPlayer::droppedStreamReconnectsAndPlaysOn_data() {
    QTest::addColumn<QString>("query");
    QTest::newRow("closed by the server") << "close_after=48000&times=1";
    QTest::newRow("stalled") << "stall_after=48000&times=1";
}

void TestGstMediaPlayer::droppedStreamReconnectsAndPlaysOn() {
    QFETCH(QString, query);
    GstMediaPlayer player(quickOptions());
    Recorder rec(player);
    const QUrl stream = url(query);
    player.replaceCurrentItem(stream);
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(rec.attempts, QList<int>{1}, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(server_->connections(stream), 2, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(pipelineState(player), GST_STATE_PLAYING, kWait);
    QCOMPARE(rec.reconnections, 1); // the line can show the title again
    // Still the same ready item, playing all along as far as the listener is concerned.
    QCOMPARE(rec.statuses, QList<Status>{Status::ReadyToPlay});
    QCOMPARE(rec.rates, QList<float>{1});
    QCOMPARE(player.rate(), 1.0f);
}

void TestGstMediaPlayer::reconnectionGivesUpAfterSixTries() {
    GstMediaPlayer player(quickOptions());
    Recorder rec(player);
    const QUrl stream = url(QStringLiteral("close_after=20000"));
    player.replaceCurrentItem(stream);
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(rec.statuses, (QList<Status>{Status::ReadyToPlay, Status::Failed}), 3 * kWait);
    QCOMPARE(rec.attempts, (QList<int>{1, 2, 3, 4, 5, 6}));
    QCOMPARE(player.itemError(), QStringLiteral("Connection to the stream lost"));
    QCOMPARE(server_->connections(stream), 7);
    QCOMPARE(player.rate(), 0.0f);
    QCOMPARE(rec.rates, (QList<float>{1, 0}));
}

void TestGstMediaPlayer::pauseAndReplaceWinOverAPendingReconnect_data() {
    QTest::addColumn<bool>("replace");
    QTest::newRow("pause") << false;
    QTest::newRow("replace") << true;
}

void TestGstMediaPlayer::pauseAndReplaceWinOverAPendingReconnect() {
    QFETCH(bool, replace);
    GstMediaPlayer::Options options = quickOptions();
    options.firstRetryDelay = 500ms;
    GstMediaPlayer player(options);
    Recorder rec(player);
    const QUrl dropping = url(QStringLiteral("close_after=20000"));
    player.replaceCurrentItem(dropping);
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(rec.attempts, QList<int>{1}, kWait);
    const QUrl next = url(QStringLiteral("titles=Next"));
    if (replace)
        player.replaceCurrentItem(next);
    else
        player.pause();
    QTest::qWait(1500); // three times the retry delay
    QCOMPARE(server_->connections(dropping), 1);
    QCOMPARE(rec.attempts, QList<int>{1});
    if (replace) {
        QTRY_COMPARE_WITH_TIMEOUT(rec.titles, QStringList{QStringLiteral("Next")}, kWait);
        QCOMPARE(player.rate(), 1.0f);
    } else {
        QCOMPARE(player.rate(), 0.0f);
        QCOMPARE(pipelineState(player), GST_STATE_NULL);
    }
}

void TestGstMediaPlayer::volumeFollowsTheCubicScale_data() {
    QTest::addColumn<float>("volume");
    QTest::addColumn<float>("kept");
    QTest::addColumn<double>("linear");
    QTest::newRow("half the slider is an eighth of the amplitude") << 0.5f << 0.5f << 0.125;
    QTest::newRow("above full") << 1.5f << 1.0f << 1.0;
    QTest::newRow("below silent") << -0.2f << 0.0f << 0.0;
}

void TestGstMediaPlayer::volumeFollowsTheCubicScale() {
    QFETCH(float, volume);
    QFETCH(float, kept);
    QFETCH(double, linear);
    GstMediaPlayer player(quickOptions());
    player.setVolume(volume);
    QCOMPARE(player.volume(), kept);
    gdouble applied = -1;
    g_object_get(player.pipeline(), "volume", &applied, nullptr);
    QVERIFY2(qAbs(applied - linear) < 1e-6, qPrintable(QString::number(applied)));
}

void TestGstMediaPlayer::outputDeviceChoosesTheAlsaSink() {
    // No sound card here: ALSA's "null" device plays into nothing.
    GstMediaPlayer::Options options = quickOptions();
    options.audioSink.clear();
    qunsetenv("OSTREL_AUDIO_SINK");
    GstMediaPlayer player(options);
    Recorder rec(player);
    player.setOutputDevice(QStringLiteral("null"));
    player.replaceCurrentItem(url(QString()));
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(pipelineState(player), GST_STATE_PLAYING, kWait);
    GstElement* sink = nullptr;
    g_object_get(player.pipeline(), "audio-sink", &sink, nullptr);
    QVERIFY(sink);
    gchar* device = nullptr;
    g_object_get(sink, "device", &device, nullptr);
    QCOMPARE(QByteArray(device), QByteArray("null"));
    g_free(device);
    gst_object_unref(sink);

    // Another device takes over at once; one that cannot be opened fails the item, no retries.
    player.setOutputDevice(QStringLiteral("ostrel-no-such-device"));
    QTRY_COMPARE_WITH_TIMEOUT(rec.statuses, (QList<Status>{Status::ReadyToPlay, Status::Failed}), kWait);
    QCOMPARE(player.itemError(), QStringLiteral("Audio output not available"));
    QVERIFY(rec.attempts.isEmpty());
}

void TestGstMediaPlayer::icecastStation_data() {
    QTest::addColumn<QString>("mount");
    QTest::addColumn<double>("sampleRate");
    QTest::addColumn<unsigned>("channels");
    QTest::addColumn<QStringList>("titles");
    // The MP3 titles come from the playout, the first as UTF-8, the second sent on by Icecast in
    // Latin-1; the Ogg title is the stream's own comment.
    QTest::newRow("MP3 44.1 kHz stereo") << kMp3Mount << 44100.0 << 2u
                                         << QStringList{QStringLiteral("Café Noir – Ünder the Moon"),
                                                        QStringLiteral("Müller & Söhne - Straße")};
    QTest::newRow("Ogg Vorbis 22.05 kHz mono") << kOggMount << 22050.0 << 1u << QStringList{"Ogg Test Tone"};
}

void TestGstMediaPlayer::icecastStation() {
    QFETCH(QString, mount);
    QFETCH(double, sampleRate);
    QFETCH(unsigned, channels);
    QFETCH(QStringList, titles);
    GstMediaPlayer::Options options; // the timeouts of a real station
    options.audioSink = quickOptions().audioSink;
    GstMediaPlayer player(options);
    Recorder rec(player);
    player.replaceCurrentItem(icecast_.url(mount));
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(player.itemStatus(), Status::ReadyToPlay, kWait);
    const auto format = player.firstTrackFormat();
    QVERIFY(format && format->isAudio);
    QCOMPARE(format->sampleRate, sampleRate);
    QCOMPARE(format->channels, channels);
    QCOMPARE(player.rate(), 1.0f);
    QTRY_COMPARE_WITH_TIMEOUT(icecast_.listeners(mount), 1, kWait);
    for (const QString& title : titles) {
        if (mount == kMp3Mount)
            QVERIFY(icecast_.setTitle(mount, title, title != titles.first()));
        QTRY_VERIFY_WITH_TIMEOUT(!rec.titles.isEmpty() && rec.titles.last() == title, kWait);
    }
    for (const QString& title : titles)
        QCOMPARE(rec.titles.count(title), 1);
    QVERIFY(player.itemError().isEmpty());

    // As the controller stops: pause, then drop the item. The connection goes with it.
    player.pause();
    player.replaceCurrentItem(QUrl());
    QVERIFY(!player.hasCurrentItem());
    QTRY_COMPARE_WITH_TIMEOUT(icecast_.listeners(mount), 0, kWait);
}

QTEST_GUILESS_MAIN(TestGstMediaPlayer)
#include "tst_gstmediaplayer.moc"
