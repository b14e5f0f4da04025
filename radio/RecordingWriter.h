// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/MediaPlayer.h"
#include "radio/OggPageCutter.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// Writes the stream's bytes to files on a thread of its own: the streaming threads only queue
// them, so a slow disk never holds up the sound. Files are opened with the first bytes after
// `startFile`, when the format (and so the extension) is known, and written unbuffered every half
// second, so a crash leaves a file that plays up to its last frame but half a second. Between recordings the bytes are dropped,
// but an Ogg stream's header pages are kept for the next file.
class RecordingWriter final : public MediaPlayer::StreamTap {
public:
    struct File {
        QString folder;
        QString stem;    // the name without extension
        QString title;   // for the tag
        QString station;
    };
    // Called on the thread of `context`, which drops them once it is gone.
    struct Reports {
        QPointer<QObject> context;
        std::function<void(const QString& path)> started;
        std::function<void(const QString& path)> finished; // under its last name
        std::function<void(const QString& error)> failed;
    };

    explicit RecordingWriter(Reports reports);
    ~RecordingWriter() override;

    // The file before (if any) is closed; the next bytes go to this one.
    void startFile(const File& file);
    // The current file is closed, its name given `suffix` (" (partial)"); bytes are dropped
    // until the next file.
    void finish(const QString& suffix = QString());
    // Writes what is queued and ends the thread; bytes after it are dropped.
    void close();
    // The bytes in the current file so far.
    qint64 fileSize() const { return fileSize_.load(); }

    // MediaPlayer::StreamTap, on streaming threads
    void streamStarted(MediaPlayer::StreamFormat format) override;
    void streamData(MediaPlayer::StreamFormat format, const QByteArray& bytes) override;

private:
    struct Item {
        enum class Kind { Start, Data, Finish } kind;
        File file;             // Start
        QString suffix;        // Finish
        MediaPlayer::StreamFormat format{};
        QByteArray bytes;      // Data: whole frames, or one Ogg page
        QByteArray oggHeaders; // Data: the Ogg stream's header pages at the time
        quint64 oggStart = 0;  // Data: the Ogg page's first sample in the stream
    };
    class Output;

    void push(Item item);
    void run();
    void report(const std::function<void(const QString&)>& to, const QString& text) const;

    const Reports reports_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Item> queue_;
    qsizetype queuedBytes_ = 0;
    int commands_ = 0; // starts and finishes queued: the thread comes at once
    bool recording_ = false;
    bool closing_ = false;
    bool overflowReported_ = false;
    OggPageCutter ogg_; // on the streaming threads, under the mutex
    std::atomic<qint64> fileSize_{0};
    std::thread thread_;
};
