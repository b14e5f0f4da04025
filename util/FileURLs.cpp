// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/FileURLs.h"

#include <QFileInfo>

namespace fileurls {

bool exists(const QUrl& url) {
    return url.isLocalFile() && QFileInfo::exists(url.toLocalFile());
}

} // namespace fileurls
