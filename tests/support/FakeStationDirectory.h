// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/StationDirectory.h"

#include <QtCore>
#include <optional>

// A station directory for tests of what the program does with its answers: canned countries,
// stations and searches, answered on a later turn of the event loop as the real client does
// (never inside the call), each request recorded. It can be told to fail and to hold its
// answers back until released.
class FakeStationDirectory : public QObject, public StationDirectory {
public:
    struct Request {
        QString kind;     // "servers", "countries", "stations", "search", "byuuid", "click", "vote"
        QString argument; // the country code, the search's name, the identifiers joined by ","
        bool refresh = false;
        int offset = 0;
    };

    QStringList servers;
    QJsonArray countries;
    QHash<QString, StationList> stationsByCountry;
    // What searches look through (a part of the name, without case, and the country code) and
    // where identifiers are found.
    StationList catalogue;
    QList<Request> requests;

    // The next `count` requests (every one with -1) fail with `error`.
    void failWith(const Error& error, int count = -1) {
        failure_ = error;
        failuresLeft_ = count;
    }
    // Answers (to requests of `kind` only, when given) wait until release(), which sends them
    // in the order asked (or the newest first).
    void hold(const QString& kind = QString()) {
        holding_ = true;
        heldKind_ = kind;
    }
    void release(bool newestFirst = false) {
        holding_ = false;
        QList<std::function<void()>> answers = std::exchange(held_, {});
        if (newestFirst)
            std::reverse(answers.begin(), answers.end());
        for (auto& answer : answers)
            QMetaObject::invokeMethod(this, answer, Qt::QueuedConnection);
    }
    int heldCount() const { return int(held_.size()); }
    int count(const QString& kind) const {
        return int(std::count_if(requests.begin(), requests.end(), [&](const Request& r) { return r.kind == kind; }));
    }
    Request last(const QString& kind) const {
        for (qsizetype i = requests.size() - 1; i >= 0; --i)
            if (requests[i].kind == kind)
                return requests[i];
        return {};
    }

    QString server() const override { return server_; }
    void setServer(const QString& server) override { server_ = server; }
    void requestServers(ServersCompletion completion) override {
        answer({QStringLiteral("servers"), QString()}, completion, servers);
    }
    void requestCountries(CountriesCompletion completion) override {
        answer({QStringLiteral("countries"), QString()}, completion, countries);
    }
    void requestStations(const QString& code, bool refresh, StationsCompletion completion) override {
        answer({QStringLiteral("stations"), code, refresh}, completion, stationsByCountry.value(code));
    }
    void requestSearch(const StationSearch& search, int offset, bool refresh, StationsCompletion completion) override {
        StationList found;
        for (const Station& s : catalogue)
            if (s.string(Station::Key::Name).contains(search.name, Qt::CaseInsensitive) &&
                (search.countryCode.isEmpty() || s.string(Station::Key::CountryCode) == search.countryCode))
                found.append(s);
        answer({QStringLiteral("search"), search.name, refresh, offset}, completion,
               found.mid(offset, StationSearch::kPageSize));
    }
    void requestStationsByUUID(const QStringList& uuids, StationsCompletion completion) override {
        StationList found;
        for (const Station& s : catalogue)
            if (uuids.contains(s.string(Station::Key::StationUuid)))
                found.append(s);
        answer({QStringLiteral("byuuid"), uuids.join(u',')}, completion, found);
    }
    void incrementClick(const QString& uuid) override { requests.append({QStringLiteral("click"), uuid}); }
    void vote(const QString& uuid, VoteCompletion completion) override {
        answer({QStringLiteral("vote"), uuid}, completion, VoteAnswer{true, QString()});
    }

private:
    template <typename T> void answer(const Request& request, const Completion<T>& completion, T value) {
        requests.append(request);
        std::optional<Error> error;
        if (failure_ && failuresLeft_ != 0) {
            error = failure_;
            if (failuresLeft_ > 0 && --failuresLeft_ == 0)
                failure_.reset();
        }
        std::function<void()> send = [completion, value = std::move(value), error] {
            if (error)
                completion(*error);
            else
                completion(value);
        };
        if (holding_ && (heldKind_.isEmpty() || heldKind_ == request.kind))
            held_.append(std::move(send));
        else
            QMetaObject::invokeMethod(this, send, Qt::QueuedConnection);
    }

    QString server_ = QStringLiteral("fake.example");
    std::optional<Error> failure_;
    int failuresLeft_ = 0;
    bool holding_ = false;
    QString heldKind_;
    QList<std::function<void()>> held_;
};
