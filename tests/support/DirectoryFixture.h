#pragma once

#include "directory/RadioBrowser.h"
#include "util/UserDefaults.h"

#include <QTemporaryDir>
#include <memory>

// What one station request's completion received.
struct StationsOutcome {
    int calls = 0;
    std::optional<StationList> stations;
    QString error;

    RadioBrowser::StationsCompletion completion() {
        return [this](std::optional<StationList> s, QString e) {
            ++calls;
            stations = std::move(s);
            error = std::move(e);
        };
    }
};

// A RadioBrowser with its own data folder, settings file and HTTP cache in a temporary folder.
// launch() again to simulate the next start of the program on the same folders.
struct DirectoryFixture {
    QTemporaryDir dir;
    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<HttpFetcher> http;
    std::unique_ptr<RadioBrowser> api;
    int beeps = 0;

    explicit DirectoryFixture(const QString& server = QString()) { launch(server); }

    RadioBrowser& launch(const QString& server = QString(), const QString& discovery = QString()) {
        if (api)
            api->waitForSaves();
        api.reset();
        defaults = std::make_unique<UserDefaults>(dir.filePath(QStringLiteral("settings.ini")));
        http = std::make_unique<HttpFetcher>(dir.filePath(QStringLiteral("cache")), QStringLiteral("Ostrel Radio/test"));
        RadioBrowser::Environment env;
        env.supportURL = QUrl::fromLocalFile(dir.filePath(QStringLiteral("support")));
        env.defaults = defaults.get();
        env.http = http.get();
        env.serverOverride = server;
        env.discovery = discovery.isEmpty() ? server : discovery; // never the public directory
        env.beep = [this] { ++beeps; };
        api = std::make_unique<RadioBrowser>(env);
        return *api;
    }

    QString supportFile(const QString& name) const { return dir.filePath(QStringLiteral("support/") + name); }
};
