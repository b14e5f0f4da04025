// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

class StationLists;

// The cloud copy of the favourite and recent lists. StationLists fetches it once at start-up
// and hands it every list file it writes with a cloud field name.
class CloudMirror {
public:
    virtual ~CloudMirror() = default;
    // Takes over the lists of the cloud record when it changed since this machine last saw it
    // (StationLists::takeOverFromCloud), then calls lists.cloudFetchFinished() whatever the
    // outcome. Called on the main thread; returns at once.
    virtual void fetch(StationLists& lists) = 0;
    // Saves one field ("favorite_stations" or "recent_stations") of the record: exactly the
    // bytes of the list file. Called on a background thread; returns at once.
    virtual void save(const QString& field, const QByteArray& bytes) = 0;
};
