// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/SongHistoryFile.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

class PlaybackSession;

// The titles the listener heard, newest first: every title a stream sends, a title repeated
// in a row once, with its station and time. It keeps the newest kLimit songs and every starred
// one besides. The file ("songHistory.dat") is read at construction; changes are written a
// moment later on a thread of its own, so a station that changes its title every half second
// costs one write every few seconds. Main thread.
class SongHistory : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kLimit = 1000;
    using Clock = std::function<QDateTime()>;

    // A file that cannot be read as a history is set aside as "<file>.damaged" and a new one
    // started. `clock` tells the time of new songs (the system clock when empty).
    explicit SongHistory(const QString& filePath, Clock clock = {}, QObject* parent = nullptr);
    ~SongHistory() override; // writes what is pending

    // Keeps every title the session hears from now on.
    void follow(const PlaybackSession& session);
    // Keeps `title` of `station`, unless it is empty or the last song again. True when kept.
    bool add(const Station& station, const QString& title);

    const SongList& songs() const { return songs_; }
    qsizetype indexOf(quint64 id) const;
    void setStarred(quint64 id, bool starred);
    SongList starredSongs() const;
    // Forgets every song but the starred ones.
    void clear();

    QDateTime now() const { return clock_(); }
    QString filePath() const { return path_; }
    // How long changes wait before they are written (tests make it short or long).
    void setSaveDelay(std::chrono::milliseconds delay) { saveTimer_.setInterval(delay); }
    // Writes what is pending now and waits until it is on disk.
    void flush();

    // The file as it is, without setting anything aside: an empty list when there is none.
    static std::optional<SongList> read(const QString& filePath, QString* error = nullptr);
    // "2024-05-01 14:03:12, Station, Artist - Title": the command line's line, in local time.
    static QString line(const SongEntry& song);
    // The songs as lines, or as CSV with a header row (RFC 4180).
    static QString toText(const SongList& songs);
    static QString toCsv(const SongList& songs);
    // The station to play a song's station again with: its copy among `lists` (favourites,
    // recents), which knows more than the history keeps, or else the kept one.
    static Station stationToPlay(const Station& kept, const QList<StationList>& lists);

Q_SIGNALS:
    void songAdded(quint64 id); // now first
    void songRemoved(quint64 id);
    void songChanged(quint64 id);
    void songsReset();

private:
    void trim();
    void changed();
    void save();

    QString path_;
    Clock clock_;
    SongList songs_;
    quint64 nextId_ = 1;
    QString lastKey_; // the station and title heard last, for repeats
    QTimer saveTimer_;
    bool dirty_ = false;
    QThreadPool writer_; // one thread: writes land in order
};
