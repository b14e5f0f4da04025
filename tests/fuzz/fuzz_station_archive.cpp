// SPDX-License-Identifier: GPL-3.0-or-later
// Station list bytes from anywhere: decoding must refuse or succeed without crashing, and what
// it accepts must write and read back to the same bytes.
#include "directory/StationArchive.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto stations = archive::decode(bytes, archive::kStationListClasses);
    if (!stations)
        return 0;
    const QByteArray written = archive::archivedDataWithRootObject(*stations);
    const auto again = archive::decode(written, archive::kStationListClasses);
    if (!again || archive::archivedDataWithRootObject(*again) != written)
        std::abort();
    return 0;
}
