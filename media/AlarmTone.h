// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <gst/gst.h>

// A beep made on this machine, half a second in every second, for when a stream leaves the
// listener in silence (the wake-up alarm). It has a small pipeline of its own and opens no
// address, so the player's rule that streams come from the web stays whole.
class AlarmTone : public QObject {
    Q_OBJECT
public:
    // `audioSink`: a gst-launch description of the output ("fakesink sync=true"); empty: the
    // environment variable OSTREL_AUDIO_SINK, then the output device given to start().
    explicit AlarmTone(QString audioSink = {}, QObject* parent = nullptr);
    ~AlarmTone() override;

    // `volume` from 0 to 1 as the volume slider gives it; `alsaDevice` as the player's output
    // device, empty for the system default. Starting again starts afresh.
    void start(float volume, const QString& alsaDevice = {});
    void stop();
    bool isPlaying() const { return pipeline_ != nullptr; }
    // For tests; owned by the tone.
    GstElement* pipeline() const { return pipeline_; }

private:
    GstElement* makeSink(const QString& alsaDevice) const;

    QString audioSink_;
    GstElement* pipeline_ = nullptr;
};
