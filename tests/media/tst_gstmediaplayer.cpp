// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/GstMediaPlayer.h"
#include "support/CuttableProxy.h"
#include "support/FaultStreamServer.h"
#include "support/IcecastServer.h"
#include "support/TestTones.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;
using Status = MediaPlayer::ItemStatus;

namespace {
constexpr int kWait = 30000;

struct Recorder {
    QStringList titles;
    QList<Status> statuses;
    QList<int> attempts;
    QList<std::chrono::milliseconds> delays;
    QList<float> rates;

    explicit Recorder(MediaPlayer& player) {
        QObject::connect(&player, &MediaPlayer::timedMetadataReceived, &player,
                         [this](const QList<MediaPlayer::MetadataGroup>& groups) {
                             for (const auto& group : groups)
                                 for (const auto& item : group)
                                     if (item.identifier == QLatin1String("icy/StreamTitle"))
                                         titles.append(item.stringValue);
                         });
        QObject::connect(&player, &MediaPlayer::itemStatusChanged, &player, [this](Status s) { statuses.append(s); });
        QObject::connect(&player, &MediaPlayer::reconnecting, &player, 
                         [this](int a, std::chrono::milliseconds d) { attempts.append(a), delays.append(d); });
        QObject::connect(&player, &MediaPlayer::rateChanged, &player, [this](float r) { rates.append(r); });
    }
};

QString format(const MediaPlayer& player) {
    const auto f = player.firstTrackFormat();
    if (!f)
        return QStringLiteral("none");
    return QStringLiteral("%1%2/%3").arg(f->isAudio ? "" : "not audio: ").arg(f->sampleRate).arg(f->channels);
}

GstState pipelineState(const GstMediaPlayer& player) {
    GstState state = GST_STATE_VOID_PENDING;
    gst_element_get_state(player.pipeline(), &state, nullptr, 0);
    return state;
}

// Prerolling takes a second at most, but not on a busy machine.
GstMediaPlayer::Options quickOptions(std::chrono::milliseconds readyTimeout = 15s,
                                     std::chrono::milliseconds firstRetryDelay = 100ms) {
    return {.readyTimeout = readyTimeout,
            .stallTimeout = 1500ms,
            .firstRetryDelay = firstRetryDelay,
            .longestRetryDelay = 400ms,
            .audioSink = QStringLiteral("fakesink sync=true")};
}

// Keeps every decoder of a type out of playbin's choice, as if its plug-in were not installed.
void hideDecoders(const char* type) {
    g_autoptr(GstCaps) caps = gst_caps_from_string(type);
    GList* decoders = gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DECODER, GST_RANK_NONE);
    GList* able = gst_element_factory_list_filter(decoders, caps, GST_PAD_SINK, FALSE);
    for (GList* item = able; item; item = item->next)
        gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(item->data), GST_RANK_NONE);
    gst_plugin_feature_list_free(able);
    gst_plugin_feature_list_free(decoders);
}

// The elements of a running pipeline that an audio stream does not need: FFmpeg's wrapper where
// GStreamer's own decoder plays the format, and anything for pictures, video or subtitles.
QStringList needlessElements(GstElement* pipeline) {
    QStringList found;
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(pipeline));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        GstElementFactory* factory = gst_element_get_factory(GST_ELEMENT(g_value_get_object(&item)));
        const QByteArray klass = factory ? gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS) : "";
        const QByteArray plugin = factory ? gst_plugin_feature_get_plugin_name(GST_PLUGIN_FEATURE(factory)) : "";
        if (plugin == "libav" || klass.contains("Video") || klass.contains("Image") || klass.contains("Subtitle"))
            found += QString::fromUtf8(GST_OBJECT_NAME(factory));
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return found;
}

// Plug-ins loaded into the process that a sound stream never needs: FFmpeg's wrapper maps FFmpeg
// with its encoders, filters and voices, the subtitle parser is text.
QStringList needlessPlugins() {
    QStringList found;
    for (const char* name : {"libav", "subparse"}) {
        g_autoptr(GstPlugin) plugin = gst_registry_find_plugin(gst_registry_get(), name);
        if (plugin && gst_plugin_is_loaded(plugin))
            found += QString::fromLatin1(name);
    }
    return found;
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
    void cutLineComesBack_data();
    void cutLineComesBack();
    void pauseAndReplaceWinOverAPendingReconnect();
    void outputDeviceChoosesTheAlsaSink();
    void icecastStation();

private:
    // A stream address that no other case used: the server counts connections per address.
    QUrl url(const QString& query) { return server_->url(query + QStringLiteral("&case=%1").arg(++cases_)); }

    QTemporaryDir dir_;
    std::unique_ptr<FaultStreamServer> server_;
    std::unique_ptr<IcecastServer> icecast_; // a real station: Icecast with ezstream sources
    int cases_ = 0;
};

void TestGstMediaPlayer::initTestCase() {
    const QString mp3 = dir_.filePath(QStringLiteral("tone.mp3"));
    const QString ogg = dir_.filePath(QStringLiteral("tone.ogg"));
    const QString error = TestTones::mp3(mp3, 44100, 2, 20) + TestTones::vorbis(ogg, "Ogg Test Tone");
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // SID tunes are the format without a decoder, also where the desktop has one (libsidplay).
    gst_init(nullptr, nullptr);
    hideDecoders("audio/x-sid");
    server_ = std::make_unique<FaultStreamServer>(mp3);
    icecast_ = std::make_unique<IcecastServer>(QList<IcecastServer::Mount>{
        {QStringLiteral("/radio.mp3"), mp3, QStringLiteral("MP3")},
        {QStringLiteral("/radio.ogg"), ogg, QStringLiteral("Ogg")}});
}

void TestGstMediaPlayer::loadsPlaysPausesAndDrops() {
    GstMediaPlayer player(quickOptions());
    // Qt's GLib event loop carries a bus watch; without it (QT_NO_GLIB) messages are queued.
    QCOMPARE(player.usesGLibBusWatch(), !qEnvironmentVariableIsSet("QT_NO_GLIB"));
    // Nothing of GStreamer is built before there is something to play. Prepared as at launch,
    // the plug-ins load on a worker while the first item comes at once.
    QVERIFY(!player.pipeline());
    player.prepare();
    Recorder rec(player);

    // A new item loads without playing, as a player item does, and tells its format. A listener
    // joins a station at any byte, seldom at a frame's first: here a few bytes before it.
    const QUrl stream = url(QStringLiteral("prefix=%00%00%00"));
    player.replaceCurrentItem(stream);
    QTRY_COMPARE_WITH_TIMEOUT(player.itemStatus(), Status::ReadyToPlay, kWait);
    QCOMPARE(pipelineState(player), GST_STATE_PAUSED);
    QCOMPARE(format(player), QStringLiteral("44100/2"));

    player.play();
    // A healthy stream plays on past the stall timeout, not reconnected.
    gint64 at = 0;
    QTRY_VERIFY_WITH_TIMEOUT(
        gst_element_query_position(player.pipeline(), GST_FORMAT_TIME, &at) && at > 3 * GST_SECOND, kWait);
    // An MP3 stream plays through GStreamer's own parser and decoder, nothing else loaded.
    QCOMPARE(needlessElements(player.pipeline()), QStringList());
    QCOMPARE(needlessPlugins(), QStringList());

    // Pausing a live stream lets the connection go; playing again fetches it afresh.
    player.pause();
    QCOMPARE(pipelineState(player), GST_STATE_NULL);
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(pipelineState(player), GST_STATE_PLAYING, kWait);
    QCOMPARE(server_->connections(stream), 2);
    QCOMPARE(player.itemStatus(), Status::ReadyToPlay);

    // No item: nothing plays, whatever was asked.
    player.replaceCurrentItem(QUrl());
    QCOMPARE(player.rate(), 0.0f);
    QCOMPARE(pipelineState(player), GST_STATE_NULL);
    QCOMPARE(rec.rates, (QList<float>{1, 0, 1, 0}));
    QCOMPARE(rec.statuses, QList<Status>{Status::ReadyToPlay});
    QVERIFY(rec.attempts.isEmpty());

    // The volume slider is cubic, kept between silent and full.
    for (const auto& [volume, kept, linear] :
         {std::tuple(0.5f, 0.5f, 0.125), std::tuple(1.5f, 1.0f, 1.0), std::tuple(-0.2f, 0.0f, 0.0)}) {
        player.setVolume(volume);
        QCOMPARE(player.volume(), kept);
        gdouble applied = -1;
        g_object_get(player.pipeline(), "volume", &applied, nullptr);
        QVERIFY2(qAbs(applied - linear) < 1e-6, qPrintable(QString::number(applied)));
    }
}

void TestGstMediaPlayer::titlesAreReportedOncePerChange_data() {
    // ICY titles, one per metadata block as the server sends them, then "End" over and over.
    QTest::addColumn<QString>("titles");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("Latin-1 and Windows-1252") << "%93T%F6r%94%20%80%20%96%20x" << QStringList{"“Tör” € – x"};
    QTest::newRow("repeats then a change")
        << "A%20Song~A%20Song~A%20Song~Next" << QStringList{"A Song", "Next"};
    // A cleared title is a delivery too, once, though GStreamer's own ICY reader drops it.
    QTest::newRow("cleared between two") << "First~~~Second" << QStringList{"First", "", "Second"};
    QTest::newRow("apostrophes, a stream address after") << "Don%27t%20Stop%27%3BStreamUrl%3D%27http%3A//x/%27%3B"
                                                         << QStringList{"Don't Stop"};
    QTest::newRow("back to an earlier one") << "A~B~A" << QStringList{"A", "B", "A"};
}

void TestGstMediaPlayer::titlesAreReportedOncePerChange() {
    QFETCH(QString, titles);
    QFETCH(QStringList, expected);
    GstMediaPlayer player(quickOptions());
    Recorder rec(player);
    player.replaceCurrentItem(url(QStringLiteral("metaint=2000&titles=") + titles + QStringLiteral("~End")));
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(rec.titles, expected + QStringList{QStringLiteral("End")}, kWait);
}

void TestGstMediaPlayer::failedItemsAreNotRetried_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("error");
    QTest::newRow("HTTP 404") << "status=404" << "Stream not available";
    QTest::newRow("HTTP 403") << "status=403" << "Access to the stream refused";
    QTest::newRow("HTML page") << "type=text/html" << "Not an audio stream";
    QTest::newRow("format without a decoder") << "prefix=PSID%00%02%00%7C" << "Missing plug-in for this format";
    QTest::newRow("connection refused") << "http://127.0.0.1:1/stream.mp3"
                                        << "Stream not available";
    QTest::newRow("never answers") << "silent=1" << QStringLiteral("Stream did not answer");
    QTest::newRow("local file") << "file:///etc/passwd" << QStringLiteral("Not a web address");
}

void TestGstMediaPlayer::failedItemsAreNotRetried() {
    QFETCH(QString, query);
    QFETCH(QString, error);
    GstMediaPlayer player(quickOptions(3s));
    Recorder rec(player);
    const bool ours = !query.contains(u':'); // else a whole address
    const QUrl stream = ours ? url(query) : QUrl(query);
    player.replaceCurrentItem(stream);
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(rec.statuses, QList<Status>{Status::Failed}, kWait);
    QCOMPARE(player.itemError(), error);
    // An address that is not a web address is refused before it starts.
    QCOMPARE(rec.rates, (stream.scheme() == u"http" ? QList<float>{1, 0} : QList<float>()));
    QCOMPARE(format(player), QStringLiteral("none"));
    // Well past the first retry delay: still the one request.
    QTest::qWait(1000);
    QVERIFY(rec.attempts.isEmpty());
    if (ours)
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
    QTest::addColumn<QList<int>>("attempts");
    QTest::addColumn<int>("reconnections"); // times it came back
    QTest::newRow("closed by the server") << "close_after=48000&times=1" << QList<int>{1} << 1;
    QTest::newRow("stalled") << "stall_after=48000&times=1" << QList<int>{1} << 1;
    // More tries than players give before they give up; the delays stop at the longest.
    QTest::newRow("closed each time, then back") << "close_after=20000&times=8" << QList<int>{1, 2, 3, 4, 5, 6, 7, 8} << 8;
    // A server that no longer sends what it sent: drops too, not the end of listening.
    QTest::newRow("then a 404") << "close_after=48000&times=1&then_status=404&then_times=2" << QList<int>{1, 2, 3} << 1;
    QTest::newRow("then an HTML page") << "close_after=48000&times=1&then_status=html" << QList<int>{1, 2} << 1;
}

void TestGstMediaPlayer::droppedStreamReconnectsAndPlaysOn() {
    QFETCH(QString, query);
    QFETCH(QList<int>, attempts);
    QFETCH(int, reconnections);
    GstMediaPlayer player(quickOptions());
    Recorder rec(player);
    QSignalSpy reconnected(&player, &MediaPlayer::reconnected);
    const QUrl stream = url(query);
    player.replaceCurrentItem(stream);
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(rec.attempts, attempts, 3 * kWait);
    QTRY_COMPARE_WITH_TIMEOUT(server_->connections(stream), attempts.size() + 1, kWait);
    QList<std::chrono::milliseconds> delays{100ms, 200ms, 400ms, 400ms, 400ms, 400ms, 400ms, 400ms};
    QCOMPARE(rec.delays, delays.mid(0, attempts.size()));
    // The same ready item, playing all along as far as the listener is concerned.
    QTRY_COMPARE_WITH_TIMEOUT(pipelineState(player), GST_STATE_PLAYING, kWait);
    QCOMPARE(rec.statuses, QList{Status::ReadyToPlay});
    QCOMPARE(rec.rates, QList<float>{1});
    QCOMPARE(reconnected.size(), reconnections); // the line can show the title again
}

void TestGstMediaPlayer::cutLineComesBack_data() {
    QTest::addColumn<int>("restoreAt");    // the try during which the line comes back
    QTest::addColumn<bool>("networkUp");   // the machine says the network is back (retryNow)
    QTest::addColumn<int>("firstDelay");   // ms
    QTest::addColumn<int>("longestDelay");
    QTest::newRow("cut shorter than the delays") << 1 << false << 100 << 400;
    QTest::newRow("long cut") << 10 << false << 100 << 400;
    // The next try ten minutes off: only the network coming back brings the sound back soon.
    QTest::newRow("long cut, the network comes back") << 1 << true << 600000 << 600000;
    // By hand, with the real delays: OSTREL_TWO_MINUTE_CUT=1 (with and without the signal).
    if (qEnvironmentVariableIsSet("OSTREL_TWO_MINUTE_CUT")) {
        QTest::newRow("two minutes, real delays") << -120 << false << 1000 << 30000;
        QTest::newRow("two minutes, real delays, network comes back") << -120 << true << 1000 << 30000;
    }
}

void TestGstMediaPlayer::cutLineComesBack() {
    QFETCH(int, restoreAt);
    QFETCH(bool, networkUp);
    QFETCH(int, firstDelay);
    QFETCH(int, longestDelay);
    const bool real = restoreAt < 0; // a cut of -restoreAt seconds
    CuttableProxy proxy(quint16(icecast_->url(QString()).port()));
    GstMediaPlayer player({.firstRetryDelay = std::chrono::milliseconds(firstDelay),
                           .longestRetryDelay = std::chrono::milliseconds(longestDelay),
                           .audioSink = quickOptions().audioSink});
    Recorder rec(player);
    QSignalSpy reconnected(&player, &MediaPlayer::reconnected);
    player.replaceCurrentItem(proxy.url(icecast_->url(QStringLiteral("/radio.mp3"))));
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(pipelineState(player), GST_STATE_PLAYING, kWait);

    proxy.cut();
    QElapsedTimer cut;
    cut.start();
    if (real) {
        QTRY_VERIFY_WITH_TIMEOUT(cut.elapsed() >= -restoreAt * 1000, -restoreAt * 1000 + kWait);
        // A try is under way or waiting: either way, it is not back yet.
        QTRY_VERIFY_WITH_TIMEOUT(!rec.attempts.isEmpty() && player.rate() == 1.0f, kWait);
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(rec.attempts.size() >= restoreAt, 3 * kWait);
    }
    QVERIFY(proxy.restore());
    QElapsedTimer back;
    back.start();
    if (networkUp)
        player.retryNow();
    const int wait = real ? longestDelay + kWait : kWait;
    QTRY_VERIFY_WITH_TIMEOUT(reconnected.size() == 1 && pipelineState(player) == GST_STATE_PLAYING, wait);
    if (real)
        qInfo("cut for %.1f s, %d tries; sound %.2f s after the line came back", cut.elapsed() / 1000.0 - back.elapsed() / 1000.0,
              int(rec.attempts.size()), back.elapsed() / 1000.0);
    QCOMPARE(rec.statuses, QList{Status::ReadyToPlay});
    QCOMPARE(rec.attempts.last(), rec.attempts.size());
}

void TestGstMediaPlayer::pauseAndReplaceWinOverAPendingReconnect() {
    for (const bool replace : {false, true}) {
        GstMediaPlayer player(quickOptions(15s, 500ms));
        Recorder rec(player);
        const QUrl dropping = url(QStringLiteral("close_after=20000"));
        player.replaceCurrentItem(dropping);
        player.play();
        QTRY_COMPARE_WITH_TIMEOUT(rec.attempts, QList<int>{1}, kWait);
        if (replace)
            player.replaceCurrentItem(url(QStringLiteral("titles=Next")));
        else
            player.pause();
        QTest::qWait(1500); // three times the retry delay
        QCOMPARE(server_->connections(dropping), 1);
        QCOMPARE(rec.attempts, QList<int>{1});
        QCOMPARE(player.rate(), replace ? 1.0f : 0.0f);
        if (replace)
            QTRY_COMPARE_WITH_TIMEOUT(rec.titles, QStringList{QStringLiteral("Next")}, kWait);
        else
            QCOMPARE(pipelineState(player), GST_STATE_NULL);
    }
}

void TestGstMediaPlayer::outputDeviceChoosesTheAlsaSink() {
    // No sound card here: ALSA's "null" device plays into nothing. The timeouts of a real station:
    // Icecast's Ogg pages come a second or more apart, which the short stall timeout takes for a stall.
    GstMediaPlayer::Options options;
    qunsetenv("OSTREL_AUDIO_SINK");
    GstMediaPlayer player(options);
    Recorder rec(player);
    player.setOutputDevice(QStringLiteral("null"));
    player.replaceCurrentItem(icecast_->url(QStringLiteral("/radio.ogg")));
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(pipelineState(player), GST_STATE_PLAYING, kWait);
    // An Ogg Vorbis stream: its own comment is its title.
    QCOMPARE(format(player), QStringLiteral("22050/1"));
    QTRY_COMPARE_WITH_TIMEOUT(rec.titles, QStringList{"Ogg Test Tone"}, kWait);
    g_autoptr(GstElement) sink = nullptr;
    g_object_get(player.pipeline(), "audio-sink", &sink, nullptr);
    QVERIFY(sink);
    g_autofree gchar* device = nullptr;
    g_object_get(sink, "device", &device, nullptr);
    QCOMPARE(QByteArray(device), QByteArray("null"));

    // Another device takes over at once; one that cannot be opened fails the item, no retries.
    player.setOutputDevice(QStringLiteral("ostrel-no-such-device"));
    QTRY_COMPARE_WITH_TIMEOUT(rec.statuses, (QList<Status>{Status::ReadyToPlay, Status::Failed}), kWait);
    QCOMPARE(player.itemError(), QStringLiteral("Audio output not available"));
    QVERIFY(rec.attempts.isEmpty());
}

void TestGstMediaPlayer::icecastStation() {
    GstMediaPlayer player({.audioSink = quickOptions().audioSink}); // the timeouts of a real station
    Recorder rec(player);
    const QString mount = QStringLiteral("/radio.mp3");
    player.replaceCurrentItem(icecast_->url(mount));
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(player.itemStatus(), Status::ReadyToPlay, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(icecast_->listeners(mount), 1, kWait);
    // The playout's titles: one passed on as UTF-8, the next sent on by Icecast in Latin-1.
    // Cleared titles (the line goes back to "Live Broadcast") are delivered too: at the start (the
    // mount may already announce none) and after the last one.
    const QStringList titles{QString(), QStringLiteral("Café Noir – Ünder the Moon"), QStringLiteral("Müller & Söhne"),
                             QString()};
    for (const QString& title : titles) {
        QVERIFY(icecast_->setTitle(mount, title, title == titles[2]));
        QTRY_VERIFY_WITH_TIMEOUT(!rec.titles.isEmpty() && rec.titles.last() == title, kWait);
    }
    QCOMPARE(rec.titles, titles);

    // As the controller stops: pause, then drop the item. The connection goes with it.
    player.pause();
    player.replaceCurrentItem(QUrl());
    QTRY_COMPARE_WITH_TIMEOUT(icecast_->listeners(mount), 0, kWait);
}

QTEST_GUILESS_MAIN(TestGstMediaPlayer)
#include "tst_gstmediaplayer.moc"
