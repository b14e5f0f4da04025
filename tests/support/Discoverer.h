// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>
#include <gst/pbutils/pbutils.h>

// What GStreamer's discoverer (gst-discoverer-1.0) reads from a file: the audio codec as it names
// it ("MPEG-1 Layer 3 (MP3)", "Vorbis") and the duration.
struct Discovered {
    QString codec;
    double seconds = 0;
    QString error;
};

inline Discovered discover(const QString& path) {
    gst_init(nullptr, nullptr);
    Discovered found;
    GError* error = nullptr;
    g_autoptr(GstDiscoverer) discoverer = gst_discoverer_new(10 * GST_SECOND, &error);
    g_autoptr(GstDiscovererInfo) info =
        discoverer ? gst_discoverer_discover_uri(discoverer, QUrl::fromLocalFile(path).toEncoded().constData(), &error)
                   : nullptr;
    if (error) {
        found.error = QString::fromUtf8(error->message);
        g_error_free(error);
    }
    if (!info)
        return found;
    found.seconds = double(gst_discoverer_info_get_duration(info)) / GST_SECOND;
    GList* streams = gst_discoverer_info_get_audio_streams(info);
    if (streams) {
        g_autoptr(GstCaps) caps = gst_discoverer_stream_info_get_caps(GST_DISCOVERER_STREAM_INFO(streams->data));
        g_autofree gchar* codec = caps ? gst_pb_utils_get_codec_description(caps) : nullptr;
        found.codec = QString::fromUtf8(codec);
    }
    gst_discoverer_stream_info_list_free(streams);
    return found;
}
