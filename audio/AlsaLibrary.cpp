// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AlsaLibrary.h"

AlsaLibrary::~AlsaLibrary() = default;
