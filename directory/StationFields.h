// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QString>
#include <QStringList>

// The texts that the interface derives from a station. Stateless; RadioBrowser offers them
// under its own name (RadioBrowser::tagsForStation, ...).
class StationFields {
public:
    // Same station: both present with equal "stationuuid" texts. Two stations without an
    // identifier are never equal.
    static bool stationIsEqualTo(const Station& a, const Station& b);

    // The station's tags, capitalised, trimmed, 3 to 31 characters long, each once; ["Variety"]
    // when none is left. In no particular order.
    static QStringList tagsForStation(const Station& station);
    // "MP3 - 128 kbps", "128 kbps", "MP3" or "".
    static QString soundQualityForStation(const Station& station);
    // Flag, blank, then "State, Country"; the state alone without a country code; a null
    // QString when the country code is not two characters long.
    static QString locationForStation(const Station& station);
    // The languages capitalised and joined by ", ", or "--".
    static QString languageForStation(const Station& station);
    // The icon address when it begins with "http", else a null QString.
    static QString iconPathForStation(const Station& station);
    // The first three words of the name, one per line (separated by carriage returns).
    static QString truncatedNameForStation(const Station& station);

    static inline const QString kVarietyTag = QStringLiteral("Variety");
    static inline const QString kNoLanguage = QStringLiteral("--");
};
