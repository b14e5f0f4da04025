// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/SystemWatcher.h"

#include "media/MediaLog.h"

#include <QDBusConnection>
#include <QNetworkInformation>

SystemWatcher::SystemWatcher(QObject* parent) : QObject(parent) {
    if (QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        QNetworkInformation* network = QNetworkInformation::instance();
        connect(network, &QNetworkInformation::reachabilityChanged, this,
                [this, online = network->reachability() == QNetworkInformation::Reachability::Online](
                    QNetworkInformation::Reachability reachability) mutable {
                    const bool was = std::exchange(online, reachability == QNetworkInformation::Reachability::Online);
                    if (online && !was) {
                        qCInfo(lcMedia, "The network is back");
                        Q_EMIT networkUp();
                    }
                });
    } else {
        qCInfo(lcMedia, "No network information; reconnections wait for their delays");
    }
    if (!QDBusConnection::systemBus().connect(QStringLiteral("org.freedesktop.login1"),
                                              QStringLiteral("/org/freedesktop/login1"),
                                              QStringLiteral("org.freedesktop.login1.Manager"),
                                              QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool))))
        qCInfo(lcMedia, "No system bus; sleep and waking go unnoticed");
}

void SystemWatcher::prepareForSleep(bool sleeping) {
    qCInfo(lcMedia, sleeping ? "The machine goes to sleep" : "The machine woke up");
    if (sleeping)
        Q_EMIT aboutToSleep();
    else
        Q_EMIT resumed();
}
