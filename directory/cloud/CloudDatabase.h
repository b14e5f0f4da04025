#pragma once

#include "directory/cloud/CloudRecord.h"

#include <functional>
#include <optional>
#include <QString>

// Why a cloud operation failed. The code decides what the caller does; the description is what
// the log line shows.
struct CloudError {
    enum class Code {
        None,
        RecordNotFound,      // no record of that name yet
        ServerRecordChanged, // the save was refused: the record changed since it was fetched
        NotAuthenticated,    // no account, refused login or no password
        NetworkUnavailable,  // the server cannot be reached or did not answer in time
        RateLimited,         // the server kept asking to wait
        ServerRejected,      // any other refusal or unexpected answer
    };
    Code code = Code::None;
    QString description;

    bool ok() const { return code == Code::None; }
    static CloudError make(Code code, const QString& description) { return CloudError{code, description}; }
};

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
