// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/mpris/PlaybackControl.h"

#include <functional>

class IconLoader;
class PlaybackSession;
class PlayerCommands;
class StationPlayer;

// The playback session as the desktop's media keys and now-playing widgets see it: what plays,
// its title and picture, the volume; play, pause and stop act like the play button; next and
// previous go through the favourites, and an opened address plays once.
class RadioPlaybackControl : public PlaybackControl {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> raise; // shows the player
        std::function<void()> quit;
    };

    RadioPlaybackControl(StationPlayer& playback, PlayerCommands& commands, IconLoader& icons, Hooks hooks,
                         QObject* parent = nullptr);

    Status playbackStatus() const override;
    QString title() const override;
    QString stationName() const override;
    QUrl artUrl() const override;
    double volume() const override;
    void setVolume(double volume) override;
    bool canGoNext() const override;
    bool canGoPrevious() const override;
    void play() override;
    void pause() override;
    void playPause() override;
    void stop() override;
    void next() override;
    void previous() override;
    bool openUri(const QString& uri) override;
    void raise() override;
    void quit() override;

private:
    StationPlayer& playback_;
    PlayerCommands& commands_;
    PlaybackSession& session_;
    IconLoader& icons_;
    Hooks hooks_;
};
