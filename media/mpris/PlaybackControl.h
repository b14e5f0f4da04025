// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

// Playback as the desktop's media controls (MPRIS) see and drive it. The radio controller
// implements it; the MPRIS service only reads it and passes requests on. Main thread only.
class PlaybackControl : public QObject {
    Q_OBJECT
public:
    enum class Status { Stopped, Playing, Paused };

    using QObject::QObject;
    ~PlaybackControl() override = default;

    virtual Status playbackStatus() const = 0;
    // The stream's now-playing title; empty while it gives none.
    virtual QString title() const = 0;
    // The loaded station's name; empty with no station.
    virtual QString stationName() const = 0;
    // The station's picture as a local file, or empty.
    virtual QUrl artUrl() const = 0;
    // 0 to 1, as the volume slider.
    virtual double volume() const = 0;
    virtual void setVolume(double volume) = 0;

    // Next and Previous have somewhere to go.
    virtual bool canGoNext() const = 0;
    virtual bool canGoPrevious() const = 0;

    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void playPause() = 0;
    virtual void stop() = 0;
    virtual void next() = 0;
    virtual void previous() = 0;
    // Plays a stream or playlist address; false when it is none the player opens.
    virtual bool openUri(const QString& uri) = 0;
    // Shows the player window.
    virtual void raise() = 0;
    virtual void quit() = 0;

Q_SIGNALS:
    // Any of the values above changed.
    void changed();
};
