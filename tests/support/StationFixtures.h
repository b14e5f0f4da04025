#pragma once

#include "directory/Station.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

// Stations for tests, written as JSON the way the directory sends them.
inline Station stationFromJson(const QJsonObject& object) {
    Station::Builder builder;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QByteArray key = it.key().toUtf8();
        const std::string_view k(key.constData(), std::size_t(key.size()));
        const QJsonValue v = it.value();
        if (v.isNull()) {
            builder.setNull(k);
        } else if (v.isBool()) {
            builder.setBool(k, v.toBool());
        } else if (v.isDouble()) {
            const double d = v.toDouble();
            if (d == double(qint64(d)))
                builder.setInteger(k, qint64(d));
            else
                builder.setDouble(k, d);
        } else if (v.isString()) {
            builder.setString(k, QStringView(v.toString()));
        } else if (const auto id = stationkeys::intern(k)) {
            const QByteArray json = v.isArray() ? QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact)
                                                : QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact);
            builder.setJson(*id, v.isArray() ? StationValue::Type::Array : StationValue::Type::Object,
                            std::string_view(json.constData(), std::size_t(json.size())));
        }
    }
    return builder.build();
}

inline Station stationFromJson(const char* json) {
    return stationFromJson(QJsonDocument::fromJson(QByteArray(json)).object());
}

// A station with just an identifier and a name.
inline Station namedStation(const QString& uuid, const QString& name = QString()) {
    return stationFromJson(QJsonObject{{"stationuuid", uuid}, {"name", name.isNull() ? uuid : name}});
}

// The identifiers or names of the stations, in order: what most checks of a list compare.
inline QStringList uuids(const StationList& list) {
    QStringList ids;
    for (const Station& s : list)
        ids.append(s.string(Station::Key::StationUuid));
    return ids;
}
inline QStringList names(const StationList& list) {
    QStringList n;
    for (const Station& s : list)
        n.append(s.string(Station::Key::Name));
    return n;
}
