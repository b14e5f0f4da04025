// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// A search of the whole directory: every set facet must match. Only working stations are
// asked for, a page at a time.
struct StationSearch {
    static constexpr int kPageSize = 500;

    QString name;        // part of the name, any case
    QStringList tags;    // every one of them, whole
    QString language;    // part of the language
    QString countryCode; // ISO 3166-1 alpha-2
    QString codec;
    int minBitrate = 0;  // kbit/s
    bool httpsOnly = false;

    bool isEmpty() const;
    bool operator==(const StationSearch& other) const = default;
    // The query of /json/stations/search for the page starting at `offset`.
    QList<std::pair<QString, QString>> queryItems(int offset) const;
};
