// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"
#include "directory/StationSearch.h"
#include "util/Error.h"

#include <QJsonArray>
#include <QString>
#include <QStringList>
#include <functional>

// The requests the program makes of the station directory. DirectoryClient answers them over
// HTTP; tests give a fake. Called on the main thread; every completion runs exactly once, on
// the main thread and never inside the call, with a value or an Error.
class StationDirectory {
public:
    template <typename T> using Completion = std::function<void(Expected<T>)>;
    using ServersCompletion = Completion<QStringList>;
    using CountriesCompletion = Completion<QJsonArray>;
    using StationsCompletion = Completion<StationList>;
    // The directory's word on a vote: counted, or its reason for not counting it (may be empty).
    struct VoteAnswer {
        bool counted = false;
        QString message;
    };
    using VoteCompletion = Completion<VoteAnswer>;

    virtual ~StationDirectory() = default;

    // The server that requests go to, and the user's choice of it.
    virtual QString server() const = 0;
    virtual void setServer(const QString& server) = 0;
    // The directory's API servers, each once.
    virtual void requestServers(ServersCompletion completion) = 0;
    // The country objects ("iso_3166_1", "name", "stationcount"), as sent.
    virtual void requestCountries(CountriesCompletion completion) = 0;
    // A country's working stations, validated and without repeats. A stored reply answers
    // unless `refresh`.
    virtual void requestStations(const QString& countryCode, bool refresh, StationsCompletion completion) = 0;
    // One page (StationSearch::kPageSize stations, counted before validation) of a search of the
    // whole directory from `offset`, validated like a country's.
    virtual void requestSearch(const StationSearch& search, int offset, bool refresh, StationsCompletion completion) = 0;
    // The stations with these identifiers that the directory still lists, as sent.
    virtual void requestStationsByUUID(const QStringList& uuids, StationsCompletion completion) = 0;
    // Tells the directory the station was played; no answer, failures are logged.
    virtual void incrementClick(const QString& uuid) = 0;
    virtual void vote(const QString& uuid, VoteCompletion completion) = 0;
};
