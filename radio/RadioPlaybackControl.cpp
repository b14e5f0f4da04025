// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/RadioPlaybackControl.h"

#include "directory/RadioBrowser.h"
#include "radio/PlaybackSession.h"
#include "radio/PlayerCommands.h"
#include "radio/StationPlayer.h"
#include "ui/IconLoader.h"
#include "ui/StationImages.h"

#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcMpris, "ostrel.radio")

RadioPlaybackControl::RadioPlaybackControl(StationPlayer& playback, PlayerCommands& commands, IconLoader& icons,
                                           Hooks hooks, QObject* parent)
    : PlaybackControl(parent), playback_(playback), commands_(commands), session_(playback.session()), icons_(icons),
      hooks_(std::move(hooks)) {
    connect(&commands_, &PlayerCommands::canStepChanged, this, &PlaybackControl::changed);
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

bool RadioPlaybackControl::canGoNext() const {
    return commands_.canStep();
}

bool RadioPlaybackControl::canGoPrevious() const {
    return commands_.canStep();
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

void RadioPlaybackControl::next() {
    commands_.step(1);
}

void RadioPlaybackControl::previous() {
    commands_.step(-1);
}

bool RadioPlaybackControl::openUri(const QString& uri) {
    if (!PlayerCommands::isWebAddress(QUrl(uri.trimmed(), QUrl::StrictMode)))
        return false;
    commands_.playAddress(uri, [uri](const PlayerCommands::Outcome& outcome) {
        if (!outcome.done)
            qCInfo(lcMpris, "OpenUri [%s]: %s", qPrintable(uri.left(300)), qPrintable(outcome.error));
    });
    return true;
}

void RadioPlaybackControl::raise() {
    if (hooks_.raise)
        hooks_.raise();
}

void RadioPlaybackControl::quit() {
    if (hooks_.quit)
        hooks_.quit();
}
