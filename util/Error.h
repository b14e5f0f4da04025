// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Why an operation failed, as it travels from the network up to the interface: a code for the
// caller to decide on, the HTTP status when a server answered, a message for the user
// (translated where it is made) and the lower layer's own words for the log.
struct Error {
    enum class Code {
        None,
        // HTTP transfers
        NoAnswer,        // no connection, a broken transfer, TLS: the network layer's words
        TimedOut,        // no byte within the idle limit
        TooSlow,         // the whole transfer took longer than its limit
        TooLarge,        // the body went past its cap
        RedirectRefused, // a redirect that the request did not allow
        HttpStatus,      // the server answered outside 2xx
        // The cloud record store
        RecordNotFound,      // no record of that name yet
        ServerRecordChanged, // the save was refused: the record changed since it was fetched (412, 423)
        NotAuthenticated,    // no account, refused login or no password
        NetworkUnavailable,  // the server cannot be reached or did not answer in time
        RateLimited,         // the server kept asking to wait
        ServerRejected,      // any other refusal or unexpected answer
    };
    Code code = Code::None;
    int httpStatus = 0; // 0: no server answered
    QString message;    // for the user, in their language
    QString logText;    // the network layer's text; empty when there is none

    bool ok() const { return code == Code::None; }
    static Error make(Code code, const QString& message, int httpStatus = 0, const QString& logText = QString()) {
        return Error{code, httpStatus, message, logText};
    }
};
