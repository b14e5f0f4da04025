// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/cloud/CloudRecord.h"

#include <QCborMap>
#include <QCborStreamReader>
#include <QCborValue>
#include <QStringList>

QString CloudRecord::description() const {
    QStringList sizes;
    for (auto it = fields.begin(); it != fields.end(); ++it)
        sizes.append(QStringLiteral("%1=<%2 bytes>").arg(it.key()).arg(it.value().size()));
    return QStringLiteral("<CloudRecord recordType=%1, recordName=%2, changeTag=%3, values={%4}>")
        .arg(recordType, recordName,
             changeTag.isEmpty() ? QStringLiteral("(none)") : QString::fromLatin1(changeTag),
             sizes.join(QStringLiteral(", ")));
}

namespace cloudenvelope {

namespace {
const QString kType = QStringLiteral("recordType");
const QString kName = QStringLiteral("recordName");
const QString kFields = QStringLiteral("fields");
} // namespace

QByteArray encode(const CloudRecord& record) {
    QCborMap fields;
    for (auto it = record.fields.begin(); it != record.fields.end(); ++it)
        fields.insert(it.key(), QCborValue(it.value()));
    QCborMap root;
    root.insert(kType, record.recordType);
    root.insert(kName, record.recordName);
    root.insert(kFields, fields);
    const QCborValue tagged(QCborTag(kSelfDescribeTag), QCborValue(QCborTag(kRecordTag), root));
    return tagged.toCbor();
}

std::optional<CloudRecord> decode(const QByteArray& bytes, QString* error) {
    auto fail = [error](const QString& why) -> std::optional<CloudRecord> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QCborStreamReader reader(bytes);
    QCborValue value = QCborValue::fromCbor(reader);
    if (reader.lastError() != QCborError::NoError)
        return fail(QStringLiteral("not CBOR: %1 at byte %2")
                        .arg(reader.lastError().toString())
                        .arg(reader.currentOffset()));
    if (reader.currentOffset() != bytes.size())
        return fail(QStringLiteral("bytes after the record"));
    if (value.isTag() && value.tag() == QCborTag(kSelfDescribeTag))
        value = value.taggedValue();
    if (!value.isTag() || value.tag() != QCborTag(kRecordTag))
        return fail(QStringLiteral("not a cloud record (format tag missing)"));
    const QCborValue root = value.taggedValue();
    if (!root.isMap())
        return fail(QStringLiteral("the record is not a map"));
    const QCborMap map = root.toMap();
    const QCborValue type = map.value(kType);
    const QCborValue name = map.value(kName);
    const QCborValue fields = map.value(kFields);
    if (!type.isString() || !name.isString() || !fields.isMap())
        return fail(QStringLiteral("recordType, recordName or fields missing"));

    CloudRecord record;
    record.recordType = type.toString();
    record.recordName = name.toString();
    const QCborMap fieldMap = fields.toMap();
    for (auto it = fieldMap.begin(); it != fieldMap.end(); ++it) {
        if (!it.key().isString() || !it.value().isByteArray())
            return fail(QStringLiteral("a field is not a named byte string"));
        record.fields.insert(it.key().toString(), it.value().toByteArray());
    }
    return record;
}

} // namespace cloudenvelope
