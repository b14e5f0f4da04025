// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/StreamRecorder.h"

#include "media/MediaLog.h"
#include "media/MediaPlayer.h"
#include "radio/PlaybackSession.h"
#include "radio/RecordingWriter.h"
#include "util/SettingsKeys.h"
#include "util/UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>

StreamRecorder::StreamRecorder(Environment environment, QObject* parent)
    : QObject(parent), env_(std::move(environment)) {
    RecordingWriter::Reports reports;
    reports.context = this;
    reports.started = [this](const QString& path) {
        if (!recording_)
            return;
        currentFile_ = path;
        Q_EMIT fileStarted(path);
    };
    reports.finished = [this](const QString& path) { Q_EMIT fileFinished(path); };
    reports.failed = [this](const QString& error) {
        if (recording_)
            stop(Stop::WriteError, tr("Recording stopped: %1").arg(error));
    };
    writer_ = std::make_shared<RecordingWriter>(reports);
    // The tap stays for the player's life: an Ogg stream's headers come only as a connection
    // starts, and a recording started later needs them.
    env_.player->setStreamTap(writer_);

    connect(env_.session, &PlaybackSession::stateChanged, this, [this](PlaybackSession::State state) {
        // A reconnection goes on in the same file.
        if (state == PlaybackSession::State::Stopped || state == PlaybackSession::State::Failed)
            stop(Stop::Playback);
    });
    connect(env_.session, &PlaybackSession::stationChanged, this, [this] { stop(Stop::Playback); });
    connect(env_.session, &PlaybackSession::titleChanged, this, [this] {
        if (recording_ && split_) {
            startFile(false);
            inFirstFile_ = false;
        }
    });
    ticker_.setInterval(1000);
    connect(&ticker_, &QTimer::timeout, this, &StreamRecorder::tick);
}

StreamRecorder::~StreamRecorder() {
    stop(Stop::Listener);
    env_.player->setStreamTap(nullptr);
    writer_->close(); // the last bytes written, here rather than on a streaming thread
}

bool StreamRecorder::splitsAtTitles(const UserDefaults& defaults) {
    const QVariant split = defaults.value(settingskeys::kSplitRecordingsAtTitles);
    return !split.isValid() || split.toBool();
}

QString StreamRecorder::safeName(const QString& text) {
    QString name;
    name.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            name += u' ';
        else if (QStringView(u"/\\:*?\"<>|").contains(c))
            name += u'_'; // also for the file systems of music players and memory cards
        else
            name += c;
    }
    name = name.simplified();
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    // Cut whole characters, well within the 255 bytes a name may have, room left for " (2).mp3".
    while (name.toUtf8().size() > kMaxNameBytes)
        name.chop(name.size() >= 2 && name.at(name.size() - 1).isLowSurrogate() ? 2 : 1);
    return name.trimmed();
}

QString StreamRecorder::fileStem(const QDateTime& start, const QString& title, bool partial) {
    QString stem = start.toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    if (!title.trimmed().isEmpty())
        stem += u' ' + title;
    if (partial)
        stem += tr(" (partial)");
    return safeName(stem);
}

QString StreamRecorder::stationFolder(const QString& station) const {
    const QString name = safeName(station);
    return QDir(env_.musicFolder).filePath(QStringLiteral("Ostrel Radio/") + (name.isEmpty() ? tr("Station") : name));
}

qint64 StreamRecorder::fileSize() const {
    return recording_ ? writer_->fileSize() : 0;
}

QDateTime StreamRecorder::now() const {
    return env_.now ? env_.now() : QDateTime::currentDateTime();
}

qint64 StreamRecorder::freeBytes(const QString& folder) const {
    if (env_.freeBytes)
        return env_.freeBytes(folder);
    // The folder may not be there yet: its nearest existing parent has the same room.
    QString existing = QDir::cleanPath(folder);
    while (!QFileInfo::exists(existing) && existing.contains(u'/'))
        existing = QFileInfo(existing).absolutePath();
    return QStorageInfo(existing).bytesAvailable();
}

bool StreamRecorder::start(QString* error) {
    if (recording_)
        return true;
    const auto refuse = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!env_.session->isActive())
        return refuse(tr("Nothing is playing to record."));
    folder_ = stationFolder(env_.session->station().string(Station::Key::Name));
    if (freeBytes(folder_) < kLowSpace)
        return refuse(tr("Less than 500 MB free for recordings in %1.").arg(QDir::toNativeSeparators(env_.musicFolder)));
    recording_ = true;
    split_ = splitsAtTitles(*env_.defaults);
    message_.clear();
    currentFile_.clear();
    elapsed_.start();
    inFirstFile_ = true;
    startFile(split_); // joined in the middle of a title
    ticker_.start();
    qCInfo(lcMedia, "Recording to %s", qPrintable(folder_));
    Q_EMIT recordingChanged(true);
    Q_EMIT progressChanged(0, 0);
    return true;
}

void StreamRecorder::startFile(bool partial) {
    const QString title = env_.session->title();
    writer_->startFile({folder_, fileStem(now(), split_ ? title : QString(), partial), title,
                        env_.session->station().string(Station::Key::Name)});
}

void StreamRecorder::stop(Stop reason, const QString& message) {
    if (!recording_)
        return;
    recording_ = false;
    ticker_.stop();
    // Split, the last file ends in the middle of a title, as the first began in one (and is
    // marked so already).
    writer_->finish(split_ && !inFirstFile_ ? tr(" (partial)") : QString());
    message_ = message;
    currentFile_.clear();
    if (!message.isEmpty())
        qCInfo(lcMedia, "%s", qPrintable(message));
    Q_EMIT recordingChanged(false);
    Q_EMIT stopped(reason, message);
}

void StreamRecorder::tick() {
    if (freeBytes(folder_) < kLowSpace) {
        stop(Stop::LowSpace, tr("Recording stopped: less than 500 MB free in %1.")
                                 .arg(QDir::toNativeSeparators(env_.musicFolder)));
        return;
    }
    Q_EMIT progressChanged(elapsed_.elapsed(), writer_->fileSize());
}
