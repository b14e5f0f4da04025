// SPDX-License-Identifier: GPL-3.0-or-later
// Directory replies from anywhere: parsing and validation must refuse or succeed without
// crashing, every station kept must have a name and a web stream address, and every server
// name kept must be one.
#include "directory/DirectoryJson.h"
#include "directory/StationValidation.h"
#include "util/RemoteText.h"

#include <cstdlib>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDirectory, "ostrel.directory")

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QLoggingCategory::setFilterRules(QStringLiteral("*=false")); // skip lines are expected here
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray body(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto stations = directoryjson::parseStationArray(body)) {
        for (const Station& s : stationvalidation::validatedStations(*stations))
            if (!s.value(Station::Key::Name).isString() ||
                !remote::isWebAddress(s.value(Station::Key::Url).utf8()))
                std::abort();
    }
    if (const auto servers = directoryjson::parseServerNames(body))
        for (const QString& name : *servers)
            if (!remote::isServerAddress(name))
                std::abort();
    return 0;
}
