// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"
#include "media/MediaPlayer.h"

#include <QObject>
#include <QUrl>
#include <functional>

class PlaybackSession;
class RadioBrowser;
class UserDefaults;

// Plays the loaded station: loads it, starts and stops its stream, keeps the volume, and drives
// the playback session from the media player. It needs no panel, so media keys, MPRIS and the
// command line work from launch on; the panel's controller asks it too. The first play of a
// loaded station counts a click and adds it to the recent stations. Main thread.
class StationPlayer : public QObject {
    Q_OBJECT
public:
    struct Collaborators {
        RadioBrowser* api = nullptr;
        MediaPlayer* player = nullptr;
        PlaybackSession* session = nullptr;
        UserDefaults* defaults = nullptr;
        QUrl supportURL;            // where "loadedStation.dat" is kept
        std::function<void()> beep; // the alert sound; none when empty
    };

    explicit StationPlayer(const Collaborators& collaborators, QObject* parent = nullptr);

    PlaybackSession& session() const { return *c_.session; }
    Station loadedStation() const;

    // Loads the station played last, when none is loaded: one read of "loadedStation.dat".
    // Returns whether a station is loaded afterwards.
    bool restoreLoadedStation();
    // Makes `station` the loaded one (stopping the one before, and remembering it for the next
    // start); plays it when `play`. Loading the loaded station only starts it when asked.
    void loadStation(const Station& station, bool play);
    void play();
    void stop();
    void togglePlay();
    // 0 to 1: the setting, the session and the player follow.
    void setVolume(double volume);

Q_SIGNALS:
    // A stream is about to be opened (the output must be free for it).
    void playbackWillStart();
    // Playing or starting, or not.
    void playbackChanged(bool playing);

private:
    void player_started();
    void itemStatusChanged(MediaPlayer::ItemStatus status);
    void metadataOutput(const QList<MediaPlayer::MetadataGroup>& groups);
    QUrl loadedStationURL() const;

    Collaborators c_;
    bool needsIncrement_ = false; // the loaded station has not been played yet
};
