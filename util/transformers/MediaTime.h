// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <QtGlobal>

// A time in a media stream as a fraction of seconds, value / timescale, the way players report
// positions and durations without rounding. A timescale of 0 or less marks an invalid time.
struct MediaTime {
    qint64 value = 0;
    qint32 timescale = 0;

    bool isValid() const { return timescale > 0; }
    // Whole seconds, truncated towards zero.
    qint64 seconds() const { return isValid() ? value / timescale : 0; }
};
Q_DECLARE_METATYPE(MediaTime)
