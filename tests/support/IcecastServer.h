// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Tether.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

// A local Icecast 2 server with one ezstream source per mount looping a prepared file
// (tools/media/icecast.py), for the life of this object.
class IcecastServer {
public:
    struct Mount {
        QString path;   // "/radio.mp3"
        QString file;   // audio file to loop
        QString format; // ezstream's name: "MP3" or "Ogg"
    };

    explicit IcecastServer(const QList<Mount>& mounts) : server_("tools/media/icecast.py", arguments(mounts)) {}

    QUrl url(const QString& mount) const { return server_.url(mount); }

    // Sets the mount's stream title through the admin interface, as a station's playout does.
    // With `latin1`, Icecast is told the text is UTF-8 and sends it to listeners in its MP3
    // mounts' default, ISO-8859-1; without, it passes the bytes on as they are.
    bool setTitle(const QString& mount, const QString& title, bool latin1 = false) {
        const QString path = QStringLiteral("/admin/metadata?mount=%1&mode=updinfo&song=%2%3")
                                 .arg(QString::fromLatin1(QUrl::toPercentEncoding(mount)),
                                      QString::fromLatin1(QUrl::toPercentEncoding(title)),
                                      latin1 ? QStringLiteral("&charset=UTF-8") : QString());
        return server_.call(path, "GET", {}, "admin:" + password_).contains("Metadata update successful");
    }

    // Listeners of the mount now, -1 if it is not there.
    int listeners(const QString& mount) {
        const QJsonDocument status = QJsonDocument::fromJson(server_.call(QStringLiteral("/status-json.xsl")));
        const QJsonValue sources = status[QLatin1String("icestats")][QLatin1String("source")];
        // One source is an object, several an array.
        for (const QJsonValue& source : sources.isArray() ? sources.toArray() : QJsonArray{sources}) {
            if (source[QLatin1String("listenurl")].toString() == url(mount).toString())
                return source[QLatin1String("listeners")].toInt();
        }
        return -1;
    }

private:
    QStringList arguments(const QList<Mount>& mounts) const {
        QStringList list{QStringLiteral("--admin-password"), QString::fromLatin1(password_)};
        for (const Mount& m : mounts)
            list << QStringLiteral("--mount") << QStringLiteral("%1=%2:%3").arg(m.path, m.file, m.format);
        return list;
    }

    const QByteArray password_ = QByteArray::number(QRandomGenerator::global()->generate());
    ScriptServer server_;
};
