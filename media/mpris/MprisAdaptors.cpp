// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/mpris/MprisAdaptors.h"

#include <QDBusContext>
#include <QDBusError>
#include <algorithm>
#include <cmath>

MprisRootAdaptor::MprisRootAdaptor(QObject* object, PlaybackControl* control)
    : QDBusAbstractAdaptor(object), control_(control) {}

QStringList MprisRootAdaptor::supportedMimeTypes() const {
    return {QStringLiteral("audio/mpeg"),        QStringLiteral("audio/aac"),
            QStringLiteral("audio/aacp"),        QStringLiteral("audio/ogg"),
            QStringLiteral("audio/opus"),        QStringLiteral("audio/flac"),
            QStringLiteral("application/ogg"),   QStringLiteral("audio/x-mpegurl"),
            QStringLiteral("audio/mpegurl"),     QStringLiteral("application/vnd.apple.mpegurl"),
            QStringLiteral("audio/x-scpls"),     QStringLiteral("application/xspf+xml")};
}

void MprisRootAdaptor::Raise() { control_->raise(); }
void MprisRootAdaptor::Quit() { control_->quit(); }

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* object, PlaybackControl* control)
    : QDBusAbstractAdaptor(object), control_(control) {
    // Connected before the service's announcement, so that it carries the new track.
    connect(control, &PlaybackControl::changed, this, &MprisPlayerAdaptor::followTrack);
    followTrack();
}

std::pair<QString, QString> MprisPlayerAdaptor::artistAndTitle(const QString& text) {
    const qsizetype dash = text.indexOf(QLatin1String(" - "));
    if (dash < 0)
        return {QString(), text};
    const QString artist = text.left(dash).trimmed();
    const QString title = text.mid(dash + 3).trimmed();
    if (artist.isEmpty() || title.isEmpty())
        return {QString(), text};
    return {artist, title};
}

void MprisPlayerAdaptor::followTrack() {
    const QString track = control_->stationName() + u'\n' + control_->title();
    if (track != track_) {
        track_ = track;
        ++trackNumber_;
    }
}

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
    map.insert(QStringLiteral("mpris:trackid"),
               QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/ostrel/radio/track/%1").arg(trackNumber_))));
    // Panels show the title first: the station stands in while the stream names nothing.
    const auto [artist, title] = artistAndTitle(control_->title());
    map.insert(QStringLiteral("xesam:title"), title.isEmpty() ? station : title);
    if (!artist.isEmpty())
        map.insert(QStringLiteral("xesam:artist"), QStringList{artist});
    map.insert(QStringLiteral("xesam:album"), station);
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
void MprisPlayerAdaptor::Next() { control_->next(); }
void MprisPlayerAdaptor::Previous() { control_->previous(); }

void MprisPlayerAdaptor::OpenUri(const QString& uri) {
    if (control_->openUri(uri))
        return;
    if (const auto* context = dynamic_cast<const QDBusContext*>(parent()); context && context->calledFromDBus())
        context->sendErrorReply(QDBusError::NotSupported, QStringLiteral("Only http and https addresses are opened"));
}
