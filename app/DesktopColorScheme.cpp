// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DesktopColorScheme.h"

#include <QDBusMessage>
#include <QLoggingCategory>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

Q_LOGGING_CATEGORY(lcAppearance, "ostrel.appearance", QtInfoMsg)

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kGroup = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");

// Read answers a variant inside a variant; unwrap however deep.
QVariant unwrapped(QVariant value) {
    while (value.canConvert<QDBusVariant>() && value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}
} // namespace

DesktopColorScheme::DesktopColorScheme(const QDBusConnection& bus, QObject* parent) : QObject(parent), bus_(bus) {}

void DesktopColorScheme::start() {
    if (!bus_.isConnected())
        return;
    // Only this one setting's changes reach us: the bus filters on the group.
    // No sender named: naming one would cost a blocking owner look-up at start.
    const bool listening = bus_.connect(QString(), kPath, kInterface, QStringLiteral("SettingChanged"), {kGroup, kKey},
                 QString(), this, SLOT(settingChanged(QDBusMessage)));
    if (!listening)
        qCWarning(lcAppearance) << "cannot follow the desktop's colour scheme:" << bus_.lastError().message();
    // Read rather than ReadOne: every portal version has it.
    QDBusMessage read = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Read"));
    read << kGroup << kKey;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(read), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *call;
        if (reply.isError())
            qCDebug(lcAppearance) << "no colour scheme from the desktop portal:" << reply.error().message();
        else
            setScheme(fromPortalValue(reply.value().variant()));
    });
}

ColorScheme DesktopColorScheme::fromPortalValue(const QVariant& value) {
    bool ok = false;
    const uint number = unwrapped(value).toUInt(&ok);
    if (!ok)
        return ColorScheme::NoPreference;
    return number == 1 ? ColorScheme::Dark : number == 2 ? ColorScheme::Light : ColorScheme::NoPreference;
}

void DesktopColorScheme::settingChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() == 3 && arguments[0].toString() == kGroup && arguments[1].toString() == kKey)
        setScheme(fromPortalValue(arguments[2]));
}

void DesktopColorScheme::setScheme(ColorScheme scheme) {
    if (scheme == scheme_)
        return;
    scheme_ = scheme;
    static const char* const names[] = {"no preference", "dark", "light"};
    qCInfo(lcAppearance) << "desktop colour scheme:" << names[int(scheme)];
    Q_EMIT schemeChanged(scheme);
}
