// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/SchemePalette.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>

// The desktop's colour scheme from the desktop portal ("org.freedesktop.appearance",
// "color-scheme" of org.freedesktop.portal.Settings): asked once without waiting for the
// answer, so start-up does not wait on a slow or missing portal, then followed through the
// portal's SettingChanged signal, which costs nothing while nothing changes. Without a portal
// the scheme stays NoPreference.
class DesktopColorScheme : public QObject {
    Q_OBJECT
public:
    explicit DesktopColorScheme(const QDBusConnection& bus, QObject* parent = nullptr);

    void start();
    ColorScheme scheme() const { return scheme_; }

    // The portal's value: 1 dark, 2 light, anything else no preference.
    static ColorScheme fromPortalValue(const QVariant& value);

Q_SIGNALS:
    void schemeChanged(ColorScheme scheme);

private Q_SLOTS:
    // SettingChanged(group, key, value), taken whole: the slot's types need no registration.
    void settingChanged(const QDBusMessage& message);

private:
    void setScheme(ColorScheme scheme);

    QDBusConnection bus_;
    ColorScheme scheme_ = ColorScheme::NoPreference;
};
