// SPDX-License-Identifier: GPL-3.0-or-later
// Plays one stream through GstMediaPlayer into a fake sink that renders in real time, for the
// playback benchmark (bench_media.py). Prints "ready <ms>" when the item is ready and
// "first-audio <ms>" when its first buffer is rendered, both counted from the play request, then
// plays on until <seconds> have passed. Without an address it only idles with a player made.
// "playbin-buffering" leaves buffering at playbin's defaults, for comparison.
//
//     media_probe <url|""> <seconds> [playbin-buffering]

#include "media/GstMediaPlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <cstdio>

namespace {
struct Probe {
    QElapsedTimer clock;
    std::atomic<bool> rendered{false};
    QCoreApplication* app = nullptr;
};

void onHandoff(GstElement*, GstBuffer*, GstPad*, gpointer data) {
    auto* probe = static_cast<Probe*>(data);
    if (probe->rendered.exchange(true))
        return;
    const qint64 ms = probe->clock.elapsed();
    QMetaObject::invokeMethod(probe->app, [ms] { std::printf("first-audio %lld\n", static_cast<long long>(ms)); std::fflush(stdout); }, Qt::QueuedConnection);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QUrl url(args.value(1));
    const int seconds = args.value(2, QStringLiteral("10")).toInt();

    GstMediaPlayer::Options options;
    options.audioSink = QStringLiteral("fakesink sync=true signal-handoffs=true name=probe");
    if (args.value(3) == QLatin1String("playbin-buffering")) {
        options.bufferDuration = {};
        options.bufferBytes = 0;
    }
    GstMediaPlayer player(options);
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    if (url.isEmpty())
        return app.exec();

    Probe probe;
    probe.app = &app;
    GstElement* bin = nullptr;
    g_object_get(player.pipeline(), "audio-sink", &bin, nullptr);
    GstElement* sink = gst_bin_get_by_name(GST_BIN(bin), "probe");
    g_signal_connect(sink, "handoff", G_CALLBACK(onHandoff), &probe);
    QObject::connect(&player, &MediaPlayer::itemStatusChanged, &app, [&](MediaPlayer::ItemStatus status) {
        if (status == MediaPlayer::ItemStatus::ReadyToPlay) {
            std::printf("ready %lld\n", static_cast<long long>(probe.clock.elapsed()));
        } else {
            std::printf("failed %s\n", qPrintable(player.itemError()));
            app.exit(1);
        }
        std::fflush(stdout);
    });
    probe.clock.start();
    player.replaceCurrentItem(url);
    player.play();
    const int code = app.exec();
    gst_object_unref(sink);
    gst_object_unref(bin);
    return code;
}
