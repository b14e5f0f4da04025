// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AudioLog.h"

// Debug lines (libasound's own complaints) only when asked for with QT_LOGGING_RULES.
Q_LOGGING_CATEGORY(lcAudio, "ostrel.audio", QtInfoMsg)
