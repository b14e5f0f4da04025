// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/cloud/CloudAccount.h"

#include "util/UserDefaults.h"

#include <QHostAddress>

namespace {
QUrl withTrailingSlash(QUrl url) {
    QString path = url.path(QUrl::FullyEncoded);
    if (!path.endsWith(u'/'))
        url.setPath(path + u'/', QUrl::StrictMode);
    return url;
}

QString encodedSegment(const QString& segment) {
    return QString::fromLatin1(QUrl::toPercentEncoding(segment));
}
} // namespace

CloudAccount CloudAccount::load(const UserDefaults& defaults) {
    CloudAccount account;
    account.serverURL = withoutUserInfo(QUrl(defaults.string(settingskeys::kCloudServerURL)));
    account.user = defaults.string(settingskeys::kCloudUser);
    account.kind = kindFromName(defaults.string(settingskeys::kCloudServerKind));
    account.enabled = defaults.value(settingskeys::kCloudEnabled).toBool();
    return account;
}

void CloudAccount::store(UserDefaults& defaults) const {
    defaults.setValue(settingskeys::kCloudServerURL, withoutUserInfo(serverURL).toString());
    defaults.setValue(settingskeys::kCloudUser, user);
    defaults.setValue(settingskeys::kCloudServerKind, kindName(kind));
    defaults.setValue(settingskeys::kCloudEnabled, enabled);
}

bool CloudAccount::isComplete() const {
    const QString scheme = serverURL.scheme();
    return serverURL.isValid() && !serverURL.host().isEmpty() &&
           (scheme == QLatin1String("https") || scheme == QLatin1String("http")) && !user.isEmpty();
}

QString CloudAccount::insecureReason() const {
    const QString scheme = serverURL.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return QString();
    if (scheme == QLatin1String("http")) {
        const QHostAddress address(serverURL.host());
        if (serverURL.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || address.isLoopback())
            return QString();
        return QCoreApplication::translate(
                   "CloudAccount", "The address must start with https://: plain http would send the password "
                                   "unprotected to %1.")
            .arg(serverURL.host());
    }
    return tr("The address must start with https://.");
}

QUrl CloudAccount::folderURL() const {
    QUrl url = withTrailingSlash(serverURL);
    if (kind == ServerKind::Nextcloud)
        url.setPath(url.path(QUrl::FullyEncoded) + QStringLiteral("remote.php/dav/files/") +
                        encodedSegment(user) + u'/',
                    QUrl::StrictMode);
    return url;
}

QUrl CloudAccount::appFolderURL() const {
    QUrl url = folderURL();
    url.setPath(url.path(QUrl::FullyEncoded) + encodedSegment(kAppFolderName) + u'/', QUrl::StrictMode);
    return url;
}

QString CloudAccount::credentialKey() const {
    return user + u'@' + folderURL().toString(QUrl::RemoveUserInfo);
}

QString CloudAccount::kindName(ServerKind kind) {
    switch (kind) {
    case ServerKind::Nextcloud:
        return QStringLiteral("nextcloud");
    case ServerKind::Auto:
        return QStringLiteral("auto");
    case ServerKind::WebDav:
        break;
    }
    return QStringLiteral("webdav");
}

CloudAccount::ServerKind CloudAccount::kindFromName(const QString& name) {
    if (name == QLatin1String("nextcloud"))
        return ServerKind::Nextcloud;
    if (name == QLatin1String("auto"))
        return ServerKind::Auto;
    return ServerKind::WebDav;
}
