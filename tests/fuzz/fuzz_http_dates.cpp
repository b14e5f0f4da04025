// SPDX-License-Identifier: GPL-3.0-or-later
// Date headers from any server: parsing must refuse or succeed without crashing, and a date it
// accepts must format as an IMF-fixdate that parses back to the same moment.
#include "directory/cloud/HttpDates.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QDateTime date =
        httpdates::parse(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!date.isValid())
        return 0;
    const QByteArray written = httpdates::format(date);
    if (written.size() != 29 || httpdates::parse(written) != date)
        std::abort();
    return 0;
}
