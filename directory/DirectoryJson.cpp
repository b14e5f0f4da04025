// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/DirectoryJson.h"

#include "util/RemoteText.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <simdjson.h>

Q_DECLARE_LOGGING_CATEGORY(lcDirectory)

namespace directoryjson {

namespace {
namespace dom = simdjson::dom;

Error badReply(const QString& message) {
    return Error::make(Error::Code::BadReply, message);
}

Error notJson(const QString& why) {
    return badReply(QCoreApplication::translate("DirectoryJson", "The reply is not valid JSON (%1)").arg(why));
}

// JSON text of an array or object value, for keeping it as it came.
std::string minified(dom::element element) {
    return simdjson::minify(element);
}

void readObject(dom::object object, Station::Builder& builder, stationkeys::KeyCache& keys) {
    std::size_t position = 0;
    for (dom::key_value_pair field : object) {
        const auto id = keys.idFor(position++, field.key);
        if (!id)
            continue; // too long, or too many new ones: only hostile input gets here
        const dom::element value = field.value;
        switch (value.type()) {
        case dom::element_type::STRING:
            builder.setString(*id, std::string_view(value.get_string().value_unsafe()));
            break;
        case dom::element_type::INT64:
            builder.setInteger(*id, value.get_int64().value_unsafe());
            break;
        case dom::element_type::UINT64: // past the signed range
            builder.setDouble(*id, double(value.get_uint64().value_unsafe()));
            break;
        case dom::element_type::DOUBLE:
            builder.setDouble(*id, value.get_double().value_unsafe());
            break;
        case dom::element_type::BOOL:
            builder.setBool(*id, value.get_bool().value_unsafe());
            break;
        case dom::element_type::NULL_VALUE:
            builder.setNull(*id);
            break;
        case dom::element_type::ARRAY:
            builder.setJson(*id, StationValue::Type::Array, minified(value));
            break;
        case dom::element_type::OBJECT:
            builder.setJson(*id, StationValue::Type::Object, minified(value));
            break;
        }
    }
}
} // namespace

Expected<StationList> parseStationArray(const QByteArray& body) {
    // The DOM parser picks the fastest kernel for this processor at run time and checks the
    // whole text (UTF-8, structure, nothing after the value) before anything is read from it.
    dom::parser parser;
    const bool padded = body.capacity() >= body.size() + qsizetype(simdjson::SIMDJSON_PADDING);
    simdjson::padded_string copy;
    if (!padded)
        copy = simdjson::padded_string(body.constData(), std::size_t(body.size()));
    dom::element doc;
    const auto code = padded ? parser.parse(body.constData(), std::size_t(body.size()), false).get(doc)
                             : parser.parse(copy).get(doc);
    if (code != simdjson::SUCCESS)
        return notJson(QString::fromUtf8(simdjson::error_message(code)));
    if (!doc.is_array())
        return badReply(QCoreApplication::translate("DirectoryJson", "The reply is not a list of stations"));
    const dom::array array = doc.get_array().value_unsafe();
    StationList stations;
    stations.reserve(qsizetype(array.size()));
    Station::Builder builder;
    stationkeys::KeyCache keys;
    qsizetype index = 0;
    for (dom::element element : array) {
        if (!element.is_object()) {
            qCWarning(lcDirectory, "station entry %lld is not an object - will skip", qlonglong(index));
        } else {
            builder.clear();
            readObject(element.get_object().value_unsafe(), builder, keys);
            stations.append(builder.build());
        }
        ++index;
    }
    if (keys.dropped() > 0)
        qCWarning(lcDirectory, "dropped %zu keys that are too long or too many", keys.dropped());
    return stations;
}

Expected<QStringList> parseServerNames(const QByteArray& body) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return notJson(parseError.errorString());
    if (!doc.isArray())
        return badReply(QCoreApplication::translate("DirectoryJson", "The reply is not a list of servers"));
    QStringList names;
    for (const QJsonValue& server : doc.array()) {
        // Each name becomes the base of later requests: anything else is dropped.
        const QString name = server.toObject().value(QLatin1String("name")).toString();
        if (remote::isServerAddress(name) && !names.contains(name))
            names.append(name);
    }
    return names;
}

Expected<QJsonArray> parseCountries(const QByteArray& body) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return notJson(parseError.errorString());
    if (!doc.isArray())
        return badReply(QCoreApplication::translate("DirectoryJson", "The reply is not a list of countries"));
    return doc.array();
}

QVariant parseAny(const QByteArray& body) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return QVariant();
    return doc.toVariant();
}

} // namespace directoryjson
