// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QByteArray>
#include <QJsonArray>
#include <QStringList>
#include <optional>

// Parsing of the directory's JSON replies. Runs on worker threads: nothing here touches shared
// state but the process-wide key table.
namespace directoryjson {

// Every station object of a JSON array, as sent. Anything but an array of objects is an error;
// elements that are not objects are skipped with a log line.
std::optional<StationList> parseStationArray(const QByteArray& body, QString* error);

// Host names from the server list, each once, in the order first met.
std::optional<QStringList> parseServerNames(const QByteArray& body, QString* error);

// The country objects, as sent.
std::optional<QJsonArray> parseCountries(const QByteArray& body, QString* error);

// Any JSON value, for log lines; a null QVariant when the body is no JSON.
QVariant parseAny(const QByteArray& body);

} // namespace directoryjson
