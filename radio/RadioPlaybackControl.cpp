#include "radio/RadioPlaybackControl.h"

#include "directory/RadioBrowser.h"
#include "media/MediaPlayer.h"
#include "radio/PopoverView.h"
#include "radio/RadioViewController.h"
#include "ui/IconLoader.h"
#include "ui/StationImages.h"
#include "util/UserDefaults.h"

#include <QFileInfo>
#include <QSlider>

RadioPlaybackControl::RadioPlaybackControl(RadioViewController& controller, MediaPlayer& player, UserDefaults& defaults,
                                           IconLoader& icons, Hooks hooks, QObject* parent)
    : PlaybackControl(parent), controller_(controller), player_(player), defaults_(defaults), icons_(icons),
      hooks_(std::move(hooks)) {
    connect(&controller_, &RadioViewController::nowPlayingChanged, this, &PlaybackControl::changed);
    connect(&controller_, &RadioViewController::loadedStationChanged, this, &PlaybackControl::changed);
    connect(&controller_, &RadioViewController::playbackChanged, this, &PlaybackControl::changed);
    connect(&player_, &MediaPlayer::itemStatusChanged, this, &PlaybackControl::changed);
    connect(controller_.view()->volumeSlider, &QSlider::valueChanged, this, &PlaybackControl::changed);
}

PlaybackControl::Status RadioPlaybackControl::playbackStatus() const {
    // Not while the stream is still loading, nor after it failed: only once sound comes.
    return controller_.audioPlaying() ? Status::Playing : Status::Stopped;
}

QString RadioPlaybackControl::title() const {
    const QString text = controller_.nowPlaying();
    // Placeholders and warnings are the panel's words, not a title.
    if (text == RadioViewController::liveBroadcastText() ||
        text.startsWith(RadioViewController::kWarningPrefix))
        return QString();
    return text;
}

QString RadioPlaybackControl::stationName() const {
    return controller_.loadedStation().string(Station::Key::Name);
}

QUrl RadioPlaybackControl::artUrl() const {
    const Station station = controller_.loadedStation();
    if (station.isNull() || RadioBrowser::iconPathForStation(station).isEmpty())
        return QUrl();
    const QString file = icons_.cacheFilePath(stationimages::iconFolderForStation(station),
                                              station.string(Station::Key::StationUuid));
    return !file.isEmpty() && QFileInfo::exists(file) ? QUrl::fromLocalFile(file) : QUrl();
}

double RadioPlaybackControl::volume() const {
    return defaults_.doubleValue(settingskeys::kRadioVolume);
}

void RadioPlaybackControl::setVolume(double volume) {
    // Through the slider, so the panel, the setting and the player agree.
    controller_.view()->volumeSlider->setValue(qRound(qBound(0.0, volume, 1.0) * 100));
}

void RadioPlaybackControl::play() {
    if (player_.rate() == 0)
        controller_.player_play();
}

void RadioPlaybackControl::pause() {
    if (player_.rate() != 0)
        controller_.player_stop(); // a live stream has nothing to resume from: pausing stops it
}

void RadioPlaybackControl::playPause() {
    controller_.togglePlayAction();
}

void RadioPlaybackControl::stop() {
    controller_.player_stop();
}

void RadioPlaybackControl::raise() {
    if (hooks_.raise)
        hooks_.raise();
}

void RadioPlaybackControl::quit() {
    if (hooks_.quit)
        hooks_.quit();
}
