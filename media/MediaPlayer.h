// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <chrono>
#include <memory>
#include <optional>

// The one audio player the controller talks to. Implementations: GStreamer's playbin for the
// program, a scriptable fake for tests. All calls and signals on the main thread.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    enum class ItemStatus { Unknown, ReadyToPlay, Failed };

    // Format of the current item's first track, once it is known.
    struct TrackFormat {
        bool isAudio = false;
        double sampleRate = 0; // Hz
        unsigned channels = 0;
    };

    // One item of timed metadata, e.g. identifier "icy/StreamTitle" with the stream's title.
    struct MetadataItem {
        QString identifier;
        QString stringValue;
    };
    using MetadataGroup = QList<MetadataItem>;

    // How the stream's bytes are coded, as a recording writes them: MPEG audio (layer 3, or
    // layer 1 and 2), AAC with an ADTS header on each frame, or Ogg pages.
    enum class StreamFormat { Mp3, Mp2, Aac, Ogg };

    // Takes the stream's bytes as they arrive, before decoding and without the ICY metadata a
    // server puts between them: whole frames for MPEG audio and AAC, Ogg as it comes. Called on
    // a streaming thread, so it must hand the bytes on without waiting (for a disk, say).
    class StreamTap {
    public:
        virtual ~StreamTap() = default;
        // A connection's first bytes follow (a reconnection's too).
        virtual void streamStarted(MediaPlayer::StreamFormat format) = 0;
        virtual void streamData(MediaPlayer::StreamFormat format, const QByteArray& bytes) = 0;
    };

    using QObject::QObject;
    ~MediaPlayer() override = default;

    // 0 to 1, as the volume slider gives it.
    virtual void setVolume(float volume) = 0;
    virtual float volume() const = 0;
    // 0 while nothing plays (paused, or no item); not 0 while playing or starting.
    virtual float rate() const = 0;
    virtual void play() = 0;
    virtual void pause() = 0;

    virtual bool hasCurrentItem() const = 0;
    virtual QUrl currentItemUrl() const = 0;
    // Replaces the current item with a new one for `url`; an empty URL drops the item.
    virtual void replaceCurrentItem(const QUrl& url) = 0;
    virtual ItemStatus itemStatus() const = 0;
    // Why the current item failed, in a few words a user understands.
    virtual QString itemError() const = 0;
    virtual std::optional<TrackFormat> firstTrackFormat() const = 0;

    // The ALSA device to play on ("hw:1,0", "front:CARD=USB"), or empty for the system default.
    // Takes effect at once, also for the item playing. Players without a choice ignore it.
    virtual void setOutputDevice(const QString& alsaDevice) { Q_UNUSED(alsaDevice); }

    // The machine's network came back, or it woke up: a stream waiting to reconnect tries at
    // once, with the delays from the start. Anything else goes on as it was.
    virtual void retryNow() {}
    // The machine is about to sleep: a playing stream lets its connection go and waits to
    // reconnect (retryNow() on waking).
    virtual void dropForSleep() {}

    // Hands every following byte of the stream, across reconnections, to `tap`; none stops it.
    // Players that cannot tap their stream ignore it.
    virtual void setStreamTap(std::shared_ptr<StreamTap> tap) { Q_UNUSED(tap); }

Q_SIGNALS:
    void itemStatusChanged(MediaPlayer::ItemStatus status);
    // Timed metadata of the current item, each time the stream announces a new title; streams
    // repeat their title often, and a repeat of the title last delivered is not delivered again.
    // A station that clears its title delivers an "icy/StreamTitle" item with an empty text.
    void timedMetadataReceived(const QList<MediaPlayer::MetadataGroup>& groups);
    void rateChanged(float rate);
    // The stream dropped and the player tries again after `delay` (attempt counts from 1). It
    // keeps trying while playing is wanted; only pause() or a new item ends it.
    void reconnecting(int attempt, std::chrono::milliseconds delay);
    // After reconnecting: the stream is back. Its title is delivered again only if it changed.
    void reconnected();
    // Waiting for data before sound starts or goes on: the fill level, 0 to 99, then 100 when it
    // plays (again). Only changes are signalled.
    void bufferingChanged(int percent);
};
