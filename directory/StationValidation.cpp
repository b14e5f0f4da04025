#include "directory/StationValidation.h"

#include "util/CharacterSet.h"

#include <QHash>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDirectory)

namespace stationvalidation {

namespace {
// What the log shows for a name: the text, or "(null)" when there is none.
QString shown(const StationValue& name) {
    if (name.isString())
        return name.toString();
    return name.isAbsent() || name.isNull() ? QStringLiteral("(null)") : QString::fromUtf8(name.utf8());
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
        if (!url.isString() || url.utf8().empty()) {
            qCWarning(lcDirectory, "station %s with invalid url - will skip", qUtf8Printable(name.toString()));
            continue;
        }
        const StationValue bitrate = station.value(Key::Bitrate);
        // Null, arrays and objects carry no bit rate; a number sent as text still does.
        if (!bitrate.isNumber() && !bitrate.isString()) {
            qCWarning(lcDirectory, "station %s with invalid bit rate - will skip", qUtf8Printable(name.toString()));
            continue;
        }
        const QString original = name.toString();
        const QString trimmed = trim.trimmed(original);
        const auto known = bitrateByName.constFind(trimmed);
        if (known != bitrateByName.constEnd() && *known == bitrate.toInteger()) {
            qCWarning(lcDirectory, "station %s already exists %lld %lld - will skip", qUtf8Printable(trimmed),
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

} // namespace stationvalidation
