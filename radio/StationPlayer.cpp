// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/StationPlayer.h"

#include "directory/RadioBrowser.h"
#include "media/MediaPlayer.h"
#include "radio/PlaybackSession.h"
#include "util/FileURLs.h"
#include "util/SettingsKeys.h"
#include "util/UserDefaults.h"

StationPlayer::StationPlayer(const Collaborators& collaborators, QObject* parent)
    : QObject(parent), c_(collaborators) {
    using State = PlaybackSession::State;
    connect(c_.player, &MediaPlayer::itemStatusChanged, this, &StationPlayer::itemStatusChanged);
    connect(c_.player, &MediaPlayer::timedMetadataReceived, this, &StationPlayer::metadataOutput);
    connect(c_.player, &MediaPlayer::reconnecting, this,
            [this](int, std::chrono::milliseconds delay) { session().setReconnecting(delay); });
    connect(c_.player, &MediaPlayer::reconnected, this, [this] { session().setState(State::Playing); });
    // The stored volume as it is: nothing to write back at launch.
    const double volume = qBound(0.0, c_.defaults->doubleValue(settingskeys::kRadioVolume), 1.0);
    session().setVolume(volume);
    c_.player->setVolume(float(volume));
}

Station StationPlayer::loadedStation() const {
    return session().station();
}

QUrl StationPlayer::loadedStationURL() const {
    return QUrl::fromLocalFile(c_.supportURL.toLocalFile() + QStringLiteral("/loadedStation.dat"));
}

bool StationPlayer::restoreLoadedStation() {
    if (loadedStation().isNull()) {
        const QUrl file = loadedStationURL();
        const Station stored = fileurls::exists(file) ? c_.api->readStationFromURL(file) : Station();
        if (!stored.isNull())
            loadStation(stored, false);
    }
    return !loadedStation().isNull();
}

void StationPlayer::loadStation(const Station& station, bool play) {
    if (station.isNull())
        return;
    if (RadioBrowser::stationIsEqualTo(station, loadedStation())) {
        if (play && !session().isActive())
            this->play();
        return;
    }
    stop();
    session().setStation(station); // stopped, no title, no format yet
    needsIncrement_ = true;
    c_.api->writeStationLater(station, loadedStationURL());
    if (play)
        this->play();
}

void StationPlayer::play() {
    const Station station = loadedStation();
    const QString url = station.string(Station::Key::Url);
    if (station.isNull() || url.isEmpty() || !QUrl(url).isValid()) {
        if (c_.beep)
            c_.beep();
        return;
    }
    // Before the player is asked: it may answer at once.
    session().setTitle(QString()); // the new item announces its titles afresh
    session().setState(PlaybackSession::State::Loading);
    Q_EMIT playbackWillStart();
    c_.player->replaceCurrentItem(QUrl(url));
    c_.player->play();
    // An address played once has no identifier: no click to count, no place in the recents.
    if (std::exchange(needsIncrement_, false) && !station.string(Station::Key::StationUuid).isEmpty()) {
        c_.api->incrementClickForStation(station);
        c_.api->addRecentStation(station);
    }
    Q_EMIT playbackChanged(true);
}

void StationPlayer::stop() {
    session().setState(PlaybackSession::State::Stopped); // no stream, no format
    c_.player->pause();
    if (c_.player->hasCurrentItem())
        c_.player->replaceCurrentItem(QUrl());
    Q_EMIT playbackChanged(false);
}

void StationPlayer::togglePlay() {
    if (session().isActive())
        stop();
    else
        play();
}

void StationPlayer::setVolume(double volume) {
    volume = qBound(0.0, volume, 1.0);
    c_.defaults->setValue(settingskeys::kRadioVolume, volume);
    session().setVolume(volume);
    c_.player->setVolume(float(volume));
}

void StationPlayer::player_started() {
    session().setState(PlaybackSession::State::Playing);
    const auto format = c_.player->firstTrackFormat();
    session().setFormat(format && format->isAudio
                            ? QString::asprintf("%.1fkHz - %uch", format->sampleRate / 1000.0, format->channels)
                            : QString());
}

void StationPlayer::itemStatusChanged(MediaPlayer::ItemStatus status) {
    if (status == MediaPlayer::ItemStatus::ReadyToPlay) {
        player_started();
    } else if (status == MediaPlayer::ItemStatus::Failed) {
        // Never stay at "Loading...": say what happened and let the user try again.
        const QString why = c_.player->itemError();
        stop();
        session().setState(PlaybackSession::State::Failed, why.isEmpty() ? tr("Stream not available") : why);
    }
}

void StationPlayer::metadataOutput(const QList<MediaPlayer::MetadataGroup>& groups) {
    for (const MediaPlayer::MetadataGroup& group : groups)
        for (const MediaPlayer::MetadataItem& item : group)
            if (item.identifier == QLatin1String("icy/StreamTitle") && !item.stringValue.isEmpty()) {
                session().setTitle(item.stringValue);
                return;
            }
    session().setTitle(QString()); // a delivery without a title: the stream has none now
}
