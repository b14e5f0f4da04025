// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/OwnStations.h"

#include "directory/Playlist.h"
#include "directory/PlaylistWriter.h"
#include "directory/RadioBrowser.h"
#include "util/RemoteText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QUrl>
#include <QUuid>

namespace {
QString normalisedAddress(const QString& url) {
    return QUrl(url.trimmed()).adjusted(QUrl::NormalizePathSegments).toString();
}

void setText(Station::Builder& builder, Station::Key key, const QString& text) {
    const QByteArray utf8 = text.trimmed().toUtf8();
    builder.setString(key, std::string_view(utf8.constData(), std::size_t(utf8.size())));
}

// The stations that an addition keeps, counted into `report`.
StationList admitted(const StationList& favorites, const StationList& stations, OwnStations::Report& report) {
    QSet<QString> known;
    for (const Station& station : favorites)
        known.insert(normalisedAddress(station.string(Station::Key::Url)));
    StationList added;
    for (const Station& station : stations) {
        const QString url = station.string(Station::Key::Url);
        const QString address = normalisedAddress(url);
        if (!remote::isWebAddress(QStringView(url.trimmed()))) {
            ++report.notWeb;
        } else if (known.contains(address)) {
            ++report.repeats;
        } else if (favorites.size() + added.size() >= RadioBrowser::kMaxFavorites) {
            ++report.overLimit;
        } else {
            known.insert(address);
            added.append(station);
        }
    }
    report.added = int(added.size());
    return added;
}
} // namespace

bool OwnStations::isOwn(const Station& station) {
    return station.value(kCustomKey).toInteger() != 0;
}

Station OwnStations::make(const Fields& fields, const QString& uuid) {
    Station::Builder builder;
    setText(builder, Station::Key::StationUuid,
            uuid.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : uuid);
    setText(builder, Station::Key::Name, fields.name);
    setText(builder, Station::Key::Url, fields.url);
    setText(builder, Station::Key::Homepage, fields.homepage);
    setText(builder, Station::Key::Favicon, fields.favicon);
    setText(builder, Station::Key::Tags, fields.tags);
    setText(builder, Station::Key::CountryCode, fields.countryCode.trimmed().toUpper());
    setText(builder, Station::Key::Codec, fields.codec);
    builder.setInteger(Station::Key::Bitrate, qMax<qint64>(0, fields.bitrate));
    builder.setInteger("hls", fields.hls ? 1 : 0);
    builder.setInteger(kCustomKey, 1);
    return builder.build();
}

OwnStations::Fields OwnStations::fields(const Station& station) {
    Fields f;
    f.name = station.string(Station::Key::Name);
    f.url = station.string(Station::Key::Url);
    f.tags = station.string(Station::Key::Tags);
    f.homepage = station.string(Station::Key::Homepage);
    f.countryCode = station.string(Station::Key::CountryCode);
    f.favicon = station.string(Station::Key::Favicon);
    f.codec = station.string(Station::Key::Codec);
    f.bitrate = station.value(Station::Key::Bitrate).toInteger();
    f.hls = station.value("hls").toInteger() != 0;
    return f;
}

QString OwnStations::problem(const Fields& fields) {
    if (fields.name.trimmed().isEmpty())
        return tr("The station needs a name.");
    if (!remote::isWebAddress(QStringView(fields.url.trimmed())))
        return tr("Only http:// and https:// addresses can be added.");
    if (!fields.homepage.trimmed().isEmpty() && !remote::isWebAddress(QStringView(fields.homepage.trimmed())))
        return tr("The home page must be an http:// or https:// address.");
    if (!fields.favicon.trimmed().isEmpty() && !remote::isWebAddress(QStringView(fields.favicon.trimmed())))
        return tr("The icon must be an http:// or https:// address.");
    const QString country = fields.countryCode.trimmed();
    if (!country.isEmpty() && (country.size() != 2 || !country.at(0).isLetter() || !country.at(1).isLetter()))
        return tr("The country is a code of two letters, such as DE or US.");
    return QString();
}

QString OwnStations::favoritesFullText() {
    return tr("The favourites are full (%1 stations): remove one to add another.").arg(RadioBrowser::kMaxFavorites);
}

QString OwnStations::Report::text() const {
    QStringList skipped;
    if (repeats > 0)
        skipped.append(tr("%n already among the favourites", nullptr, repeats));
    if (notWeb > 0)
        skipped.append(tr("%n without an http:// or https:// address", nullptr, notWeb));
    if (overLimit > 0)
        skipped.append(tr("%n beyond the limit of %1 favourites", nullptr, overLimit).arg(RadioBrowser::kMaxFavorites));
    const QString done = tr("Added %n station(s).", nullptr, added);
    return skipped.isEmpty() ? done : done + u' ' + tr("Skipped %1.").arg(skipped.join(QStringLiteral("; ")));
}

OwnStations::Report OwnStations::addToFavorites(RadioBrowser& api, const StationList& stations) {
    Report report;
    if (admitted(api.favoriteStations(), stations, report).isEmpty())
        return report;
    api.editFavoriteStations([stations](StationList favorites) -> std::optional<StationList> {
        Report again;
        const StationList added = admitted(favorites, stations, again);
        if (added.isEmpty())
            return std::nullopt;
        return added + favorites;
    });
    return report;
}

void OwnStations::replace(RadioBrowser& api, const Station& edited) {
    auto edit = [edited](StationList list) -> std::optional<StationList> {
        bool changed = false;
        for (Station& station : list) {
            if (RadioBrowser::stationIsEqualTo(station, edited) && !(station == edited)) {
                station = edited;
                changed = true;
            }
        }
        return changed ? std::optional(list) : std::nullopt;
    };
    api.editFavoriteStations(edit);
    api.editRecentStations(edit);
}

std::optional<StationList> OwnStations::readPlaylistFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("Cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (file.size() > playlist::kMaxBytes) {
        *error = tr("%1 is larger than %2 KiB; no playlist is that long.").arg(path).arg(playlist::kMaxBytes / 1024);
        return std::nullopt;
    }
    const QByteArray bytes = file.read(playlist::kMaxBytes);
    const playlist::Format format = playlist::detect(bytes, {}, QFileInfo(path).fileName());
    if (format == playlist::Format::Unknown || format == playlist::Format::Hls) {
        *error = tr("%1 is not an M3U, PLS or XSPF playlist.").arg(path);
        return std::nullopt;
    }
    StationList stations;
    for (const playlist::Entry& entry : playlist::parse(bytes, format)) {
        Fields fields;
        fields.url = entry.url;
        fields.name = entry.name.isEmpty() ? QUrl(entry.url).host() : entry.name;
        if (fields.name.isEmpty())
            fields.name = playlist::cleanName(entry.url);
        stations.append(make(fields));
    }
    return stations;
}

QString OwnStations::writePlaylistFile(const StationList& stations, const QString& path) {
    const playlistwriter::Format format = playlistwriter::formatForFileName(path);
    if (format == playlistwriter::Format::None)
        return tr("Playlists are written as .m3u, .m3u8 or .pls files.");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(playlistwriter::write(stations, format)) < 0 || !file.commit())
        return tr("Cannot write %1: %2").arg(path, file.errorString());
    return QString();
}
