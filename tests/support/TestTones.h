#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Test audio made with gst-launch-1.0 at test time: sine tones, encoded as a radio station would.
namespace TestTones {

// Writes `seconds` of a tone through the encoder elements to `path`; returns an error text,
// empty on success. Each argument is one gst-launch-1.0 word.
inline QString encode(const QString& path, const QStringList& encoder, int rate, int channels, int seconds) {
    const QStringList arguments =
        QStringList{QStringLiteral("-q"), QStringLiteral("audiotestsrc"), QStringLiteral("wave=sine"),
                    QStringLiteral("num-buffers=%1").arg(seconds * 10), QStringLiteral("samplesperbuffer=%1").arg(rate / 10),
                    QStringLiteral("!"), QStringLiteral("audioconvert"), QStringLiteral("!"),
                    QStringLiteral("audio/x-raw,rate=%1,channels=%2").arg(rate).arg(channels), QStringLiteral("!")} +
        encoder + QStringList{QStringLiteral("!"), QStringLiteral("filesink"), QStringLiteral("location=") + path};
    QProcess gst;
    gst.setProcessChannelMode(QProcess::MergedChannels);
    gst.start(QStringLiteral("gst-launch-1.0"), arguments);
    if (!gst.waitForFinished(60000) || gst.exitStatus() != QProcess::NormalExit || gst.exitCode() != 0)
        return QStringLiteral("gst-launch-1.0 failed for %1: %2 %3")
            .arg(path, gst.errorString(), QString::fromLocal8Bit(gst.readAll()));
    return {};
}

// MP3, constant 128 kbit/s.
inline QString mp3(const QString& path, int rate = 44100, int channels = 2, int seconds = 30) {
    return encode(path,
                  {QStringLiteral("lamemp3enc"), QStringLiteral("target=bitrate"), QStringLiteral("bitrate=128"),
                   QStringLiteral("cbr=true")},
                  rate, channels, seconds);
}

// Ogg Vorbis with a TITLE comment (no double quotes in it).
inline QString vorbis(const QString& path, const QString& title, int rate = 22050, int channels = 1, int seconds = 30) {
    return encode(path,
                  {QStringLiteral("taginject"), QStringLiteral("tags=\"title=\\\"%1\\\"\"").arg(title),
                   QStringLiteral("!"), QStringLiteral("vorbisenc"), QStringLiteral("!"), QStringLiteral("oggmux")},
                  rate, channels, seconds);
}

} // namespace TestTones
