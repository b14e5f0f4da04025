// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QByteArray>

// Directory-like station data for benchmarks: every key the directory sends, in its order, with
// names, tags, languages and addresses of realistic length and variety. Deterministic.
namespace realistic {

// A compact JSON array of `count` station objects, as the directory answers a station query.
QByteArray stationsJson(int count, unsigned seed = 1);

// The same stations as values, converted without the directory parser.
StationList stations(int count, unsigned seed = 1);

// Bytes of memory the process has allocated from the heap right now (glibc's accounting).
qint64 heapInUse();

} // namespace realistic
