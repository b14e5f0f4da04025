// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>

namespace fileurls {

// True when the file or folder that a file URL names is there; false for other URLs.
bool exists(const QUrl& url);

} // namespace fileurls
