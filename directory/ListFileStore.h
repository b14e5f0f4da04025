// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/FileLocks.h"
#include "directory/Station.h"

#include <QHash>
#include <QObject>
#include <QThreadPool>
#include <QUrl>
#include <functional>
#include <optional>

// Station list files (favourites, recents, listings, the loaded station): written atomically,
// the writes of one file one at a time, on worker threads of its own. Thread-safe.
class ListFileStore {
public:
    ListFileStore();
    // Waits for the writes still queued.
    ~ListFileStore();

    // Writes a list file, replacing the old one atomically, and returns the bytes written (or
    // that failed to be). Blocks: call it off the main thread.
    QByteArray write(const StationList& stations, const QUrl& fileUrl);
    // The same, for a task that holds the file's lock already (runLocked).
    QByteArray writeLocked(const StationList& stations, const QUrl& fileUrl);
    // The list in a file, or nothing when the file is missing, empty or not a station list.
    std::optional<StationList> read(const QUrl& fileUrl) const;

    // Runs `task` on a worker thread holding the file's lock.
    void runLocked(const QUrl& fileUrl, std::function<void()> task);
    // Writes on a worker thread; of several queued writes to one file the last given wins.
    void writeLater(const StationList& stations, const QUrl& fileUrl);
    // Reads on a worker thread; `done` runs with the list (nothing for a missing file) on
    // `context`'s thread. `context` must wait for this store's work before it goes.
    void readLater(const QUrl& fileUrl, QObject* context, std::function<void(std::optional<StationList>)> done);
    // Blocks until every queued write has been made.
    void waitForWrites();

private:
    FileLocks locks_;
    QMutex latestMutex_;
    QHash<QString, StationList> latest_; // by file, for writeLater
    QThreadPool pool_;
};
