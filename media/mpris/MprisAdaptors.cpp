#include "media/mpris/MprisAdaptors.h"

#include <algorithm>
#include <cmath>

MprisRootAdaptor::MprisRootAdaptor(QObject* object, PlaybackControl* control)
    : QDBusAbstractAdaptor(object), control_(control) {}

void MprisRootAdaptor::Raise() { control_->raise(); }
void MprisRootAdaptor::Quit() { control_->quit(); }

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* object, PlaybackControl* control)
    : QDBusAbstractAdaptor(object), control_(control) {}

QString MprisPlayerAdaptor::playbackStatus() const {
    switch (control_->playbackStatus()) {
    case PlaybackControl::Status::Playing:
        return QStringLiteral("Playing");
    case PlaybackControl::Status::Paused:
        return QStringLiteral("Paused");
    case PlaybackControl::Status::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap MprisPlayerAdaptor::metadata() const {
    QVariantMap map;
    const QString station = control_->stationName();
    if (station.isEmpty())
        return map;
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackId)));
    // Panels show the title first: the station stands in while the stream names nothing.
    const QString title = control_->title();
    map.insert(QStringLiteral("xesam:title"), title.isEmpty() ? station : title);
    map.insert(QStringLiteral("xesam:artist"), QStringList{station});
    const QUrl art = control_->artUrl();
    if (art.isValid() && !art.isEmpty())
        map.insert(QStringLiteral("mpris:artUrl"), art.toString(QUrl::FullyEncoded));
    return map;
}

double MprisPlayerAdaptor::volume() const { return control_->volume(); }

void MprisPlayerAdaptor::setVolume(double volume) {
    // MPRIS allows more than 1; the slider does not.
    control_->setVolume(std::isnan(volume) ? 0.0 : std::clamp(volume, 0.0, 1.0));
}

void MprisPlayerAdaptor::Play() { control_->play(); }
void MprisPlayerAdaptor::Pause() { control_->pause(); }
void MprisPlayerAdaptor::PlayPause() { control_->playPause(); }
void MprisPlayerAdaptor::Stop() { control_->stop(); }
