// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

class MediaPlayer;
class PlaybackSession;
class RecordingWriter;
class UserDefaults;

// Records the playing stream as it comes, without decoding it: the player hands over its bytes
// (MediaPlayer::setStreamTap) and a writer thread puts them in files under
// "<music folder>/Ostrel Radio/<station>/", named by the time each file starts. Split at each
// new title (a setting, on unless turned off), each title gets a file of its own named after it,
// and the first and the last are marked partial. A reconnection goes on in the same file;
// stopping playback, another station, quitting or less than 500 MB of free space end the
// recording. Main thread.
class StreamRecorder : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kLowSpace = 500LL * 1000 * 1000;
    static constexpr int kMaxNameBytes = 200; // of a file's or folder's name, in UTF-8

    // Why a recording ended: the listener, playback stopping (or another station), too little
    // room, a file that cannot be written.
    enum class Stop { Listener, Playback, LowSpace, WriteError };
    Q_ENUM(Stop)

    struct Environment {
        MediaPlayer* player = nullptr;
        PlaybackSession* session = nullptr;
        UserDefaults* defaults = nullptr;
        QString musicFolder;
        std::function<QDateTime()> now;                       // the local clock when empty
        std::function<qint64(const QString& folder)> freeBytes; // the file system's when empty
    };

    explicit StreamRecorder(Environment environment, QObject* parent = nullptr);
    ~StreamRecorder() override;

    bool isRecording() const { return recording_; }
    // Starts recording the station playing (or loading); false, with the reason in `error`,
    // when nothing plays or there is no room.
    bool start(QString* error = nullptr);
    void stop() { stop(Stop::Listener); }

    // The file being written, once its first bytes came; its size and the recording's time.
    QString currentFile() const { return currentFile_; }
    qint64 fileSize() const;
    qint64 elapsedMs() const { return recording_ ? elapsed_.elapsed() : 0; }
    // Why the last recording ended by itself (no room, a write error); empty otherwise.
    QString message() const { return message_; }
    // The folder of a station's recordings.
    QString stationFolder(const QString& station) const;

    // Whether recordings get a file per title (the setting; on when never set).
    static bool splitsAtTitles(const UserDefaults& defaults);
    // `text` as a file or folder name: no slashes or control characters, no leading dot, at
    // most kMaxNameBytes.
    static QString safeName(const QString& text);
    // "2026-05-01 14.03.07", then the title and " (partial)" as asked.
    static QString fileStem(const QDateTime& start, const QString& title, bool partial);

Q_SIGNALS:
    void recordingChanged(bool recording);
    void fileStarted(const QString& path);
    void fileFinished(const QString& path); // closed, under its last name
    // Each second while recording: its time so far and the current file's size.
    void progressChanged(qint64 elapsedMs, qint64 bytes);
    void stopped(StreamRecorder::Stop reason, const QString& message);

private:
    void stop(Stop reason, const QString& message = QString());
    void startFile(bool partial);
    void tick();
    QDateTime now() const;
    qint64 freeBytes(const QString& folder) const;

    Environment env_;
    std::shared_ptr<RecordingWriter> writer_;
    bool recording_ = false;
    bool split_ = false; // for this recording
    bool inFirstFile_ = false;
    QString folder_;
    QString currentFile_;
    QString message_;
    QElapsedTimer elapsed_;
    QTimer ticker_;
};
