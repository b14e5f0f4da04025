// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/mpris/PlaybackControl.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QPointer>
#include <QVariantMap>

class MprisPlayerAdaptor;

// The player's MPRIS 2 service, org.mpris.MediaPlayer2.OstrelRadio at /org/mpris/MediaPlayer2,
// through which desktop panels and media keys show and drive playback. Announces every change of
// the control's values with PropertiesChanged. Its call context lets OpenUri answer an address it
// does not open with an error.
class MprisService : public QObject, public QDBusContext {
    Q_OBJECT
public:
    static inline const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.OstrelRadio");
    static inline const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");

    explicit MprisService(PlaybackControl* control, QObject* parent = nullptr);
    ~MprisService() override;

    // Registers the service on `bus`. False, with one log line, when there is no bus to use: the
    // player works without it. A second running player takes the name with ".instance<pid>".
    bool start(const QDBusConnection& bus = QDBusConnection::sessionBus());
    // The bus name taken, empty when not started.
    QString serviceName() const { return serviceName_; }

private:
    void publishChanges();
    QVariantMap playerProperties() const;

    QPointer<PlaybackControl> control_;
    MprisPlayerAdaptor* player_;
    QDBusConnection bus_;
    QString serviceName_;
    QVariantMap published_;
};
