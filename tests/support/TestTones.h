// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Test audio made with gst-launch-1.0 at test time: sine tones, encoded as a radio station would.
namespace TestTones {

// Writes `seconds` of a tone through the encoder (gst-launch-1.0 words) to `path`; an error text or empty.
inline QString encode(const QString& path, const QStringList& encoder, int rate, int channels, int seconds) {
    const QString source = QStringLiteral("-q audiotestsrc wave=sine num-buffers=%1 samplesperbuffer=%2 ! "
                                          "audioconvert ! audio/x-raw,rate=%3,channels=%4 !");
    const QStringList sink{QStringLiteral("!"), QStringLiteral("filesink"), "location=" + path};
    QProcess gst;
    gst.setProcessChannelMode(QProcess::MergedChannels);
    gst.start(QStringLiteral("gst-launch-1.0"),
              source.arg(seconds * 10).arg(rate / 10).arg(rate).arg(channels).split(u' ') + encoder + sink);
    if (!gst.waitForFinished(60000) || gst.exitStatus() != QProcess::NormalExit || gst.exitCode() != 0)
        return QStringLiteral("gst-launch-1.0 failed for %1: %2 %3")
            .arg(path, gst.errorString(), QString::fromLocal8Bit(gst.readAll()));
    return {};
}

inline QString mp3(const QString& path, int rate = 44100, int channels = 2, int seconds = 30) {
    return encode(path, QStringLiteral("lamemp3enc target=bitrate bitrate=128 cbr=true").split(u' '), rate,
                  channels, seconds);
}

// Ogg Vorbis with a TITLE comment (no double quotes in it).
inline QString vorbis(const QString& path, const QString& title, int rate = 22050, int channels = 1, int seconds = 30) {
    const QString tags = QStringLiteral("tags=\"title=\\\"%1\\\"\"").arg(title);
    return encode(path, {QStringLiteral("taginject"), tags, "!", "vorbisenc", "!", "oggmux"}, rate, channels,
                  seconds);
}

} // namespace TestTones
