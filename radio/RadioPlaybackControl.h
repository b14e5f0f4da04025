#pragma once

#include "media/mpris/PlaybackControl.h"

#include <functional>

class IconLoader;
class PlaybackSession;
class StationPlayer;

// The playback session as the desktop's media keys and now-playing widgets see it: what plays,
// its title and picture, the volume; play, pause and stop act like the play button.
class RadioPlaybackControl : public PlaybackControl {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> raise; // shows the player
        std::function<void()> quit;
    };

    RadioPlaybackControl(StationPlayer& playback, IconLoader& icons, Hooks hooks, QObject* parent = nullptr);

    Status playbackStatus() const override;
    QString title() const override;
    QString stationName() const override;
    QUrl artUrl() const override;
    double volume() const override;
    void setVolume(double volume) override;
    void play() override;
    void pause() override;
    void playPause() override;
    void stop() override;
    void raise() override;
    void quit() override;

private:
    StationPlayer& playback_;
    PlaybackSession& session_;
    IconLoader& icons_;
    Hooks hooks_;
};
