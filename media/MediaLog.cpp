// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/MediaLog.h"

// Debug lines (every bus message of note) only when asked for with QT_LOGGING_RULES.
Q_LOGGING_CATEGORY(lcMedia, "ostrel.media", QtInfoMsg)
