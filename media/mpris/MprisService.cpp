// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/mpris/MprisService.h"

#include "media/MediaLog.h"
#include "media/mpris/MprisAdaptors.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace {
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
}

MprisService::MprisService(PlaybackControl* control, QObject* parent)
    : QObject(parent), control_(control), bus_(QString()) {
    new MprisRootAdaptor(this, control);
    player_ = new MprisPlayerAdaptor(this, control);
    connect(control, &PlaybackControl::changed, this, &MprisService::publishChanges);
}

MprisService::~MprisService() {
    if (!serviceName_.isEmpty()) {
        bus_.unregisterObject(kObjectPath);
        bus_.unregisterService(serviceName_);
    }
}

bool MprisService::start(const QDBusConnection& bus) {
    if (!serviceName_.isEmpty())
        return true;
    if (!bus.isConnected()) {
        qCInfo(lcMedia, "No session bus: desktop media controls (MPRIS) not offered");
        return false;
    }
    bus_ = bus;
    if (!bus_.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors)) {
        qCWarning(lcMedia, "MPRIS object path taken [%s]", qPrintable(bus_.lastError().message()));
        return false;
    }
    QString name = kServiceName;
    if (!bus_.registerService(name)) {
        name = kServiceName + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
        if (!bus_.registerService(name)) {
            qCWarning(lcMedia, "MPRIS name not available [%s]", qPrintable(bus_.lastError().message()));
            bus_.unregisterObject(kObjectPath);
            return false;
        }
    }
    serviceName_ = name;
    published_ = playerProperties();
    return true;
}

QVariantMap MprisService::playerProperties() const {
    return {{QStringLiteral("PlaybackStatus"), player_->playbackStatus()},
            {QStringLiteral("Metadata"), player_->metadata()},
            {QStringLiteral("Volume"), player_->volume()},
            {QStringLiteral("CanGoNext"), player_->canGoNext()},
            {QStringLiteral("CanGoPrevious"), player_->canGoPrevious()}};
}

void MprisService::publishChanges() {
    if (serviceName_.isEmpty() || !control_)
        return;
    const QVariantMap now = playerProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (published_.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    if (changed.isEmpty())
        return;
    published_ = now;
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    bus_.send(signal);
}
