// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/ReconnectPolicy.h"

#include <algorithm>

ReconnectPolicy::Delay ReconnectPolicy::next() {
    ++attempt_;
    // Doubling stops once past the longest delay, so the count may grow without bound.
    Delay delay = first_;
    for (int i = 1; i < attempt_ && delay < longest_; ++i)
        delay *= 2;
    return std::min(delay, longest_);
}
