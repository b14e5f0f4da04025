// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/PlayerCommands.h"

#include "directory/RadioBrowser.h"
#include "directory/StationValidation.h"
#include "radio/PlaybackSession.h"
#include "radio/StationPlayer.h"
#include "radio/StreamRecorder.h"
#include "util/IcuText.h"

#include <QPointer>
#include <QRegularExpression>

namespace {
// The socket carries one line per request: the argument goes percent-encoded, so that no
// newline or blank in a name or address can split or bend it.
constexpr std::pair<PlayerCommands::Kind, QLatin1StringView> kVerbs[] = {
    {PlayerCommands::Kind::Play, QLatin1StringView("play")},
    {PlayerCommands::Kind::Stop, QLatin1StringView("stop")},
    {PlayerCommands::Kind::Toggle, QLatin1StringView("toggle")},
    {PlayerCommands::Kind::Next, QLatin1StringView("next")},
    {PlayerCommands::Kind::Previous, QLatin1StringView("previous")},
    {PlayerCommands::Kind::Volume, QLatin1StringView("volume")},
    {PlayerCommands::Kind::Record, QLatin1StringView("record")},
};

// The directory's identifiers are UUIDs; only those are worth asking it about.
bool looksLikeIdentifier(const QString& text) {
    static const QRegularExpression uuid(
        QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"),
        QRegularExpression::CaseInsensitiveOption);
    return uuid.match(text).hasMatch();
}

// "scheme://…": what the user meant as an address, whether or not we play its scheme.
bool looksLikeAddress(const QString& text) {
    static const QRegularExpression address(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return address.match(text).hasMatch();
}

void finish(const PlayerCommands::Completion& done, const QString& error = QString()) {
    if (done)
        done(PlayerCommands::Outcome{error.isEmpty(), error});
}
} // namespace

PlayerCommands::PlayerCommands(const Collaborators& collaborators, QObject* parent)
    : QObject(parent), c_(collaborators), canStep_(canStep()) {
    connect(c_.api, &RadioBrowser::favoriteStationsChanged, this, [this] {
        if (std::exchange(canStep_, canStep()) != canStep_)
            Q_EMIT canStepChanged();
    });
}

QString PlayerCommands::toRequest(const Command& command) {
    for (const auto& [kind, verb] : kVerbs)
        if (kind == command.kind)
            return command.argument.isEmpty()
                       ? QString(verb)
                       : verb + u' ' + QString::fromLatin1(QUrl::toPercentEncoding(command.argument));
    return QString();
}

std::optional<PlayerCommands::Command> PlayerCommands::fromRequest(const QString& request) {
    const QString verb = request.section(u' ', 0, 0);
    for (const auto& [kind, name] : kVerbs)
        if (verb == name)
            return Command{kind, QUrl::fromPercentEncoding(request.section(u' ', 1).toLatin1())};
    return std::nullopt;
}

std::optional<PlayerCommands::VolumeChange> PlayerCommands::parseVolume(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^([+-]?)([0-9]{1,3})$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int percent = match.captured(2).toInt();
    if (percent > 100)
        return std::nullopt;
    const QString sign = match.captured(1);
    return VolumeChange{sign == u'-' ? -percent : percent, !sign.isEmpty()};
}

bool PlayerCommands::isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

bool PlayerCommands::canStep() const {
    return c_.api->favoriteStations().size() >= 2;
}

void PlayerCommands::run(const Command& command, const Completion& done) {
    switch (command.kind) {
    case Kind::Play:
        play(command.argument, done);
        return;
    case Kind::Stop:
        c_.player->stop();
        finish(done);
        return;
    case Kind::Toggle:
        if (!c_.player->restoreLoadedStation())
            return finish(done, tr("No station is loaded."));
        c_.player->togglePlay();
        finish(done);
        return;
    case Kind::Next:
    case Kind::Previous:
        step(command.kind == Kind::Next ? 1 : -1, done);
        return;
    case Kind::Volume:
        adjustVolume(command.argument, done);
        return;
    case Kind::Record:
        record(command.argument, done);
        return;
    }
}

void PlayerCommands::play(const QString& argument, const Completion& done) {
    const QString wanted = argument.trimmed();
    if (wanted.isEmpty()) {
        if (!c_.player->restoreLoadedStation())
            return finish(done, tr("No station is loaded."));
        c_.player->play();
        return finish(done);
    }
    if (looksLikeAddress(wanted))
        return playAddress(wanted, done);
    const Station found = findStation(wanted, c_.api->favoriteStations(), c_.api->recentStations());
    if (!found.isNull()) {
        c_.player->loadStation(found, true);
        return finish(done);
    }
    if (!looksLikeIdentifier(wanted))
        return finish(done, tr("No favourite or recent station matches '%1'.").arg(wanted));
    // Any station of the directory, by its identifier.
    c_.api->requestStationsByUUID({wanted.toLower()}, [this, self = QPointer(this), wanted, done](
                                                Expected<StationList> stations) {
        if (!self)
            return;
        if (!stations.ok())
            return finish(done, stations.error().message);
        // As sent: cleaned and checked as a country's stations are.
        const StationList playable = stationvalidation::validatedStations(*stations);
        if (playable.isEmpty())
            return finish(done, tr("The directory has no station with the identifier '%1'.").arg(wanted));
        c_.player->loadStation(playable.first(), true);
        finish(done);
    });
}

void PlayerCommands::playAddress(const QString& address, const Completion& done) {
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    if (!isWebAddress(url))
        return finish(done, tr("Not a web address: '%1'.").arg(address));
    if (!c_.resolveAddress) {
        playOneOff(url, QString());
        return finish(done);
    }
    c_.resolveAddress(url, [this, self = QPointer(this), done](const QUrl& stream, const QString& name,
                                                               const QString& error) {
        if (!self)
            return;
        if (!error.isEmpty() || !isWebAddress(stream))
            return finish(done, error.isEmpty() ? tr("Not a web address: '%1'.").arg(stream.toString()) : error);
        playOneOff(stream, name);
        finish(done);
    });
}

void PlayerCommands::playOneOff(const QUrl& stream, const QString& name) {
    // No identifier: the player counts no click for it and keeps it out of the recents.
    Station::Builder station;
    station.setString("name", name.isEmpty() ? stream.host() + stream.path() : name);
    station.setString("url", QStringView(stream.toString(QUrl::FullyEncoded)));
    c_.player->loadStation(station.build(), true);
}

void PlayerCommands::step(int direction, const Completion& done) {
    const StationList favourites = c_.api->favoriteStations();
    if (favourites.isEmpty())
        return finish(done, tr("There are no favourites to go through."));
    const qsizetype here = c_.api->indexOfStation(c_.player->loadedStation(), favourites);
    const qsizetype count = favourites.size();
    const qsizetype next = here == RadioBrowser::kNotFound ? 0 : ((here + direction) % count + count) % count;
    c_.player->loadStation(favourites.at(next), true);
    finish(done);
}

void PlayerCommands::adjustVolume(const QString& argument, const Completion& done) {
    const std::optional<VolumeChange> change = parseVolume(argument);
    if (!change)
        return finish(done, tr("The volume is a number from 0 to 100, or +N or -N to change it."));
    const int now = qRound(c_.player->session().volume() * 100);
    c_.player->setVolume(qBound(0, change->relative ? now + change->percent : change->percent, 100) / 100.0);
    finish(done);
}

void PlayerCommands::record(const QString& argument, const Completion& done) {
    if (!c_.recorder)
        return finish(done, tr("Recording is not available."));
    const bool start = argument == QLatin1String("start") || (argument.isEmpty() && !c_.recorder->isRecording());
    if (!start) {
        c_.recorder->stop();
        return finish(done);
    }
    QString error;
    c_.recorder->start(&error);
    finish(done, error);
}

Station PlayerCommands::findStation(const QString& wanted, const StationList& favourites, const StationList& recents) {
    const StationList lists[] = {favourites, recents};
    for (const StationList& list : lists)
        for (const Station& station : list)
            if (station.string(Station::Key::StationUuid) == wanted)
                return station;
    const QString folded = icutext::foldedForSearch(wanted.trimmed());
    if (folded.isEmpty())
        return Station();
    for (const bool whole : {true, false})
        for (const StationList& list : lists)
            for (const Station& station : list) {
                const QString name = icutext::foldedForSearch(station.string(Station::Key::Name));
                if (whole ? name == folded : name.contains(folded))
                    return station;
            }
    return Station();
}
