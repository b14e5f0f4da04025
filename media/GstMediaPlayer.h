// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/MediaPlayer.h"
#include "media/ReconnectPolicy.h"

#include <QTimer>
#include <atomic>
#include <chrono>
#include <gst/gst.h>
#include <mutex>
#include <thread>

// MediaPlayer on GStreamer's playbin, tuned for live radio: little buffering before the first
// sound, pause while the buffer refills, reconnection with back-off when a playing stream drops,
// for as long as playing is wanted. An item that never plays fails once and is not retried.
//
// Bus messages are handled on the main thread: through a GLib watch when Qt runs the GLib event
// loop (the default on Linux), otherwise queued to the main thread from a synchronous handler.
class GstMediaPlayer final : public MediaPlayer {
    Q_OBJECT
public:
    struct Options {
        // An item that has not prerolled by then fails.
        std::chrono::milliseconds readyTimeout{20000};
        // A playing stream that waits this long for its buffer to grow, or a reconnection that
        // brings no audio in this time, counts as a drop.
        std::chrono::milliseconds stallTimeout{10000};
        // Reconnection delays: the first, doubled for each further try up to the longest.
        std::chrono::milliseconds firstRetryDelay{1000};
        std::chrono::milliseconds longestRetryDelay{30000};
        // After this much play without a drop the tries count from 1 again.
        std::chrono::milliseconds stablePlay{60000};
        // Buffering: how much audio playbin gathers before it plays. Its defaults (2 s, 2 MB) cost
        // seconds of silence at every start; a radio stream comes at its own pace anyway.
        // 0: playbin's own.
        std::chrono::milliseconds bufferDuration{1000};
        int bufferBytes = 64 * 1024;
        // A gst-launch description of the audio sink ("fakesink sync=true"), replacing the output
        // device; empty: the environment variable OSTREL_AUDIO_SINK, then the output device.
        QString audioSink;
        QString userAgent;
    };

    // What a missing decoder says about a stream, in rising order of weight.
    enum class Missing { Nothing, Plugin, NotAudio };

    explicit GstMediaPlayer(QObject* parent = nullptr);
    explicit GstMediaPlayer(Options options, QObject* parent = nullptr);
    ~GstMediaPlayer() override;

    void setVolume(float volume) override;
    float volume() const override { return volume_; }
    float rate() const override;
    void play() override;
    void pause() override;

    bool hasCurrentItem() const override { return !url_.isEmpty(); }
    QUrl currentItemUrl() const override { return url_; }
    void replaceCurrentItem(const QUrl& url) override;
    ItemStatus itemStatus() const override { return status_; }
    QString itemError() const override { return error_; }
    std::optional<TrackFormat> firstTrackFormat() const override { return format_; }

    // Starts GStreamer on a worker thread and returns at once, so that the first item does not
    // wait for the plug-in registry and the plug-ins every stream passes through. Without it the
    // first item starts GStreamer.
    void prepare();

    void setOutputDevice(const QString& alsaDevice) override;
    void retryNow() override;
    void dropForSleep() override;
    void setStreamTap(std::shared_ptr<StreamTap> tap) override;
    QString outputDevice() const { return outputDevice_; }

    // Whether bus messages come through the GLib watch (false: queued from a sync handler).
    bool usesGLibBusWatch() const { return glibWatch_; }
    // The playbin, for measurements and tests; owned by the player. Null until the first item
    // loads: GStreamer starts then.
    GstElement* pipeline() const { return playbin_; }

private:
    static gboolean onBusWatch(GstBus* bus, GstMessage* message, gpointer self);
    static GstBusSyncReply onBusSync(GstBus* bus, GstMessage* message, gpointer self);
    static void onSourceSetup(GstElement* playbin, GstElement* source, gpointer self);
    static void onElementAdded(GstBin* playbin, GstBin* bin, GstElement* element, gpointer self);
    static GValueArray* onAutoplugSort(GstElement* bin, GstPad* pad, GstCaps* caps, GValueArray* factories,
                                       gpointer);
    struct IcyTap;
    static GstPadProbeReturn onSourceData(GstPad* pad, GstPadProbeInfo* info, gpointer tap);
    struct StreamProbe;
    void attachStreamTap(GstElement* element);
    static GstPadProbeReturn onStreamData(GstPad* pad, GstPadProbeInfo* info, gpointer probe);
    std::shared_ptr<StreamTap> streamTap() const;

    void handleMessage(GstMessage* message);
    void onError(GstMessage* message);
    void onBuffering(int percent);
    void onPrerolled();
    void onTags(GstMessage* message);
    void reportTitle(const QString& title);
    void resumeIfReady();
    void watchPlayback();

    bool ensurePipeline();
    void startPipeline();
    void stopPipeline();
    void setPipelineState(GstState state);
    void fail(const QString& text);
    void dropped(const char* reason);
    void retry();
    void applyAudioSink();
    void readTrackFormat();
    void updateRate();

    Options options_;
    GstElement* playbin_ = nullptr;
    GstBus* bus_ = nullptr;
    guint watchId_ = 0;
    bool glibWatch_ = false;
    bool triedPipeline_ = false;
    std::thread preparing_;
    // Counts pipeline stops; messages queued from before the last stop are stale.
    std::atomic<quint64> epoch_{0};
    // The epoch whose connection carries ICY metadata: its titles come from the source's bytes,
    // not from the tags GStreamer derives from them (which leave out a cleared title).
    std::atomic<quint64> icyEpoch_{~quint64(0)};

    QUrl url_;
    ItemStatus status_ = ItemStatus::Unknown;
    QString error_;
    std::optional<TrackFormat> format_;
    std::optional<QString> lastTitle_;
    QString outputDevice_;
    float volume_ = 1.0f;
    float reportedRate_ = 0.0f;

    bool wantPlay_ = false;     // play() asked for and not paused since
    bool active_ = false;       // the pipeline is above NULL for the current item
    bool prerolled_ = false;    // since the last start
    bool buffering_ = false;    // the buffer is filling, the pipeline held in PAUSED
    Missing missing_ = Missing::Nothing;
    int bufferPercent_ = -1;    // last signalled
    int bufferPeak_ = 0;        // highest level of this refill
    bool reconnecting_ = false; // dropped after playing, not back yet
    ReconnectPolicy retries_;   // tries since the last stable play

    QTimer readyTimer_;
    QTimer stallTimer_;
    QTimer retryTimer_;
    QTimer stableTimer_;

    // Set on the main thread, read on the streaming threads.
    mutable std::mutex tapMutex_;
    std::shared_ptr<StreamTap> streamTap_;
};
