// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/cloud/CloudRecord.h"
#include "util/Error.h"

#include <functional>
#include <optional>
#include <QString>

// Why a cloud operation failed: the program's error type, with the record store's codes
// (RecordNotFound, ServerRecordChanged, NotAuthenticated, NetworkUnavailable, RateLimited,
// ServerRejected). The code decides what the caller does; the message is what the log line and
// the settings page show.
using CloudError = Error;

// The user's private record store: the two operations the list synchronisation relies on.
// Completions run exactly once, on the thread that owns the database (the main thread), never
// before the call returns.
class CloudDatabase {
public:
    using FetchCompletion = std::function<void(std::optional<CloudRecord> record, CloudError error)>;
    using SaveCompletion = std::function<void(std::optional<CloudRecord> saved, CloudError error)>;

    virtual ~CloudDatabase() = default;

    // False without a configured account: then every operation fails with NotAuthenticated,
    // as for a user who is not signed in.
    virtual bool hasAccount() const = 0;
    // The record with its server dates and change tag, or an error (RecordNotFound when there
    // is none yet).
    virtual void fetchRecord(const QString& recordName, FetchCompletion completion) = 0;
    // Saves a fetched record over the version it was fetched as, or creates a new one (no
    // change tag) only where none exists: otherwise ServerRecordChanged. Gives the saved
    // record with its new dates and tag.
    virtual void saveRecord(const CloudRecord& record, SaveCompletion completion) = 0;
};
