// SPDX-License-Identifier: GPL-3.0-or-later
// Cloud record files from any server: decoding must refuse or succeed without crashing, and what
// it accepts must encode and decode back to the same record.
#include "directory/cloud/CloudRecord.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto record = cloudenvelope::decode(bytes);
    if (!record)
        return 0;
    const auto again = cloudenvelope::decode(cloudenvelope::encode(*record));
    if (!again || again->recordType != record->recordType || again->recordName != record->recordName ||
        again->fields != record->fields)
        std::abort();
    return 0;
}
