// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/DirectoryJson.h"
#include "directory/RadioBrowser.h"
#include "support/Tether.h"
#include "util/UserDefaults.h"

#include <QtCore>
#include <memory>

// Stations for tests, written as JSON the way the directory sends them, read by its own parser.
inline Station stationFromJson(const QByteArray& json) {
    const auto stations = directoryjson::parseStationArray('[' + json + ']');
    if (!stations || stations->size() != 1)
        qFatal("not a station: %s", json.constData());
    return stations->first();
}
inline Station stationFromJson(const char* json) { return stationFromJson(QByteArray(json)); }
inline Station stationFromJson(const QJsonObject& object) {
    return stationFromJson(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

inline Station namedStation(const QString& uuid, const QString& name = QString()) {
    return stationFromJson(QJsonObject{{"stationuuid", uuid}, {"name", name.isNull() ? uuid : name}});
}

inline StationList namedStations(const QStringList& uuids) {
    StationList list;
    for (const QString& uuid : uuids)
        list.append(namedStation(uuid));
    return list;
}

inline QStringList strings(const StationList& list, Station::Key key) {
    QStringList values;
    for (const Station& s : list)
        values.append(s.string(key));
    return values;
}
inline QStringList uuids(const StationList& list) { return strings(list, Station::Key::StationUuid); }
inline QStringList names(const StationList& list) { return strings(list, Station::Key::Name); }

// What one station request's completion received.
struct StationsOutcome {
    int calls = 0;
    std::optional<StationList> stations;
    QString error; // null on success
    Error::Code code = Error::Code::None;

    RadioBrowser::StationsCompletion completion() {
        return [this](Expected<StationList> answer) {
            ++calls;
            stations = answer.optional();
            error = answer.ok() ? QString() : answer.error().message;
            code = answer.error().code;
        };
    }
};

// A RadioBrowser with its own data folder, settings and HTTP cache; launch() again to start anew.
// Given a StationDirectory (a FakeStationDirectory), it asks that one instead of a server.
struct DirectoryFixture {
    QTemporaryDir dir;
    HttpTransport transport;
    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<HttpFetcher> http;
    std::unique_ptr<RadioBrowser> api;
    StationDirectory* directory = nullptr; // none: the directory client over `http`
    int beeps = 0;

    explicit DirectoryFixture(const QString& server = QString(), const QString& discovery = QString()) {
        launch(server, discovery);
    }
    explicit DirectoryFixture(StationDirectory& fake) : directory(&fake) { launch(); }
    virtual ~DirectoryFixture() = default;

    RadioBrowser& launch(const QString& server = QString(), const QString& discovery = QString()) {
        shutDown();
        defaults = std::make_unique<UserDefaults>(dir.filePath(QStringLiteral("settings.ini")));
        http = std::make_unique<HttpFetcher>(transport, dir.filePath(QStringLiteral("cache")));
        RadioBrowser::Environment env;
        env.supportURL = QUrl::fromLocalFile(supportFile(QString()));
        env.defaults = defaults.get();
        env.http = http.get();
        env.serverOverride = server;
        env.discovery = discovery.isEmpty() ? server : discovery; // never the public directory
        env.beep = [this] { ++beeps; };
        env.cloud = startCloud();
        env.directory = directory;
        api = std::make_unique<RadioBrowser>(env);
        return *api;
    }

    virtual void shutDown() {
        if (api)
            api->waitForSaves();
        api.reset();
    }

    QString supportFile(const QString& name) const { return dir.filePath(QStringLiteral("support/") + name); }

protected:
    struct Unlaunched {};
    explicit DirectoryFixture(Unlaunched) {}
    virtual CloudMirror* startCloud() { return nullptr; }
};

// The local directory emulator (tools/directory-emulator) on a free loopback port.
class DirectoryEmulator {
public:
    explicit DirectoryEmulator(const QStringList& extraArguments = {})
        : server_("tools/directory-emulator/emulator.py",
                  QStringList{QStringLiteral("--port"), QStringLiteral("0")} + extraArguments) {}

    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.port()); }

    // The requests received so far, each {"method","path","query","raw_query","headers"}.
    QJsonArray requests() { return QJsonDocument::fromJson(server_.call(QStringLiteral("/_control/requests"))).array(); }
    int requestCount(const QString& pathPrefix) {
        const QJsonArray all = requests();
        return int(std::count_if(all.begin(), all.end(), [&](const QJsonValue& r) {
            return r.toObject().value(QLatin1String("path")).toString().startsWith(pathPrefix);
        }));
    }
    // The latest request for `path`, or the latest of all.
    QJsonObject lastRequest(const QString& path = QString()) {
        const QJsonArray all = requests();
        for (qsizetype i = all.size() - 1; i >= 0; --i)
            if (path.isNull() || all[i].toObject().value(QLatin1String("path")).toString() == path)
                return all[i].toObject();
        return {};
    }
    // Failure rules: {"mode": "...", "path_prefix": ..., "count": ...} or an array of them.
    void setMode(const QByteArray& json) { server_.call(QStringLiteral("/_control/mode"), "POST", json); }
    // Clears logs, rules, votes and edits, and lists the emulator as the only server to fall back on.
    void reset() {
        server_.call(QStringLiteral("/_control/reset"), "POST");
        listServers({baseUrl()});
    }
    // A fixture on this emulator, reset: each test starts from the same directory.
    std::unique_ptr<DirectoryFixture> freshFixture() {
        reset();
        return std::make_unique<DirectoryFixture>(baseUrl());
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

