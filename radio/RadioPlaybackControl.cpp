#include "radio/RadioPlaybackControl.h"

#include "directory/RadioBrowser.h"
#include "radio/PlaybackSession.h"
#include "radio/StationPlayer.h"
#include "ui/IconLoader.h"
#include "ui/StationImages.h"

#include <QFileInfo>

RadioPlaybackControl::RadioPlaybackControl(StationPlayer& playback, IconLoader& icons, Hooks hooks, QObject* parent)
    : PlaybackControl(parent), playback_(playback), session_(playback.session()), icons_(icons), hooks_(std::move(hooks)) {
    connect(&session_, &PlaybackSession::stationChanged, this, &PlaybackControl::changed);
    connect(&session_, &PlaybackSession::stateChanged, this, &PlaybackControl::changed);
    connect(&session_, &PlaybackSession::titleChanged, this, &PlaybackControl::changed);
    connect(&session_, &PlaybackSession::volumeChanged, this, &PlaybackControl::changed);
}

PlaybackControl::Status RadioPlaybackControl::playbackStatus() const {
    // Not while the stream is loading or reconnecting, nor after it failed: only while sound comes.
    return session_.state() == PlaybackSession::State::Playing ? Status::Playing : Status::Stopped;
}

QString RadioPlaybackControl::title() const {
    return session_.title();
}

QString RadioPlaybackControl::stationName() const {
    return session_.station().string(Station::Key::Name);
}

QUrl RadioPlaybackControl::artUrl() const {
    const Station station = session_.station();
    if (station.isNull() || RadioBrowser::iconPathForStation(station).isEmpty())
        return QUrl();
    const QString file = icons_.cacheFilePath(stationimages::iconFolderForStation(station),
                                              station.string(Station::Key::StationUuid));
    return !file.isEmpty() && QFileInfo::exists(file) ? QUrl::fromLocalFile(file) : QUrl();
}

double RadioPlaybackControl::volume() const {
    return session_.volume();
}

void RadioPlaybackControl::setVolume(double volume) {
    playback_.setVolume(volume);
}

void RadioPlaybackControl::play() {
    if (!session_.isActive())
        playback_.play();
}

void RadioPlaybackControl::pause() {
    if (session_.isActive())
        playback_.stop(); // a live stream has nothing to resume from: pausing stops it
}

void RadioPlaybackControl::playPause() {
    playback_.togglePlay();
}

void RadioPlaybackControl::stop() {
    playback_.stop();
}

void RadioPlaybackControl::raise() {
    if (hooks_.raise)
        hooks_.raise();
}

void RadioPlaybackControl::quit() {
    if (hooks_.quit)
        hooks_.quit();
}
