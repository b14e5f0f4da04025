// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

// When to try a dropped stream again: after the first delay, doubled with each try up to the
// longest, which then stays for as long as it takes. Pure arithmetic; the player keeps the timer.
class ReconnectPolicy {
public:
    using Delay = std::chrono::milliseconds;

    ReconnectPolicy(Delay first, Delay longest) : first_(first), longest_(longest) {}

    // Counts one more try and tells how long to wait before it.
    Delay next();
    // Tries since the last reset; 0 while the stream plays.
    int attempt() const { return attempt_; }
    // Back to the first delay: the stream played a while, or the network came back.
    void reset() { attempt_ = 0; }

private:
    Delay first_;
    Delay longest_;
    int attempt_ = 0;
};
