// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QCoreApplication>
#include <QString>
#include <optional>
#include <string_view>

class RadioBrowser;

// Stations the user added by address or imported: ordinary stations with an identifier of
// their own and the number key `ostrel_custom` = 1, which list files and the cloud record keep.
// The directory never hears of them: no click count, no vote, no refresh.
class OwnStations {
    Q_DECLARE_TR_FUNCTIONS(OwnStations)
public:
    static constexpr std::string_view kCustomKey = "ostrel_custom";

    // What the user can see and change, and what the probe found.
    struct Fields {
        QString name;
        QString url;
        QString tags; // comma-separated
        QString homepage;
        QString countryCode;
        QString favicon;
        QString codec;
        qint64 bitrate = 0;
        bool hls = false;
        bool operator==(const Fields&) const = default;
    };

    // How an addition went: how many were added, and why the others were not.
    struct Report {
        int added = 0;
        int repeats = 0;   // the address is a favourite already, or came earlier in the file
        int notWeb = 0;    // no http:// or https:// address
        int overLimit = 0; // the favourites were full
        QString text() const;
    };

    static bool isOwn(const Station& station);
    // A new own station; `uuid` keeps an edited station's identity, empty makes a new one.
    static Station make(const Fields& fields, const QString& uuid = QString());
    static Fields fields(const Station& station);
    // Why the fields cannot make a station, for the user; empty when they can.
    static QString problem(const Fields& fields);

    // Adds the stations at the front of the favourites in their order, each address once, up
    // to the limit; one change, one save.
    static Report addToFavorites(RadioBrowser& api, const StationList& stations);
    // Replaces the station of the same identifier in both lists with `edited`.
    static void replace(RadioBrowser& api, const Station& edited);

    static QString favoritesFullText();

    // The entries of a playlist file (M3U, PLS, XSPF; another player's favourites) as own
    // stations, non-web entries included for addToFavorites to count; nothing and why when the
    // file cannot be read or is no playlist.
    static std::optional<StationList> readPlaylistFile(const QString& path, QString* error);
    // Writes the stations as the playlist the file name asks for (.m3u, .m3u8, .pls); an error
    // text, or empty.
    static QString writePlaylistFile(const StationList& stations, const QString& path);
};
