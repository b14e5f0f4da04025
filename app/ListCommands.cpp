// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ListCommands.h"

#include "app/SingleInstance.h"
#include "directory/DirectoryJson.h"
#include "directory/HttpFetcher.h"
#include "directory/OwnStations.h"
#include "directory/RadioBrowser.h"
#include "directory/StationResolver.h"
#include "util/HttpTransport.h"
#include "util/UserDefaults.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTextStream>

namespace {
const QString kAddRequest = QStringLiteral("add-stations ");
const QString kExportRequest = QStringLiteral("export ");
constexpr qsizetype kMaxRequestChars = SingleInstance::kMaxRequestBytes / 2; // UTF-8 of any text fits

QJsonObject toJson(const OwnStations::Report& report) {
    return {{QStringLiteral("added"), report.added}, {QStringLiteral("repeats"), report.repeats},
            {QStringLiteral("notWeb"), report.notWeb}, {QStringLiteral("overLimit"), report.overLimit}};
}

// The player's work, in the player or, when none runs, here on the list files.
QString perform(RadioBrowser& api, const QString& request) {
    if (request.startsWith(kExportRequest)) {
        const QString path = request.mid(kExportRequest.size());
        const StationList favorites = api.favoriteStations();
        const QString error = OwnStations::writePlaylistFile(favorites, path);
        return error.isEmpty() ? QStringLiteral("ok %1").arg(favorites.size()) : QStringLiteral("error ") + error;
    }
    const QByteArray json = request.mid(kAddRequest.size()).toUtf8();
    const Expected<StationList> sent = directoryjson::parseStationArray(json);
    if (!sent.ok())
        return QStringLiteral("error ") + ListCommands::tr("The player could not read the stations.");
    StationList stations;
    for (const Station& station : *sent) // only what an own station holds, marked as one
        stations.append(OwnStations::make(OwnStations::fields(station), station.string(Station::Key::StationUuid)));
    const OwnStations::Report report = OwnStations::addToFavorites(api, stations);
    return QStringLiteral("ok ") + QString::fromUtf8(QJsonDocument(toJson(report)).toJson(QJsonDocument::Compact));
}

// Hands the request to the running player, or does it here.
QString deliver(const QString& request) {
    SingleInstance instance(QStringLiteral("ostrel-radio"));
    QString answer;
    if (instance.sendToRunning(request, &answer))
        return answer.isEmpty() ? QStringLiteral("error ") + ListCommands::tr("The running player did not answer.") : answer;
    UserDefaults defaults;
    HttpTransport transport;
    HttpFetcher http(transport, QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                                    QStringLiteral("/Ostrel Radio/Directory"));
    RadioBrowser::Environment env;
    env.supportURL = QUrl::fromLocalFile(ListCommands::supportFolder());
    QDir().mkpath(ListCommands::supportFolder());
    env.defaults = &defaults;
    env.http = &http;
    RadioBrowser api(env);
    const QString result = perform(api, request);
    api.waitForSaves();
    return result;
}

std::optional<StationList> stationToAdd(const CommandLine& options, QString* error) {
    HttpTransport transport;
    StationResolver resolver(transport);
    std::optional<OwnStations::Fields> found;
    QEventLoop loop;
    resolver.resolve(options.addStation, [&](std::optional<OwnStations::Fields> fields, QString why) {
        found = std::move(fields);
        *error = why;
        loop.quit();
    });
    loop.exec();
    if (!found)
        return std::nullopt;
    if (!options.stationName.trimmed().isEmpty())
        found->name = options.stationName.trimmed();
    if (const QString problem = OwnStations::problem(*found); !problem.isEmpty()) {
        *error = problem;
        return std::nullopt;
    }
    return StationList{OwnStations::make(*found)};
}
} // namespace

QString ListCommands::supportFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Ostrel Radio");
}

std::optional<QString> ListCommands::answer(RadioBrowser& api, const QString& request) {
    if (!request.startsWith(kAddRequest) && !request.startsWith(kExportRequest))
        return std::nullopt;
    return perform(api, request);
}

int ListCommands::run(const CommandLine& options, QTextStream& out, QTextStream& err) {
    auto fail = [&err](const QString& why) {
        err << why << Qt::endl;
        return 1;
    };
    if (!options.exportFile.isEmpty()) {
        const QString path = QFileInfo(options.exportFile).absoluteFilePath();
        const QString answer = deliver(kExportRequest + path);
        if (!answer.startsWith(QLatin1String("ok ")))
            return fail(answer.mid(answer.indexOf(u' ') + 1));
        out << tr("Wrote %n favourite(s) to %1.", nullptr, answer.mid(3).toInt()).arg(path) << Qt::endl;
        return 0;
    }

    QString error;
    OwnStations::Report report; // what this side skipped already
    std::optional<StationList> stations = options.addStation.isEmpty()
                                              ? OwnStations::readPlaylistFile(options.importFile, &error)
                                              : stationToAdd(options, &error);
    if (!stations)
        return fail(error);
    // The request carries what fits in one; a longer list than that is far beyond the limit.
    QJsonArray array;
    qsizetype size = 0;
    for (const Station& station : std::as_const(*stations)) {
        const QByteArray json = QJsonDocument(station.toJsonObject()).toJson(QJsonDocument::Compact);
        if (size + json.size() + 1 > kMaxRequestChars) {
            ++report.overLimit;
            continue;
        }
        size += json.size() + 1;
        array.append(station.toJsonObject());
    }
    const QString answer = deliver(kAddRequest + QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)));
    if (!answer.startsWith(QLatin1String("ok ")))
        return fail(answer.mid(answer.indexOf(u' ') + 1));
    const QJsonObject counts = QJsonDocument::fromJson(answer.mid(3).toUtf8()).object();
    report.added += counts.value(QLatin1String("added")).toInt();
    report.repeats += counts.value(QLatin1String("repeats")).toInt();
    report.notWeb += counts.value(QLatin1String("notWeb")).toInt();
    report.overLimit += counts.value(QLatin1String("overLimit")).toInt();
    if (!options.addStation.isEmpty() && report.added == 0)
        return fail(report.overLimit > 0 ? OwnStations::favoritesFullText()
                                         : tr("This address is among the favourites already."));
    out << (options.addStation.isEmpty() ? report.text()
                                         : tr("Added \"%1\" to the favourites.").arg(stations->first().string(Station::Key::Name)))
        << Qt::endl;
    return 0;
}
