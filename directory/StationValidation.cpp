// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/StationValidation.h"

#include "util/CharacterSet.h"
#include "util/RemoteText.h"

#include <QHash>
#include <QSet>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDirectory)

namespace stationvalidation {

namespace {
// What the log shows for a name: the text, or "(null)" when there is none.
QString shown(const StationValue& name) {
    if (name.isString())
        return remote::forLog(name.utf8());
    return name.isAbsent() || name.isNull() ? QStringLiteral("(null)") : remote::forLog(name.utf8());
}
} // namespace

StationList validatedStations(const StationList& stations) {
    using Key = Station::Key;
    const CharacterSet& trim = CharacterSet::nameTrim();
    QHash<QString, qint64> bitrateByName;
    StationList result;
    result.reserve(stations.size());
    for (const Station& station : stations) {
        const StationValue name = station.value(Key::Name);
        if (!name.isString() || name.utf8().empty()) {
            qCWarning(lcDirectory, "station %s with invalid name - will skip", qUtf8Printable(shown(name)));
            continue;
        }
        const StationValue url = station.value(Key::Url);
        // Only web addresses: other schemes would have the player open local files or devices.
        if (!url.isString() || !remote::isWebAddress(url.utf8())) {
            qCWarning(lcDirectory, "station %s with invalid url - will skip", qUtf8Printable(shown(name)));
            continue;
        }
        const StationValue bitrate = station.value(Key::Bitrate);
        // Null, arrays and objects carry no bit rate; a number sent as text still does.
        if (!bitrate.isNumber() && !bitrate.isString()) {
            qCWarning(lcDirectory, "station %s with invalid bit rate - will skip", qUtf8Printable(shown(name)));
            continue;
        }
        const QString original = name.toString();
        const QString trimmed = trim.trimmed(original);
        const auto known = bitrateByName.constFind(trimmed);
        if (known != bitrateByName.constEnd() && *known == bitrate.toInteger()) {
            qCWarning(lcDirectory, "station %s already exists %lld %lld - will skip", qUtf8Printable(remote::forLog(trimmed)),
                      qlonglong(bitrate.toInteger()), qlonglong(*known));
            continue;
        }
        bitrateByName.insert(trimmed, bitrate.toInteger());
        if (trimmed.size() == original.size()) {
            result.append(station);
        } else {
            Station::Builder copy(station);
            const QByteArray utf8 = trimmed.toUtf8();
            copy.setString(Key::Name, std::string_view(utf8.constData(), std::size_t(utf8.size())));
            result.append(copy.build());
        }
    }
    return result;
}

StationList validatedList(const StationList& stations, qsizetype limit) {
    StationList result;
    QSet<QByteArray> seen;
    for (const Station& station : stations) {
        if (result.size() >= limit)
            break;
        const StationValue url = station.value(Station::Key::Url);
        if (!url.isAbsent() && (!url.isString() || !remote::isWebAddress(url.utf8()))) {
            qCWarning(lcDirectory, "station %s with invalid url - will skip", qUtf8Printable(shown(station.value(Station::Key::Name))));
            continue;
        }
        const std::string_view uuid = station.value(Station::Key::StationUuid).utf8();
        if (!uuid.empty()) {
            const QByteArray id(uuid.data(), qsizetype(uuid.size()));
            if (seen.contains(id))
                continue;
            seen.insert(id);
        }
        result.append(station);
    }
    return result;
}

} // namespace stationvalidation
