// SPDX-License-Identifier: GPL-3.0-or-later
#include "RealisticStations.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QUuid>
#include <malloc.h>

namespace realistic {

namespace {
const char* const kWords[] = {"Radio", "FM", "Classic", "Rock", "Jazz", "Café", "Antenne", "Welle", "Hits",
                              "Nostalgie", "Радио", "Музыка", "東京", "ラジオ", "Lounge", "Deep", "House", "News",
                              "Info", "Bayern", "Kultur", "Sport", "Country", "Mix", "One", "24/7", "Ö3", "Español"};
const char* const kTags[] = {"pop", "rock", "jazz", "news", "talk", "80s", "90s", "oldies", "classical", "dance",
                             "electronic", "hip hop", "top 40", "adult contemporary", "public radio", "community",
                             "christian", "country", "schlager", "indie", "ambient", "chillout", "metal", "folk",
                             "world music", "regional", "sports", "música latina", "techno", "house"};
const char* const kLanguages[] = {"english", "german", "spanish", "french", "russian", "japanese", "italian"};
const char* const kCodecs[] = {"MP3", "AAC", "AAC+", "OGG", "FLAC", "UNKNOWN"};
const char* const kStates[] = {"Bavaria", "California", "Île-de-France", "Texas", "Berlin", "", "Tokyo"};
const char* const kCountries[][2] = {{"Germany", "DE"}, {"The United States Of America", "US"},
                                     {"France", "FR"}, {"Japan", "JP"}, {"Austria", "AT"}};

template <typename T, std::size_t N> const T& pick(QRandomGenerator& r, const T (&items)[N]) {
    return items[r.bounded(int(N))];
}

QString uuid(QRandomGenerator& r) {
    QUuid id(r.generate(), ushort(r.generate()), ushort(r.generate()), uchar(r.generate()), uchar(r.generate()),
             uchar(r.generate()), uchar(r.generate()), uchar(r.generate()), uchar(r.generate()), uchar(r.generate()),
             uchar(r.generate()));
    return id.toString(QUuid::WithoutBraces);
}

QString timestamp(QRandomGenerator& r, bool iso) {
    const int day = 1 + r.bounded(28), hour = r.bounded(24), minute = r.bounded(60);
    return iso ? QStringLiteral("2024-05-%1T%2:%3:07Z").arg(day, 2, 10, QLatin1Char('0')).arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'))
               : QStringLiteral("2024-05-%1 %2:%3:07").arg(day, 2, 10, QLatin1Char('0')).arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'));
}

QJsonArray objects(int count, unsigned seed) {
    QRandomGenerator r(seed);
    QJsonArray array;
    for (int i = 0; i < count; ++i) {
        QStringList name;
        for (int w = 0, n = 1 + r.bounded(4); w < n; ++w)
            name << QString::fromUtf8(pick(r, kWords));
        QStringList tags;
        for (int t = 0, n = r.bounded(7); t < n; ++t)
            tags << QString::fromUtf8(pick(r, kTags));
        const auto& country = pick(r, kCountries);
        const QString host = QStringLiteral("stream%1.example-radio.net").arg(r.bounded(5000));
        const bool located = r.bounded(3) == 0;
        QJsonObject o;
        // Keys in the directory's order (QJsonObject sorts them; the serialiser below does not
        // need the order, only the content).
        o.insert("changeuuid", uuid(r));
        o.insert("stationuuid", uuid(r));
        o.insert("serveruuid", QJsonValue::Null);
        o.insert("name", name.join(u' '));
        o.insert("url", QStringLiteral("http://%1:8000/live%2.mp3").arg(host).arg(i));
        o.insert("url_resolved", QStringLiteral("http://%1:8000/live%2.mp3").arg(host).arg(i));
        o.insert("homepage", QStringLiteral("https://www.%1-radio.example/").arg(i));
        o.insert("favicon", r.bounded(4) == 0 ? QString() : QStringLiteral("https://www.%1-radio.example/favicon.png").arg(i));
        o.insert("tags", tags.join(u','));
        o.insert("country", QString::fromUtf8(country[0]));
        o.insert("countrycode", QString::fromUtf8(country[1]));
        o.insert("iso_3166_2", QJsonValue::Null);
        o.insert("state", QString::fromUtf8(pick(r, kStates)));
        o.insert("language", QString::fromUtf8(pick(r, kLanguages)));
        o.insert("languagecodes", "en");
        o.insert("votes", r.bounded(5000));
        o.insert("lastchangetime", timestamp(r, false));
        o.insert("lastchangetime_iso8601", timestamp(r, true));
        o.insert("codec", QString::fromUtf8(pick(r, kCodecs)));
        o.insert("bitrate", QJsonArray{0, 32, 64, 96, 128, 192, 256, 320}[r.bounded(8)]);
        o.insert("hls", 0);
        o.insert("lastcheckok", 1);
        o.insert("lastchecktime", timestamp(r, false));
        o.insert("lastchecktime_iso8601", timestamp(r, true));
        o.insert("lastcheckoktime", timestamp(r, false));
        o.insert("lastcheckoktime_iso8601", timestamp(r, true));
        o.insert("lastlocalchecktime", timestamp(r, false));
        o.insert("lastlocalchecktime_iso8601", timestamp(r, true));
        o.insert("clicktimestamp", timestamp(r, false));
        o.insert("clicktimestamp_iso8601", r.bounded(5) == 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(timestamp(r, true)));
        o.insert("clickcount", r.bounded(100000));
        o.insert("clicktrend", r.bounded(20) - 10);
        o.insert("ssl_error", 0);
        o.insert("geo_lat", located ? QJsonValue(r.generateDouble() * 180 - 90) : QJsonValue(QJsonValue::Null));
        o.insert("geo_long", located ? QJsonValue(r.generateDouble() * 360 - 180) : QJsonValue(QJsonValue::Null));
        o.insert("geo_distance", QJsonValue::Null);
        o.insert("has_extended_info", false);
        array.append(o);
    }
    return array;
}
} // namespace

QByteArray stationsJson(int count, unsigned seed) {
    return QJsonDocument(objects(count, seed)).toJson(QJsonDocument::Compact);
}

StationList stations(int count, unsigned seed) {
    StationList list;
    Station::Builder builder;
    for (const QJsonValue& v : objects(count, seed)) {
        builder.clear();
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it) {
            const QByteArray key = it.key().toUtf8();
            const std::string_view k(key.constData(), std::size_t(key.size()));
            if (it->isNull())
                builder.setNull(k);
            else if (it->isBool())
                builder.setBool(k, it->toBool());
            else if (it->isString())
                builder.setString(k, QStringView(it->toString()));
            else if (it->toDouble() == double(it->toInteger()))
                builder.setInteger(k, it->toInteger());
            else
                builder.setDouble(k, it->toDouble());
        }
        list.append(builder.build());
    }
    return list;
}

qint64 heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

} // namespace realistic
