// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

// Keeps the stations of a directory reply that can be shown and played, each once.
namespace stationvalidation {

// In the reply's order: stations without a name, a stream address or a bit rate are skipped
// (a value of another JSON type than text, or number for the bit rate, counts as none);
// names are trimmed of blanks, quotes, full stops and underscores at both ends; a station whose
// trimmed name and bit rate equal those of the last kept station of that name is a duplicate
// and skipped. Each skip writes one log line.
StationList validatedStations(const StationList& stations);

// A favourite or recent list from elsewhere (the cloud): entries with a stream address that is
// no web address are skipped, each station (by its id) is kept once, and at most `limit` are.
StationList validatedList(const StationList& stations, qsizetype limit);

} // namespace stationvalidation
