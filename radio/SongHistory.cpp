// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/SongHistory.h"

#include "radio/PlaybackSession.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>

// Its lines go with the panel's, under "ostrel.radio".
Q_LOGGING_CATEGORY(lcHistory, "ostrel.radio")

namespace {

QString keyOf(const Station& station, const QString& title) {
    const QString uuid = station.string(Station::Key::StationUuid);
    return (uuid.isEmpty() ? station.string(Station::Key::Url) : uuid) + u'\n' + title;
}

void write(const SongList& songs, const QString& path) {
    const QByteArray bytes = songhistoryfile::encode(songs);
    // Written beside the file and renamed over it: a crash leaves the old history or the new.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        qCWarning(lcHistory, "%s [%s]", "writeToURL", qUtf8Printable(file.errorString()));
}

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(u'"', QLatin1String("\"\"")) + u'"';
}

QString localTime(const SongEntry& song) {
    return song.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

SongHistory::SongHistory(const QString& filePath, Clock clock, QObject* parent)
    : QObject(parent), path_(filePath), clock_(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTimeUtc(); })) {
    writer_.setMaxThreadCount(1);
    saveTimer_.setSingleShot(true);
    saveTimer_.setInterval(std::chrono::seconds(2));
    connect(&saveTimer_, &QTimer::timeout, this, &SongHistory::save);

    QString error;
    std::optional<SongList> stored = read(path_, &error);
    if (!stored) {
        // Never lost and never in the way: the damaged file goes aside, a new history starts.
        const QString aside = path_ + QStringLiteral(".damaged");
        QFile::remove(aside);
        const bool moved = QFile::rename(path_, aside);
        qCWarning(lcHistory, "song history unreadable [%s]; %s", qUtf8Printable(error),
                  moved ? qUtf8Printable(QStringLiteral("set aside as ") + aside) : "could not set it aside");
        stored.emplace();
    }
    songs_ = std::move(*stored);
    for (SongEntry& song : songs_)
        song.id = nextId_++;
    if (!songs_.isEmpty())
        lastKey_ = keyOf(songs_.first().station, songs_.first().title);
    const qsizetype before = songs_.size();
    trim();
    if (songs_.size() != before)
        changed();
}

SongHistory::~SongHistory() {
    flush();
}

void SongHistory::follow(const PlaybackSession& session) {
    connect(&session, &PlaybackSession::titleChanged, this,
            [this, &session](const QString& title) { add(session.station(), title); });
}

bool SongHistory::add(const Station& station, const QString& title) {
    if (station.isNull() || title.trimmed().isEmpty())
        return false;
    const QString key = keyOf(station, title);
    if (key == lastKey_)
        return false;
    lastKey_ = key;
    SongEntry song;
    song.time = clock_().toUTC();
    song.title = title;
    song.station = songhistoryfile::keptStation(station);
    song.id = nextId_++;
    songs_.prepend(song);
    Q_EMIT songAdded(song.id);
    trim();
    changed();
    return true;
}

qsizetype SongHistory::indexOf(quint64 id) const {
    for (qsizetype i = 0; i < songs_.size(); ++i)
        if (songs_[i].id == id)
            return i;
    return -1;
}

void SongHistory::setStarred(quint64 id, bool starred) {
    const qsizetype i = indexOf(id);
    if (i < 0 || songs_[i].starred == starred)
        return;
    songs_[i].starred = starred;
    Q_EMIT songChanged(id);
    trim(); // an old song no longer starred falls off
    changed();
}

SongList SongHistory::starredSongs() const {
    SongList starred;
    for (const SongEntry& song : songs_)
        if (song.starred)
            starred.append(song);
    return starred;
}

void SongHistory::clear() {
    const SongList starred = starredSongs();
    if (starred.size() == songs_.size())
        return;
    songs_ = starred;
    Q_EMIT songsReset();
    changed();
}

void SongHistory::trim() {
    // The newest kLimit stay; older ones only when starred.
    for (qsizetype i = songs_.size() - 1; i >= kLimit; --i) {
        if (songs_[i].starred)
            continue;
        const quint64 id = songs_[i].id;
        songs_.removeAt(i);
        Q_EMIT songRemoved(id);
    }
}

void SongHistory::changed() {
    dirty_ = true;
    if (!saveTimer_.isActive()) // not restarted: a busy stream still gets written
        saveTimer_.start();
}

void SongHistory::save() {
    saveTimer_.stop();
    if (!std::exchange(dirty_, false))
        return;
    writer_.start([songs = songs_, path = path_] { write(songs, path); });
}

void SongHistory::flush() {
    save();
    writer_.waitForDone();
}

std::optional<SongList> SongHistory::read(const QString& filePath, QString* error) {
    QFile file(filePath);
    if (!file.exists())
        return SongList();
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return SongList();
    return songhistoryfile::decode(bytes, error);
}

QString SongHistory::line(const SongEntry& song) {
    return QStringLiteral("%1, %2, %3").arg(localTime(song), song.station.string(Station::Key::Name), song.title);
}

QString SongHistory::toText(const SongList& songs) {
    QString text;
    for (const SongEntry& song : songs)
        text += line(song) + u'\n';
    return text;
}

QString SongHistory::toCsv(const SongList& songs) {
    QString text = QStringLiteral("time,station,title,address\r\n");
    for (const SongEntry& song : songs)
        text += QStringList{localTime(song), csvField(song.station.string(Station::Key::Name)), csvField(song.title),
                            csvField(song.station.string(Station::Key::Url))}
                    .join(u',') +
                QLatin1String("\r\n");
    return text;
}

Station SongHistory::stationToPlay(const Station& kept, const QList<StationList>& lists) {
    const QString uuid = kept.string(Station::Key::StationUuid);
    if (!uuid.isEmpty())
        for (const StationList& list : lists)
            for (const Station& station : list)
                if (station.string(Station::Key::StationUuid) == uuid)
                    return station;
    return kept;
}
