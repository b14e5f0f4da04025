// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/AlarmTone.h"

#include "media/MediaLog.h"

#include <algorithm>
#include <gst/audio/streamvolume.h>

namespace {

// 880 Hz for half a second (440 periods), once a second, with soft edges.
const char* const kTone = "audiotestsrc wave=ticks volume=1 freq=880 sine-periods-per-tick=440 tick-interval=1000000000 "
                          "apply-tick-ramp=true is-live=true ! audioconvert ! audioresample ! volume name=level";

GstBusSyncReply logErrors(GstBus*, GstMessage* message, gpointer) {
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        qCWarning(lcMedia, "Alarm tone not playing [%s]", error ? error->message : "unknown error");
        if (error)
            g_error_free(error);
    }
    return GST_BUS_DROP;
}

} // namespace

AlarmTone::AlarmTone(QString audioSink, QObject* parent) : QObject(parent), audioSink_(std::move(audioSink)) {
    if (audioSink_.isEmpty())
        audioSink_ = qEnvironmentVariable("OSTREL_AUDIO_SINK");
}

AlarmTone::~AlarmTone() {
    stop();
}

GstElement* AlarmTone::makeSink(const QString& alsaDevice) const {
    GstElement* sink = nullptr;
    if (!audioSink_.isEmpty()) {
        sink = gst_parse_bin_from_description(audioSink_.toUtf8().constData(), TRUE, nullptr);
    } else if (!alsaDevice.isEmpty()) {
        sink = gst_element_factory_make("alsasink", nullptr);
        if (sink)
            g_object_set(sink, "device", alsaDevice.toUtf8().constData(), nullptr);
    }
    return sink ? sink : gst_element_factory_make("autoaudiosink", nullptr);
}

void AlarmTone::start(float volume, const QString& alsaDevice) {
    stop();
    GError* error = nullptr;
    if (!gst_is_initialized() && !gst_init_check(nullptr, nullptr, &error)) {
        qCWarning(lcMedia, "Alarm tone not playing [%s]", error ? error->message : "GStreamer not usable");
        g_clear_error(&error);
        return;
    }
    GstElement* tone = gst_parse_bin_from_description(kTone, TRUE, &error);
    GstElement* sink = makeSink(alsaDevice);
    if (!tone || !sink) {
        qCWarning(lcMedia, "Alarm tone not playing [%s]", error ? error->message : "no audio output element");
        g_clear_error(&error);
        if (tone)
            gst_object_unref(gst_object_ref_sink(tone));
        if (sink)
            gst_object_unref(gst_object_ref_sink(sink));
        return;
    }
    pipeline_ = gst_pipeline_new("alarm-tone");
    gst_bin_add_many(GST_BIN(pipeline_), tone, sink, nullptr);
    gst_element_link(tone, sink);
    if (GstElement* level = gst_bin_get_by_name(GST_BIN(tone), "level")) {
        // Heard as loud as the player at the same setting: the cubic scale.
        const gdouble linear = gst_stream_volume_convert_volume(GST_STREAM_VOLUME_FORMAT_CUBIC, GST_STREAM_VOLUME_FORMAT_LINEAR,
                                                                std::clamp(double(volume), 0.0, 1.0));
        g_object_set(level, "volume", linear, nullptr);
        gst_object_unref(level);
    }
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, &logErrors, nullptr, nullptr);
    gst_object_unref(bus);
    gst_element_set_state(pipeline_, GST_STATE_PLAYING);
    qCInfo(lcMedia, "Alarm tone on");
}

void AlarmTone::stop() {
    if (!pipeline_)
        return;
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
    qCInfo(lcMedia, "Alarm tone off");
}
