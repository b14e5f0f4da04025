#pragma once

#include "support/Tether.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

// The local directory emulator (tools/directory-emulator), started on a free loopback port for
// the life of this object.
class DirectoryEmulator {
public:
    explicit DirectoryEmulator(const QStringList& extraArguments = {})
        : server_("tools/directory-emulator/emulator.py",
                  QStringList{QStringLiteral("--port"), QStringLiteral("0")} + extraArguments) {}

    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.port()); }

    // The requests received so far, each {"method","path","query","headers"}.
    QJsonArray requests() { return QJsonDocument::fromJson(server_.call(QStringLiteral("/_control/requests"))).array(); }
    int requestCount(const QString& pathPrefix) {
        int n = 0;
        for (const QJsonValue& r : requests())
            n += r.toObject().value(QLatin1String("path")).toString().startsWith(pathPrefix);
        return n;
    }
    // Failure rules: {"mode": "...", "path_prefix": ..., "count": ...} or an array of them.
    void setMode(const QByteArray& json) { server_.call(QStringLiteral("/_control/mode"), "POST", json); }
    // {"active","received","rules"}: "active" counts the answers being sent right now.
    QJsonObject status() { return QJsonDocument::fromJson(server_.call(QStringLiteral("/_control/status"))).object(); }
    // Clears logs, rules, votes and edits; the emulator then lists itself as the only server,
    // so that a failing request has no other server to turn to unless a test adds one.
    void reset() {
        server_.call(QStringLiteral("/_control/reset"), "POST");
        listServers({baseUrl()});
    }
    void listServers(const QStringList& names) {
        server_.call(QStringLiteral("/_control/servers"), "POST", QJsonDocument(QJsonArray::fromStringList(names)).toJson());
    }
    // {"<stationuuid>": {"key": value} or null}: changed or retired stations.
    void edit(const QJsonObject& changes) {
        server_.call(QStringLiteral("/_control/edit"), "POST", QJsonDocument(changes).toJson());
    }

private:
    ScriptServer server_;
};
