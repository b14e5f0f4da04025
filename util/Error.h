// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>
#include <utility>

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
        BadReply,        // whole data, but not what was asked for (no JSON, no list, a damaged list file)
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

// A value, or the Error that kept it from coming: the one shape of an asynchronous answer.
template <typename T> class Expected {
public:
    Expected(T value) : value_(std::move(value)) {}
    Expected(Error error) : error_(std::move(error)) {
        if (error_.ok()) // an error without a code would read as success to the caller's switch
            error_.code = Error::Code::BadReply;
    }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const { return *value_; }
    const T* operator->() const { return &*value_; }
    T valueOr(T fallback) const { return value_ ? *value_ : std::move(fallback); }
    const std::optional<T>& optional() const { return value_; }
    // None when there is a value.
    const Error& error() const { return error_; }

private:
    std::optional<T> value_;
    Error error_;
};
