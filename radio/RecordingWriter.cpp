// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/RecordingWriter.h"

#include "media/MediaLog.h"
#include "radio/RecordingTags.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {
// A disk that takes no more for this long a stretch of a 320 kbit/s stream (about 13 min):
// rather lose the bytes than the memory.
constexpr qsizetype kMaxQueued = 32 * 1024 * 1024;
// How long written bytes may wait in memory: what a crash can lose of a recording.
constexpr std::chrono::milliseconds kBatch{500};

QString cannotWrite(const QFile& file) {
    return QCoreApplication::translate("RecordingWriter", "%1 cannot be written: %2").arg(file.fileName(), file.errorString());
}

QString extension(MediaPlayer::StreamFormat format, const QByteArray& oggHeaders) {
    switch (format) {
    case MediaPlayer::StreamFormat::Mp3:
        return QStringLiteral("mp3");
    case MediaPlayer::StreamFormat::Mp2:
        return QStringLiteral("mp2");
    case MediaPlayer::StreamFormat::Aac:
        return QStringLiteral("aac");
    case MediaPlayer::StreamFormat::Ogg:
        return oggHeaders.contains("OpusHead") ? QStringLiteral("opus") : QStringLiteral("ogg");
    }
    return QStringLiteral("bin");
}

// "stem.mp3", or "stem (2).mp3" and on when it is taken.
QString freePath(const QString& folder, const QString& stem, const QString& ext) {
    QString path = QDir(folder).filePath(stem + u'.' + ext);
    for (int n = 2; QFile::exists(path); ++n)
        path = QDir(folder).filePath(QStringLiteral("%1 (%2).%3").arg(stem).arg(n).arg(ext));
    return path;
}
} // namespace

// The file being written, on the writer's thread.
class RecordingWriter::Output {
public:
    bool isOpen() const { return file_.isOpen(); }

    // Opens the file for the first bytes; an error text, or empty.
    QString open(const File& wanted, MediaPlayer::StreamFormat format, const QByteArray& oggHeaders) {
        wanted_ = wanted;
        ext_ = extension(format, oggHeaders);
        file_.setFileName(freePath(wanted.folder, wanted.stem, ext_));
        if (!file_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return cannotWrite(file_);
        writtenOggHeaders_.clear();
        if (format == MediaPlayer::StreamFormat::Mp3 || format == MediaPlayer::StreamFormat::Mp2)
            return write(recordingtags::id3v2(wanted.title, wanted.station));
        return {};
    }

    QString write(const QByteArray& bytes) {
        if (file_.write(bytes) != bytes.size())
            return cannotWrite(file_);
        return {};
    }

    // An Ogg page: the stream's headers go first, once per file and again when they change
    // (a reconnection brings the same ones, a new chained stream others). Sample positions
    // count from the file's start, so players see its own length, not the stream's.
    QString writeOggPage(const QByteArray& page, const QByteArray& headers, quint64 start) {
        if (headers != writtenOggHeaders_) {
            writtenOggHeaders_ = headers;
            oggBase_ = start;
            if (QString error = write(headers); !error.isEmpty())
                return error;
        }
        const quint64 position = OggPageCutter::position(page);
        if (position == ~quint64(0))
            return write(page);
        return write(OggPageCutter::withPosition(page, position >= oggBase_ ? position - oggBase_ : 0));
    }

    qint64 size() const { return file_.pos(); }
    QString path() const { return file_.fileName(); }

    // Closes the file, renamed with `suffix`; its last path.
    QString close(const QString& suffix) {
        file_.close();
        QString path = file_.fileName();
        if (!suffix.isEmpty()) {
            const QString renamed = freePath(wanted_.folder, wanted_.stem + suffix, ext_);
            if (QFile::rename(path, renamed))
                path = renamed;
        }
        return path;
    }

private:
    QFile file_;
    File wanted_;
    QString ext_;
    QByteArray writtenOggHeaders_;
    quint64 oggBase_ = 0;
};

RecordingWriter::RecordingWriter(Reports reports) : reports_(std::move(reports)), thread_([this] { run(); }) {}

RecordingWriter::~RecordingWriter() {
    close();
}

void RecordingWriter::startFile(const File& file) {
    push({Item::Kind::Start, file, {}, {}, {}, {}, 0});
}

void RecordingWriter::finish(const QString& suffix) {
    push({Item::Kind::Finish, {}, suffix, {}, {}, {}, 0});
}

void RecordingWriter::close() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
        recording_ = false;
    }
    wake_.notify_one();
    if (thread_.joinable())
        thread_.join();
}

void RecordingWriter::push(Item item) {
    {
        const std::lock_guard lock(mutex_);
        if (closing_)
            return;
        recording_ = item.kind == Item::Kind::Start;
        ++commands_;
        queue_.push_back(std::move(item));
    }
    wake_.notify_one();
}

void RecordingWriter::streamStarted(MediaPlayer::StreamFormat format) {
    const std::lock_guard lock(mutex_);
    if (format == MediaPlayer::StreamFormat::Ogg)
        ogg_.restart();
}

void RecordingWriter::streamData(MediaPlayer::StreamFormat format, const QByteArray& bytes) {
    {
        const std::lock_guard lock(mutex_);
        // An Ogg stream's headers come once, at the start of the connection: they are kept
        // whether or not a recording runs.
        QList<OggPageCutter::Page> pages;
        if (format == MediaPlayer::StreamFormat::Ogg)
            pages = ogg_.add(bytes);
        if (!recording_)
            return;
        if (queuedBytes_ > kMaxQueued) {
            if (!std::exchange(overflowReported_, true))
                qCWarning(lcMedia, "Recording: the disk takes no more, stream bytes are dropped");
            return;
        }
        if (format == MediaPlayer::StreamFormat::Ogg) {
            for (OggPageCutter::Page& page : pages) {
                queuedBytes_ += page.bytes.size();
                queue_.push_back({Item::Kind::Data, {}, {}, format, std::move(page.bytes), ogg_.headers(), page.start});
            }
        } else {
            queuedBytes_ += bytes.size();
            queue_.push_back({Item::Kind::Data, {}, {}, format, bytes, {}, 0});
        }
    }
    // No wake-up: the thread comes for the bytes every kBatch.
}

void RecordingWriter::report(const std::function<void(const QString&)>& to, const QString& text) const {
    if (to && reports_.context)
        QMetaObject::invokeMethod(reports_.context, [to, text] { to(text); }, Qt::QueuedConnection);
}

void RecordingWriter::run() {
    Output output;
    std::optional<File> next; // to open with the next bytes
    bool broken = false;      // a write failed: nothing more until the next file
    for (;;) {
        std::deque<Item> items;
        {
            std::unique_lock lock(mutex_);
            // Frames come some 40 times a second: writing them in batches spares as many wake-ups.
            const auto due = [this] { return commands_ > 0 || closing_; };
            if (recording_)
                wake_.wait_for(lock, kBatch, due);
            else
                wake_.wait(lock, due);
            commands_ = 0;
            items.swap(queue_);
            queuedBytes_ = 0;
            overflowReported_ = false;
            if (items.empty() && closing_)
                break;
        }
        for (Item& item : items) {
            switch (item.kind) {
            case Item::Kind::Start:
                if (output.isOpen())
                    report(reports_.finished, output.close(QString()));
                next = item.file;
                broken = false;
                fileSize_ = 0;
                break;
            case Item::Kind::Finish:
                if (output.isOpen())
                    report(reports_.finished, output.close(item.suffix));
                next.reset();
                break;
            case Item::Kind::Data: {
                if (broken || (!output.isOpen() && !next))
                    break;
                QString error;
                if (!output.isOpen()) {
                    QDir().mkpath(next->folder);
                    error = output.open(*next, item.format, item.oggHeaders);
                    next.reset();
                    if (error.isEmpty())
                        report(reports_.started, output.path());
                }
                if (error.isEmpty())
                    error = item.format == MediaPlayer::StreamFormat::Ogg ? output.writeOggPage(item.bytes, item.oggHeaders, item.oggStart)
                                                                          : output.write(item.bytes);
                if (error.isEmpty()) {
                    fileSize_ = output.size();
                    break;
                }
                broken = true;
                qCWarning(lcMedia, "Recording stopped [%s]", qPrintable(error));
                if (output.isOpen())
                    report(reports_.finished, output.close(QString()));
                report(reports_.failed, error);
                break;
            }
            }
        }
    }
    if (output.isOpen())
        output.close(QString());
}
