// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/GstMediaPlayer.h"

#include "media/IcyMetadataReader.h"
#include "media/MediaLog.h"
#include "util/HttpTransport.h"
#include "util/RemoteText.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <gst/audio/audio.h>
#include <gst/audio/streamvolume.h>
#include <gst/pbutils/missing-plugins.h>
#include <memory>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// GstPlayFlags of playbin: audio only, volume applied in software.
constexpr guint kPlayFlagAudio = 1u << 1;
constexpr guint kPlayFlagSoftVolume = 1u << 4;

const QString kStreamTitle = QStringLiteral("icy/StreamTitle");

namespace text {
const char* const notAvailable = QT_TRANSLATE_NOOP("GstMediaPlayer", "Stream not available");
const char* const refused = QT_TRANSLATE_NOOP("GstMediaPlayer", "Access to the stream refused");
const char* const notAudio = QT_TRANSLATE_NOOP("GstMediaPlayer", "Not an audio stream");
const char* const missingPlugin = QT_TRANSLATE_NOOP("GstMediaPlayer", "Missing plug-in for this format");
const char* const unreadable = QT_TRANSLATE_NOOP("GstMediaPlayer", "Stream format not readable");
const char* const noAnswer = QT_TRANSLATE_NOOP("GstMediaPlayer", "Stream did not answer");
const char* const noOutput = QT_TRANSLATE_NOOP("GstMediaPlayer", "Audio output not available");
const char* const noPlayback = QT_TRANSLATE_NOOP("GstMediaPlayer", "Playback not available");
const char* const other = QT_TRANSLATE_NOOP("GstMediaPlayer", "Stream cannot be played");
const char* const notWeb = QT_TRANSLATE_NOOP("GstMediaPlayer", "Not a web address");
} // namespace text

QString tr(const char* source) { return QCoreApplication::translate("GstMediaPlayer", source); }

bool isSource(GstObject* object) {
    return GST_IS_URI_HANDLER(object) && gst_uri_handler_get_uri_type(GST_URI_HANDLER(object)) == GST_URI_SRC;
}

// A decoder asked for: of a type that is no sound at all (a web page, a picture), or a sound
// format this installation cannot play.
GstMediaPlayer::Missing missingKind(GstMessage* message) {
    const GValue* detail = gst_structure_get_value(gst_message_get_structure(message), "detail");
    if (detail && GST_VALUE_HOLDS_CAPS(detail)) {
        const GstCaps* caps = gst_value_get_caps(detail);
        if (!gst_caps_is_empty(caps) && !gst_caps_is_any(caps)) {
            const QByteArray type = gst_structure_get_name(gst_caps_get_structure(caps, 0));
            if (type.startsWith("text/") || type.startsWith("image/") || type.startsWith("video/"))
                return GstMediaPlayer::Missing::NotAudio;
        }
    }
    return GstMediaPlayer::Missing::Plugin;
}

// What a listener is told when an item fails, from the error GStreamer gave and where.
QString failureText(const GError* error, GstObject* origin, GstMediaPlayer::Missing missing) {
    if (missing == GstMediaPlayer::Missing::NotAudio)
        return tr(text::notAudio);
    if (missing == GstMediaPlayer::Missing::Plugin ||
        g_error_matches(error, GST_CORE_ERROR, GST_CORE_ERROR_MISSING_PLUGIN) ||
        g_error_matches(error, GST_STREAM_ERROR, GST_STREAM_ERROR_CODEC_NOT_FOUND))
        return tr(text::missingPlugin);
    if (g_error_matches(error, GST_STREAM_ERROR, GST_STREAM_ERROR_TYPE_NOT_FOUND) ||
        g_error_matches(error, GST_STREAM_ERROR, GST_STREAM_ERROR_WRONG_TYPE))
        return tr(text::notAudio);
    if (g_error_matches(error, GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_AUTHORIZED))
        return tr(text::refused);
    // The HTTP source reports a refused connection as a mere flow error.
    if (error->domain == GST_RESOURCE_ERROR || isSource(origin))
        return tr(text::notAvailable);
    if (error->domain == GST_STREAM_ERROR)
        return tr(text::unreadable);
    return tr(text::other);
}

struct GErrorFree {
    void operator()(GError* e) const { g_error_free(e); }
};
struct GFree {
    void operator()(gchar* p) const { g_free(p); }
};

// Type finders that name formats this player never plays, from plug-ins it otherwise never loads.
// A stream seldom starts on a frame's first byte, so no type finder is sure of it, and every one
// is asked: each asked loads its plug-in. FFmpeg's wrapper would map FFmpeg with its encoders,
// filters and voices (some 30 MiB, for game and video containers); the subtitle parser is text.
// FFmpeg's decoders stay: autoplugging takes them only for formats no other plug-in reads.
void leaveOutForeignTypeFinders() {
    GstRegistry* registry = gst_registry_get();
    for (const char* plugin : {"libav", "subparse"}) {
        GList* features = gst_registry_get_feature_list_by_plugin(registry, plugin);
        for (GList* item = features; item; item = item->next)
            if (GST_IS_TYPE_FIND_FACTORY(item->data))
                gst_registry_remove_feature(registry, GST_PLUGIN_FEATURE(item->data));
        gst_plugin_feature_list_free(features);
    }
}

bool ensureGStreamer() {
    static const bool ok = [] {
#ifdef __GLIBC__
        // GStreamer's streaming threads come and go with every connection, and glibc gives new
        // threads malloc arenas of their own (up to eight a core), each keeping the pages freed
        // in it: a few minutes of listening with stops and reconnections grew the program by a
        // megabyte. Two arenas are plenty for threads that move a few kilobytes a second.
        mallopt(M_ARENA_MAX, 2);
#endif
        GError* error = nullptr;
        if (gst_init_check(nullptr, nullptr, &error)) {
            leaveOutForeignTypeFinders();
            return true;
        }
        qCWarning(lcMedia, "GStreamer not usable [%s]", error ? error->message : "unknown error");
        if (error)
            g_error_free(error);
        return false;
    }();
    return ok;
}

// The plug-ins every stream passes through, whatever its format: the player, the HTTP source,
// type finding and queues, the ICY reader and the conversions before the output. A decoder is
// the stream's own choice.
void loadStreamPlugins() {
    for (const char* name : {"playback", "soup", "coreelements", "typefindfunctions", "icydemux", "audioconvert",
                             "audioresample", "volume"})
        if (GstPlugin* plugin = gst_plugin_load_by_name(name))
            gst_object_unref(plugin);
}

bool hasProperty(GObject* object, const char* name) {
    return g_object_class_find_property(G_OBJECT_GET_CLASS(object), name) != nullptr;
}

} // namespace

GstMediaPlayer::GstMediaPlayer(QObject* parent) : GstMediaPlayer(Options(), parent) {}

GstMediaPlayer::GstMediaPlayer(Options options, QObject* parent)
    : MediaPlayer(parent), options_(std::move(options)),
      retries_(options_.firstRetryDelay, options_.longestRetryDelay) {
    if (options_.audioSink.isEmpty())
        options_.audioSink = qEnvironmentVariable("OSTREL_AUDIO_SINK");
    if (options_.userAgent.isEmpty())
        options_.userAgent = QString::fromLatin1(HttpTransport::userAgent());

    for (QTimer* timer : {&readyTimer_, &stallTimer_, &retryTimer_, &stableTimer_})
        timer->setSingleShot(true);
    readyTimer_.setInterval(options_.readyTimeout);
    stallTimer_.setInterval(options_.stallTimeout);
    stableTimer_.setInterval(options_.stablePlay);
    connect(&readyTimer_, &QTimer::timeout, this, [this] {
        if (status_ == ItemStatus::ReadyToPlay)
            dropped("no audio in time");
        else
            fail(tr(text::noAnswer));
    });
    connect(&stallTimer_, &QTimer::timeout, this, [this] { dropped("stalled"); });
    connect(&retryTimer_, &QTimer::timeout, this, &GstMediaPlayer::retry);
    connect(&stableTimer_, &QTimer::timeout, this, [this] { retries_.reset(); });

    // GStreamer starts with the first item: an idle program pays nothing for it.
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread());
    glibWatch_ = dispatcher && dispatcher->inherits("QEventDispatcherGlib");
}

bool GstMediaPlayer::ensurePipeline() {
    if (playbin_)
        return true;
    if (triedPipeline_ || !ensureGStreamer())
        return false;
    triedPipeline_ = true;
    playbin_ = gst_element_factory_make("playbin", "ostrel-player");
    if (!playbin_) {
        qCWarning(lcMedia, "GStreamer has no playbin; is gstreamer1.0-plugins-base installed?");
        return false;
    }
    gst_object_ref_sink(playbin_);
    g_object_set(playbin_, "flags", kPlayFlagAudio | kPlayFlagSoftVolume, nullptr);
    if (options_.bufferDuration.count() > 0)
        g_object_set(playbin_, "buffer-duration", gint64(std::chrono::nanoseconds(options_.bufferDuration).count()),
                     nullptr);
    if (options_.bufferBytes > 0)
        g_object_set(playbin_, "buffer-size", gint(options_.bufferBytes), nullptr);
    g_signal_connect(playbin_, "source-setup", G_CALLBACK(&GstMediaPlayer::onSourceSetup), this);
    g_signal_connect(playbin_, "deep-element-added", G_CALLBACK(&GstMediaPlayer::onElementAdded), this);
    applyAudioSink();
    setVolume(volume_);

    bus_ = gst_element_get_bus(playbin_);
    if (glibWatch_) {
        watchId_ = gst_bus_add_watch(bus_, &GstMediaPlayer::onBusWatch, this);
    } else {
        qCInfo(lcMedia, "Qt does not run the GLib event loop; bus messages are queued instead");
        gst_bus_set_sync_handler(bus_, &GstMediaPlayer::onBusSync, this, nullptr);
    }
    return true;
}

void GstMediaPlayer::prepare() {
    if (preparing_.joinable() || triedPipeline_)
        return;
    // A play asked for meanwhile waits for GStreamer's start on the main thread, not longer.
    preparing_ = std::thread([] {
        if (ensureGStreamer())
            loadStreamPlugins();
    });
}

GstMediaPlayer::~GstMediaPlayer() {
    if (preparing_.joinable())
        preparing_.join();
    if (!playbin_)
        return;
    gst_element_set_state(playbin_, GST_STATE_NULL);
    if (watchId_)
        g_source_remove(watchId_);
    else
        gst_bus_set_sync_handler(bus_, nullptr, nullptr, nullptr);
    g_signal_handlers_disconnect_by_data(playbin_, this);
    gst_object_unref(bus_);
    gst_object_unref(playbin_);
}

// --- MediaPlayer

void GstMediaPlayer::setVolume(float volume) {
    volume_ = std::isnan(volume) ? 0.0f : std::clamp(volume, 0.0f, 1.0f);
    if (playbin_) {
        // The slider's value is heard as loudness: the cubic scale, as desktop mixers use.
        const gdouble linear = gst_stream_volume_convert_volume(GST_STREAM_VOLUME_FORMAT_CUBIC,
                                                                GST_STREAM_VOLUME_FORMAT_LINEAR, volume_);
        g_object_set(playbin_, "volume", linear, nullptr);
    }
}

float GstMediaPlayer::rate() const {
    return wantPlay_ && hasCurrentItem() && status_ != ItemStatus::Failed ? 1.0f : 0.0f;
}

void GstMediaPlayer::play() {
    wantPlay_ = true;
    if (hasCurrentItem() && status_ != ItemStatus::Failed) {
        if (!active_ && !retryTimer_.isActive())
            startPipeline();
        else
            resumeIfReady();
    }
    updateRate();
}

void GstMediaPlayer::pause() {
    wantPlay_ = false;
    // A live stream cannot wait: drop the connection (and any pending reconnection); play()
    // starts it afresh.
    if (active_ || retryTimer_.isActive())
        stopPipeline();
    reconnecting_ = false;
    retries_.reset();
    updateRate();
}

void GstMediaPlayer::replaceCurrentItem(const QUrl& url) {
    stopPipeline();
    url_ = url;
    status_ = ItemStatus::Unknown;
    error_.clear();
    format_.reset();
    lastTitle_.reset();
    reconnecting_ = false;
    retries_.reset();
    // Like a player item, the new one loads at once, playing or not.
    if (hasCurrentItem())
        startPipeline();
    updateRate();
}

void GstMediaPlayer::setOutputDevice(const QString& alsaDevice) {
    if (alsaDevice == outputDevice_)
        return;
    outputDevice_ = alsaDevice;
    if (!playbin_)
        return;
    const bool restart = active_;
    if (restart)
        stopPipeline();
    applyAudioSink();
    if (restart)
        startPipeline();
}

// --- Pipeline

void GstMediaPlayer::startPipeline() {
    if (!ensurePipeline()) {
        fail(tr(text::noPlayback));
        return;
    }
    // GStreamer would open files, descriptors and devices for other schemes.
    if (!remote::isWebAddress(url_)) {
        fail(tr(text::notWeb));
        return;
    }
    g_object_set(playbin_, "uri", url_.toEncoded().constData(), nullptr);
    active_ = true;
    prerolled_ = false;
    // A stream that played and comes back without audio is one more drop, sooner.
    readyTimer_.start(status_ == ItemStatus::ReadyToPlay ? options_.stallTimeout : options_.readyTimeout);
    // Playing follows once prerolled and buffered: asking for PLAYING while the pipeline is
    // still prerolling, and then PAUSED for buffering, can leave it stuck in between.
    setPipelineState(GST_STATE_PAUSED);
}

void GstMediaPlayer::stopPipeline() {
    for (QTimer* timer : {&readyTimer_, &stallTimer_, &retryTimer_, &stableTimer_})
        timer->stop();
    active_ = prerolled_ = buffering_ = false;
    bufferPeak_ = 0;
    missing_ = Missing::Nothing;
    bufferPercent_ = -1;
    if (!playbin_)
        return;
    gst_element_set_state(playbin_, GST_STATE_NULL);
    // Whatever the old connection still had to say is stale now.
    ++epoch_;
    gst_bus_set_flushing(bus_, TRUE);
    gst_bus_set_flushing(bus_, FALSE);
#ifdef __GLIBC__
    // The connection's buffers are freed now; glibc would keep their pages for the next one.
    malloc_trim(0);
#endif
}

void GstMediaPlayer::setPipelineState(GstState state) {
    if (gst_element_set_state(playbin_, state) == GST_STATE_CHANGE_FAILURE)
        qCDebug(lcMedia) << "state change to" << gst_element_state_get_name(state) << "failed";
}

void GstMediaPlayer::fail(const QString& text) {
    stopPipeline();
    status_ = ItemStatus::Failed;
    error_ = text;
    qCInfo(lcMedia, "Stream failed: %s [%s]", qPrintable(remote::forLog(url_.toDisplayString())), qPrintable(text));
    Q_EMIT itemStatusChanged(status_);
    updateRate();
}

void GstMediaPlayer::dropped(const char* reason) {
    stopPipeline();
    if (!wantPlay_)
        return; // loaded but not playing: play() connects again
    // Whatever the server does meanwhile (gone, an error page, silence), the listener still
    // wants the station: try again until pause() or a new item.
    reconnecting_ = true;
    const std::chrono::milliseconds delay = retries_.next();
    qCInfo(lcMedia, "Stream dropped (%s), try %d in %lld ms: %s", reason, retries_.attempt(), qlonglong(delay.count()),
           qPrintable(remote::forLog(url_.toDisplayString())));
    retryTimer_.start(delay);
    Q_EMIT reconnecting(retries_.attempt(), delay);
}

void GstMediaPlayer::retry() {
    if (wantPlay_ && hasCurrentItem())
        startPipeline();
}

void GstMediaPlayer::retryNow() {
    if (!reconnecting_ || !wantPlay_ || !hasCurrentItem() || status_ != ItemStatus::ReadyToPlay)
        return;
    qCInfo(lcMedia, "Trying the stream again at once: %s", qPrintable(remote::forLog(url_.toDisplayString())));
    // A try under way may be stuck on the old network; start afresh.
    stopPipeline();
    retries_.reset();
    startPipeline();
}

void GstMediaPlayer::dropForSleep() {
    if (!wantPlay_ || status_ != ItemStatus::ReadyToPlay || (!active_ && !retryTimer_.isActive()))
        return;
    // Close the connection now rather than leave it to time out on the other side of the
    // sleep; waking tries again at once, the longest delay covers a wake-up nobody announces.
    stopPipeline();
    reconnecting_ = true;
    retries_.next();
    const std::chrono::milliseconds delay = options_.longestRetryDelay;
    qCInfo(lcMedia, "Stream closed for sleep: %s", qPrintable(remote::forLog(url_.toDisplayString())));
    retryTimer_.start(delay);
    Q_EMIT reconnecting(retries_.attempt(), delay);
}

void GstMediaPlayer::applyAudioSink() {
    GstElement* sink = nullptr;
    if (!options_.audioSink.isEmpty()) {
        GError* error = nullptr;
        sink = gst_parse_bin_from_description(options_.audioSink.toUtf8().constData(), TRUE, &error);
        if (error) {
            qCWarning(lcMedia, "Audio sink \"%s\" not usable [%s]", qPrintable(options_.audioSink), error->message);
            g_error_free(error);
        }
    } else if (!outputDevice_.isEmpty()) {
        sink = gst_element_factory_make("alsasink", nullptr);
        if (sink)
            g_object_set(sink, "device", outputDevice_.toUtf8().constData(), nullptr);
        else
            qCWarning(lcMedia, "No ALSA sink (gstreamer1.0-alsa); playing on the default output");
    }
    if (!sink)
        sink = gst_element_factory_make("autoaudiosink", nullptr);
    g_object_set(playbin_, "audio-sink", sink, nullptr); // takes the floating reference
}

// What the source of one connection sends, read before icydemux sees it: the source's streaming
// thread reads, the main thread reports.
struct GstMediaPlayer::IcyTap {
    GstMediaPlayer* player;
    std::optional<IcyMetadataReader> reader;
};

void GstMediaPlayer::onSourceSetup(GstElement*, GstElement* source, gpointer data) {
    auto* self = static_cast<GstMediaPlayer*>(data);
    GObject* object = G_OBJECT(source);
    if (hasProperty(object, "user-agent"))
        g_object_set(object, "user-agent", self->options_.userAgent.toUtf8().constData(), nullptr);
    // Ask for ICY metadata, and leave reconnecting to us: a live stream cannot resume where it
    // broke off, and the server's own retries only delay the drop.
    if (hasProperty(object, "iradio-mode"))
        g_object_set(object, "iradio-mode", TRUE, nullptr);
    if (hasProperty(object, "retries"))
        g_object_set(object, "retries", 0, nullptr);
    // Titles are read from the bytes as they come: icydemux passes on no cleared title.
    if (GstPad* pad = gst_element_get_static_pad(source, "src")) {
        gst_pad_add_probe(pad,
                          GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST |
                                          GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                          &GstMediaPlayer::onSourceData, new IcyTap{self, std::nullopt},
                          [](gpointer tap) { delete static_cast<IcyTap*>(tap); });
        gst_object_unref(pad);
    }
}

void GstMediaPlayer::onElementAdded(GstBin*, GstBin*, GstElement* element, gpointer self) {
    static_cast<GstMediaPlayer*>(self)->attachStreamTap(element);
    // The stream buffer: declare it full a little early. Held in PAUSED, a pipeline may still
    // take some of it (one buffer in, one out), and a level that hovers just below full would
    // never let it play.
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory && g_str_equal(GST_OBJECT_NAME(factory), "queue2"))
        g_object_set(element, "high-watermark", 0.8, nullptr);
    if (factory && g_str_equal(GST_OBJECT_NAME(factory), "decodebin"))
        g_signal_connect(element, "autoplug-sort", G_CALLBACK(&GstMediaPlayer::onAutoplugSort), nullptr);
}

G_GNUC_BEGIN_IGNORE_DEPRECATIONS // decodebin's signal hands over a GValueArray
GValueArray* GstMediaPlayer::onAutoplugSort(GstElement*, GstPad*, GstCaps*, GValueArray* factories, gpointer) {
    // Only sound is played: decoders of pictures, video and subtitles are never loaded. Among
    // equal ranks the FFmpeg wrapper comes first by name, and loading it maps FFmpeg's filters,
    // encoders and voices (some 40 MiB); it stays as the fallback for formats only it reads.
    const auto pluginOf = [](GstElementFactory* f) {
        const gchar* name = gst_plugin_feature_get_plugin_name(GST_PLUGIN_FEATURE(f));
        return QByteArrayView(name ? name : "");
    };
    const auto notSound = [](GstElementFactory* f) {
        const QByteArrayView klass(gst_element_factory_get_metadata(f, GST_ELEMENT_METADATA_KLASS));
        return klass.contains("Decoder") && !klass.contains("Audio") &&
               (klass.contains("Video") || klass.contains("Image") || klass.contains("Subtitle"));
    };
    GValueArray* sorted = g_value_array_new(factories->n_values);
    for (const bool fallback : {false, true}) {
        for (guint i = 0; i < factories->n_values; ++i) {
            const GValue* value = g_value_array_get_nth(factories, i);
            auto* factory = GST_ELEMENT_FACTORY(g_value_get_object(value));
            if (!notSound(factory) && (pluginOf(factory) == "libav") == fallback)
                g_value_array_append(sorted, value);
        }
    }
    return sorted;
}
G_GNUC_END_IGNORE_DEPRECATIONS

GstPadProbeReturn GstMediaPlayer::onSourceData(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* tap = static_cast<IcyTap*>(data);
    GstMediaPlayer* self = tap->player;
    if (info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
            // In iradio mode the HTTP source announces an icy-metaint header as these caps.
            GstCaps* caps = nullptr;
            gst_event_parse_caps(event, &caps);
            const GstStructure* s = gst_caps_is_empty(caps) ? nullptr : gst_caps_get_structure(caps, 0);
            gint interval = 0;
            tap->reader.reset();
            if (s && gst_structure_has_name(s, "application/x-icy") &&
                gst_structure_get_int(s, "metadata-interval", &interval) && interval > 0) {
                tap->reader.emplace(interval);
                self->icyEpoch_ = self->epoch_.load();
            }
        }
        return GST_PAD_PROBE_OK;
    }
    if (!tap->reader || !tap->reader->isValid())
        return GST_PAD_PROBE_OK;
    QStringList titles;
    const auto readBuffer = [&](GstBuffer* buffer) {
        GstMapInfo map;
        if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
            return;
        titles += tap->reader->read(QByteArrayView(reinterpret_cast<const char*>(map.data), qsizetype(map.size)));
        gst_buffer_unmap(buffer, &map);
    };
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
        readBuffer(GST_PAD_PROBE_INFO_BUFFER(info));
    } else if (info->type & GST_PAD_PROBE_TYPE_BUFFER_LIST) {
        GstBufferList* list = GST_PAD_PROBE_INFO_BUFFER_LIST(info);
        for (guint i = 0, n = gst_buffer_list_length(list); i < n; ++i)
            readBuffer(gst_buffer_list_get(list, i));
    }
    if (!titles.isEmpty()) {
        const quint64 epoch = self->epoch_.load();
        QMetaObject::invokeMethod(
            self,
            [self, titles, epoch] {
                if (epoch == self->epoch_.load())
                    for (const QString& title : titles)
                        self->reportTitle(title);
            },
            Qt::QueuedConnection);
    }
    return GST_PAD_PROBE_OK;
}

// --- The stream's bytes, for recordings

namespace {
// The fixed part of an ADTS header for raw AAC frames, from the stream's AudioSpecificConfig,
// so that they can be written as an .aac file. Empty for configurations ADTS cannot carry.
QByteArray adtsTemplate(const QByteArray& config) {
    if (config.size() < 2)
        return {};
    const auto bits = [&config](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i)
            value = value << 1 | ((quint8(config[i / 8]) >> (7 - i % 8)) & 1);
        return value;
    };
    int objectType = bits(0, 5);
    const int frequency = bits(5, 4), channels = bits(9, 4);
    // HE-AAC plays from its AAC-LC core, which ADTS describes.
    if (objectType == 5 || objectType == 29)
        objectType = 2;
    if (objectType < 1 || objectType > 4 || frequency > 12 || channels > 7)
        return {};
    QByteArray header(7, '\0');
    header[0] = char(0xFF);
    header[1] = char(0xF1); // MPEG-4, no CRC
    header[2] = char((objectType - 1) << 6 | frequency << 2 | channels >> 2);
    header[3] = char((channels & 3) << 6);
    header[5] = char(0x1F); // buffer fullness 0x7FF: variable rate
    header[6] = char(0xFC);
    return header;
}

QByteArray withAdtsHeader(QByteArray header, QByteArrayView frame) {
    const qsizetype length = header.size() + frame.size();
    header[3] = char(header[3] | (length >> 11 & 3));
    header[4] = char(length >> 3 & 0xFF);
    header[5] = char((length & 7) << 5 | 0x1F);
    return header.append(frame);
}
} // namespace

// One tapped pad: the format its caps announce.
struct GstMediaPlayer::StreamProbe {
    GstMediaPlayer* player;
    std::optional<StreamFormat> format;
    QByteArray adts; // raw AAC: the header each frame gets
};

void GstMediaPlayer::setStreamTap(std::shared_ptr<StreamTap> tap) {
    const std::lock_guard lock(tapMutex_);
    streamTap_ = std::move(tap);
}

std::shared_ptr<MediaPlayer::StreamTap> GstMediaPlayer::streamTap() const {
    const std::lock_guard lock(tapMutex_);
    return streamTap_;
}

void GstMediaPlayer::attachStreamTap(GstElement* element) {
    // MPEG audio and AAC as their parsers frame them, Ogg as its demuxer reads it: past
    // icydemux, so no ICY metadata, and before any decoder. Also inside HLS segments.
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory)
        return;
    const QByteArrayView name(GST_OBJECT_NAME(factory));
    const char* padName = name == "mpegaudioparse" || name == "aacparse" ? "src" : name == "oggdemux" ? "sink" : nullptr;
    if (!padName)
        return;
    if (GstPad* pad = gst_element_get_static_pad(element, padName)) {
        gst_pad_add_probe(pad,
                          GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST |
                                          GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                          &GstMediaPlayer::onStreamData, new StreamProbe{this, std::nullopt, {}},
                          [](gpointer probe) { delete static_cast<StreamProbe*>(probe); });
        gst_object_unref(pad);
    }
}

GstPadProbeReturn GstMediaPlayer::onStreamData(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* probe = static_cast<StreamProbe*>(data);
    if (info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) != GST_EVENT_CAPS)
            return GST_PAD_PROBE_OK;
        GstCaps* caps = nullptr;
        gst_event_parse_caps(event, &caps);
        const GstStructure* s = gst_caps_is_empty(caps) ? nullptr : gst_caps_get_structure(caps, 0);
        probe->format.reset();
        probe->adts.clear();
        if (!s)
            return GST_PAD_PROBE_OK;
        gint version = 0, layer = 0;
        const QByteArrayView streamFormat(gst_structure_get_string(s, "stream-format"));
        if (gst_structure_has_name(s, "application/ogg") || gst_structure_has_name(s, "audio/ogg")) {
            probe->format = StreamFormat::Ogg;
        } else if (!gst_structure_has_name(s, "audio/mpeg") || !gst_structure_get_int(s, "mpegversion", &version)) {
            // not ours to write
        } else if (version == 1) {
            gst_structure_get_int(s, "layer", &layer);
            probe->format = layer == 3 ? StreamFormat::Mp3 : StreamFormat::Mp2;
        } else if (streamFormat == "adts") {
            probe->format = StreamFormat::Aac;
        } else if (streamFormat == "raw") {
            const GValue* value = gst_structure_get_value(s, "codec_data");
            GstBuffer* config = value && GST_VALUE_HOLDS_BUFFER(value) ? gst_value_get_buffer(value) : nullptr;
            GstMapInfo map;
            if (config && gst_buffer_map(config, &map, GST_MAP_READ)) {
                probe->adts = adtsTemplate(QByteArray(reinterpret_cast<const char*>(map.data), qsizetype(map.size)));
                gst_buffer_unmap(config, &map);
            }
            if (!probe->adts.isEmpty())
                probe->format = StreamFormat::Aac;
        }
        if (probe->format)
            if (const std::shared_ptr<StreamTap> tap = probe->player->streamTap())
                tap->streamStarted(*probe->format);
        return GST_PAD_PROBE_OK;
    }
    if (!probe->format)
        return GST_PAD_PROBE_OK;
    const std::shared_ptr<StreamTap> tap = probe->player->streamTap();
    if (!tap)
        return GST_PAD_PROBE_OK;
    const auto pass = [&](GstBuffer* buffer) {
        GstMapInfo map;
        if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
            return;
        const QByteArrayView bytes(reinterpret_cast<const char*>(map.data), qsizetype(map.size));
        tap->streamData(*probe->format, probe->adts.isEmpty() ? bytes.toByteArray() : withAdtsHeader(probe->adts, bytes));
        gst_buffer_unmap(buffer, &map);
    };
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
        pass(GST_PAD_PROBE_INFO_BUFFER(info));
    } else if (info->type & GST_PAD_PROBE_TYPE_BUFFER_LIST) {
        GstBufferList* list = GST_PAD_PROBE_INFO_BUFFER_LIST(info);
        for (guint i = 0, n = gst_buffer_list_length(list); i < n; ++i)
            pass(gst_buffer_list_get(list, i));
    }
    return GST_PAD_PROBE_OK;
}

// --- Bus

gboolean GstMediaPlayer::onBusWatch(GstBus*, GstMessage* message, gpointer self) {
    static_cast<GstMediaPlayer*>(self)->handleMessage(message);
    return G_SOURCE_CONTINUE;
}

GstBusSyncReply GstMediaPlayer::onBusSync(GstBus*, GstMessage* message, gpointer data) {
    // A streaming thread: hand the message to the main thread, which drops it if the pipeline
    // was stopped in between.
    auto* self = static_cast<GstMediaPlayer*>(data);
    const quint64 epoch = self->epoch_.load();
    std::shared_ptr<GstMessage> held(gst_message_ref(message), gst_message_unref);
    QMetaObject::invokeMethod(
        self,
        [self, held, epoch] {
            if (epoch == self->epoch_.load())
                self->handleMessage(held.get());
        },
        Qt::QueuedConnection);
    return GST_BUS_DROP;
}

void GstMediaPlayer::handleMessage(GstMessage* message) {
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
        onError(message);
        break;
    case GST_MESSAGE_WARNING: {
        GError* error = nullptr;
        gst_message_parse_warning(message, &error, nullptr);
        qCDebug(lcMedia) << "warning:" << error->message;
        g_error_free(error);
        break;
    }
    case GST_MESSAGE_EOS:
        qCDebug(lcMedia) << "end of stream";
        // A radio stream has no end: the server closed the connection.
        if (status_ == ItemStatus::ReadyToPlay)
            dropped("closed by the server");
        else
            fail(tr(text::notAvailable));
        break;
    case GST_MESSAGE_BUFFERING: {
        gint percent = 0;
        gst_message_parse_buffering(message, &percent);
        qCDebug(lcMedia) << "buffering" << percent;
        onBuffering(percent);
        break;
    }
    case GST_MESSAGE_ASYNC_DONE:
        qCDebug(lcMedia) << "prerolled";
        if (GST_MESSAGE_SRC(message) == GST_OBJECT(playbin_))
            onPrerolled();
        break;
    case GST_MESSAGE_TAG:
        onTags(message);
        break;
    case GST_MESSAGE_ELEMENT:
        if (gst_is_missing_plugin_message(message)) {
            missing_ = std::max(missing_, missingKind(message));
            std::unique_ptr<gchar, GFree> what(gst_missing_plugin_message_get_description(message));
            qCInfo(lcMedia, "Missing GStreamer plug-in: %s", what.get());
        }
        break;
    case GST_MESSAGE_CLOCK_LOST:
        if (GST_STATE_TARGET(playbin_) == GST_STATE_PLAYING) {
            setPipelineState(GST_STATE_PAUSED);
            setPipelineState(GST_STATE_PLAYING);
        }
        break;
    case GST_MESSAGE_STATE_CHANGED:
        if (GST_MESSAGE_SRC(message) == GST_OBJECT(playbin_)) {
            GstState from, to;
            gst_message_parse_state_changed(message, &from, &to, nullptr);
            qCDebug(lcMedia) << "state" << gst_element_state_get_name(from) << "->" << gst_element_state_get_name(to);
            if (to == GST_STATE_PLAYING && !buffering_)
                stallTimer_.stop(); // sound again
        }
        break;
    case GST_MESSAGE_LATENCY:
        gst_bin_recalculate_latency(GST_BIN(playbin_));
        break;
    default:
        break;
    }
}

void GstMediaPlayer::onError(GstMessage* message) {
    GError* raw = nullptr;
    gchar* rawDebug = nullptr;
    gst_message_parse_error(message, &raw, &rawDebug);
    std::unique_ptr<GError, GErrorFree> error(raw);
    std::unique_ptr<gchar, GFree> debug(rawDebug);
    qCDebug(lcMedia, "error from %s: %s (%s)", GST_OBJECT_NAME(GST_MESSAGE_SRC(message)), error->message,
            debug ? debug.get() : "");
    // A device that cannot be opened stays so, however often the stream is fetched again.
    GstElement* sink = nullptr;
    g_object_get(playbin_, "audio-sink", &sink, nullptr);
    const bool fromOutput = sink && gst_object_has_as_ancestor(GST_MESSAGE_SRC(message), GST_OBJECT(sink));
    if (sink)
        gst_object_unref(sink);
    if (fromOutput) {
        qCWarning(lcMedia, "Audio output failed [%s]", qPrintable(remote::forLog(error->message)));
        fail(tr(text::noOutput));
    } else if (status_ == ItemStatus::ReadyToPlay) {
        qCInfo(lcMedia, "Stream error [%s]", qPrintable(remote::forLog(error->message)));
        dropped("error");
    } else {
        qCInfo(lcMedia, "Stream not playable [%s]", qPrintable(remote::forLog(error->message)));
        fail(failureText(error.get(), GST_MESSAGE_SRC(message), missing_));
    }
}

void GstMediaPlayer::onBuffering(int percent) {
    if (percent < 100) {
        if (!buffering_) {
            buffering_ = true;
            bufferPeak_ = percent;
            if (GST_STATE_TARGET(playbin_) == GST_STATE_PLAYING)
                setPipelineState(GST_STATE_PAUSED);
            watchPlayback();
        } else if (percent > bufferPeak_) {
            // Progress. A level that only wavers (the rate estimate moves) is no progress.
            bufferPeak_ = percent;
            if (stallTimer_.isActive())
                stallTimer_.start();
        }
    } else {
        buffering_ = false;
        resumeIfReady();
    }
    if (percent != bufferPercent_) {
        bufferPercent_ = percent;
        Q_EMIT bufferingChanged(percent);
    }
}

void GstMediaPlayer::onPrerolled() {
    if (!prerolled_) {
        prerolled_ = true;
        readyTimer_.stop();
        if (std::exchange(reconnecting_, false)) {
            stableTimer_.start();
            Q_EMIT reconnected();
        }
        if (status_ != ItemStatus::ReadyToPlay) {
            readTrackFormat();
            status_ = ItemStatus::ReadyToPlay;
            Q_EMIT itemStatusChanged(status_);
        }
    }
    resumeIfReady();
}

void GstMediaPlayer::resumeIfReady() {
    if (!active_ || !wantPlay_ || !prerolled_ || buffering_)
        return;
    if (GST_STATE_TARGET(playbin_) != GST_STATE_PLAYING) {
        setPipelineState(GST_STATE_PLAYING);
        watchPlayback();
    }
}

void GstMediaPlayer::watchPlayback() {
    // Once the item played, every wait for sound is watched: a stream whose buffer stops
    // growing, or a pipeline that does not get back to PLAYING, is fetched again. Before, the
    // ready timeout watches.
    if (status_ == ItemStatus::ReadyToPlay && prerolled_ && wantPlay_ && !stallTimer_.isActive())
        stallTimer_.start();
}

void GstMediaPlayer::readTrackFormat() {
    format_.reset();
    GstPad* pad = nullptr;
    g_signal_emit_by_name(playbin_, "get-audio-pad", 0, &pad);
    if (!pad)
        return;
    TrackFormat format;
    if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
        GstAudioInfo info;
        if (gst_audio_info_from_caps(&info, caps)) {
            format.isAudio = true;
            format.sampleRate = GST_AUDIO_INFO_RATE(&info);
            format.channels = unsigned(GST_AUDIO_INFO_CHANNELS(&info));
        }
        gst_caps_unref(caps);
    }
    gst_object_unref(pad);
    format_ = format;
}

void GstMediaPlayer::onTags(GstMessage* message) {
    GstTagList* tags = nullptr;
    gst_message_parse_tag(message, &tags);
    gchar* raw = nullptr;
    const bool hasTitle = gst_tag_list_get_string(tags, GST_TAG_TITLE, &raw);
    gst_tag_list_unref(tags);
    if (!hasTitle)
        return;
    const QString title = QString::fromUtf8(raw);
    g_free(raw);
    // An ICY stream's titles come from the tap, earlier and including the cleared ones; these
    // copies would arrive later and could undo a clearing.
    if (icyEpoch_ == epoch_)
        return;
    reportTitle(title);
}

void GstMediaPlayer::reportTitle(const QString& title) {
    // Every element on the way posts the title again, and servers repeat it: report changes.
    if (lastTitle_ == title)
        return;
    lastTitle_ = title;
    Q_EMIT timedMetadataReceived({MetadataGroup{MetadataItem{kStreamTitle, title}}});
}

void GstMediaPlayer::updateRate() {
    const float now = rate();
    if (now != reportedRate_) {
        reportedRate_ = now;
        Q_EMIT rateChanged(now);
    }
}
