// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AudioHardware.h"

AudioHardware::~AudioHardware() = default;
