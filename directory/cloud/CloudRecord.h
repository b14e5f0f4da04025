// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>

// One record of the user's private cloud store: a type, a name unique in the store, byte
// fields, and what the server says about its version.
struct CloudRecord {
    QString recordType;
    QString recordName;
    QMap<QString, QByteArray> fields;

    // Set by the server, never by this machine: dates are compared only with other dates of
    // the same server.
    QDateTime creationDate;     // invalid when the server does not tell
    QDateTime modificationDate; // invalid for a record not saved yet
    // The server's version tag as it sent it (an HTTP entity tag with its quotes, perhaps
    // weak); empty for a record not saved yet. Saving with it refuses to overwrite a newer
    // version.
    QByteArray changeTag;

    bool isNew() const { return changeTag.isEmpty(); }
    // For log lines: type, name, tag and field sizes, never the field bytes.
    QString description() const;
};

// How a record is kept in a file of the user's storage: CBOR (RFC 8949).
//
//   55799(                         self-describe tag: marks the bytes as CBOR
//     0x4F535201(                  format tag: "OSR", cloud record, version 1
//       { "recordType": text,
//         "recordName": text,
//         "fields": { text: bytes, ... } }))
//
// Items have definite lengths; the three keys are required and no others are written. A reader
// ignores keys it does not know, so that a later version may add some; fields that are not
// byte strings refuse the whole record. The dates and the tag are the file's, not the bytes'.
namespace cloudenvelope {

inline constexpr quint64 kSelfDescribeTag = 55799;
inline constexpr quint64 kRecordTag = 0x4F535201;

QByteArray encode(const CloudRecord& record);
// Type, name and fields; `error` says why when the bytes are not a record.
std::optional<CloudRecord> decode(const QByteArray& bytes, QString* error = nullptr);

} // namespace cloudenvelope
