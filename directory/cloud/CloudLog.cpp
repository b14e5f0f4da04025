// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/cloud/CloudLog.h"

Q_LOGGING_CATEGORY(lcCloud, "ostrel.cloud", QtInfoMsg)
