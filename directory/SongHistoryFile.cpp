// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/SongHistoryFile.h"

#include "directory/StationArchive.h"

#include <algorithm>
#include <array>

namespace songhistoryfile {
namespace {

constexpr std::string_view kTime = "time";
constexpr std::string_view kTitle = "title";
constexpr std::string_view kStarred = "starred";
constexpr std::string_view kCustom = "ostrel_custom";
// The station's keys an entry keeps, besides the name and address it needs.
constexpr std::array<std::string_view, 2> kOptionalTexts{"stationuuid", "favicon"};

// Dates a history can hold: from 2000 to 2200, so that a hostile number is no date at all.
constexpr qint64 kEarliest = 946684800000LL;
constexpr qint64 kLatest = 7258118400000LL;

bool fail(QString* error, qsizetype index, const char* why) {
    if (error)
        *error = QStringLiteral("song %1: %2").arg(index).arg(QLatin1String(why));
    return false;
}

bool readSong(const Station& record, qsizetype index, SongEntry& song, QString* error) {
    const StationValue time = record.value(kTime);
    const StationValue title = record.value(kTitle);
    if (time.type() != StationValue::Type::Integer || time.toInteger() < kEarliest || time.toInteger() > kLatest)
        return fail(error, index, "no time");
    if (!title.isString() || title.utf8().empty())
        return fail(error, index, "no title");
    if (!record.value(Station::Key::Name).isString() || !record.value(Station::Key::Url).isString())
        return fail(error, index, "no station name or address");
    bool known = true;
    Station::Builder station;
    record.forEach([&](stationkeys::KeyId key, const StationValue& value) {
        const std::string_view name = stationkeys::nameUtf8(key);
        if (name == kTime || name == kTitle)
            return;
        if (name == kStarred) {
            known = known && value.type() == StationValue::Type::Bool;
            song.starred = value.toBool();
        } else if (name == kCustom) {
            known = known && value.type() == StationValue::Type::Integer && value.toInteger() == 1;
            station.set(key, value);
        } else if (key == Station::Key::Name || key == Station::Key::Url ||
                   std::find(kOptionalTexts.begin(), kOptionalTexts.end(), name) != kOptionalTexts.end()) {
            known = known && value.isString();
            station.set(key, value);
        } else {
            known = false;
        }
    });
    if (!known)
        return fail(error, index, "an unknown key or a value of the wrong type");
    song.time = QDateTime::fromMSecsSinceEpoch(time.toInteger(), Qt::UTC);
    song.title = title.toString();
    song.station = station.build();
    return true;
}

} // namespace

Station keptStation(const Station& station) {
    Station::Builder kept;
    kept.setString(Station::Key::Name, station.utf8(Station::Key::Name));
    kept.setString(Station::Key::Url, station.utf8(Station::Key::Url));
    for (const std::string_view key : kOptionalTexts)
        if (const StationValue value = station.value(key); value.isString() && !value.utf8().empty())
            kept.setString(key, value.utf8());
    if (station.value(kCustom).toInteger() == 1)
        kept.setInteger(kCustom, 1);
    return kept.build();
}

QByteArray encode(const SongList& songs) {
    StationList records;
    records.reserve(songs.size());
    Station::Builder record;
    for (const SongEntry& song : songs) {
        record = Station::Builder(song.station);
        record.setInteger(kTime, song.time.toMSecsSinceEpoch());
        record.setString(kTitle, QStringView(song.title));
        if (song.starred)
            record.setBool(kStarred, true);
        records.append(record.build());
    }
    return archive::archivedDataWithRootObject(records, kFormatTag);
}

std::optional<SongList> decode(QByteArrayView data, QString* error) {
    const Expected<StationList> records = archive::decode(data, archive::kStationListClasses, kFormatTag);
    if (!records) {
        if (error)
            *error = records.error().message;
        return std::nullopt;
    }
    SongList songs;
    songs.reserve(records->size());
    for (qsizetype i = 0; i < records->size(); ++i) {
        SongEntry song;
        if (!readSong(records->at(i), i, song, error))
            return std::nullopt;
        songs.append(std::move(song));
    }
    return songs;
}

} // namespace songhistoryfile
