// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/TitleNotifier.h"

#include "media/mpris/PlaybackControl.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QLoggingCategory>
#include <utility>

namespace {
Q_LOGGING_CATEGORY(lcNotify, "ostrel.notify")
}

TitleNotifier::TitleNotifier(PlaybackControl& playback, QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , playback_(playback)
    , bus_(std::move(bus)) {
    connect(&playback_, &PlaybackControl::changed, this, &TitleNotifier::playbackChanged);
}

void TitleNotifier::playbackChanged() {
    // The control announces volume and state changes too: only a new title (or the same
    // title on another station) counts.
    const QString title = playback_.title();
    const QString station = playback_.stationName();
    if (title == title_ && station == station_)
        return;
    title_ = title;
    station_ = station;
    if (!enabled_ || title.isEmpty())
        return;
    if (waiting_) {
        queued_ = true; // sent when the id of the one on screen is known
        return;
    }
    send();
}

void TitleNotifier::send() {
    const QUrl art = playback_.artUrl();
    const QString picture =
        art.isLocalFile() && QFileInfo::exists(art.toLocalFile()) ? art.toLocalFile() : QString();
    QVariantMap hints{{QStringLiteral("desktop-entry"), kAppIcon},
                      {QStringLiteral("category"), QStringLiteral("x-ostrel.title")},
                      {QStringLiteral("suppress-sound"), true},
                      {QStringLiteral("transient"), true}};
    if (!picture.isEmpty())
        hints.insert(QStringLiteral("image-path"), QUrl::fromLocalFile(picture).toString());
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << QStringLiteral("Ostrel Radio") << shownId_ << (picture.isEmpty() ? kAppIcon : picture)
         << (station_.isEmpty() ? QStringLiteral("Ostrel Radio") : station_) << title_.toHtmlEscaped()
         << QStringList() << hints << -1;
    waiting_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<uint> reply = *w;
        waiting_ = false;
        if (reply.isError())
            qCInfo(lcNotify) << "no desktop notification:" << reply.error().message();
        else
            shownId_ = reply.value();
        if (std::exchange(queued_, false) && enabled_ && !title_.isEmpty())
            send();
    });
}
