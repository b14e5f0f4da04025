// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"
#include "util/Error.h"

#include <QByteArray>
#include <QJsonArray>
#include <QStringList>

// Parsing of the directory's JSON replies. Runs on worker threads: nothing here touches shared
// state but the process-wide key table.
namespace directoryjson {

// Every station object of a JSON array, as sent. Anything but an array is a BadReply error;
// elements that are not objects are skipped with a log line.
Expected<StationList> parseStationArray(const QByteArray& body);

// Host names from the server list, each once, in the order first met.
Expected<QStringList> parseServerNames(const QByteArray& body);

// The country objects, as sent.
Expected<QJsonArray> parseCountries(const QByteArray& body);

// Any JSON value, for log lines; a null QVariant when the body is no JSON.
QVariant parseAny(const QByteArray& body);

} // namespace directoryjson
