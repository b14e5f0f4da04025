// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/StreamFormat.h"

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Compares code unit by code unit, except that runs of ASCII digits compare by numeric value.
int compareNumeric(QStringView a, QStringView b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const qsizetype runA = i;
            const qsizetype runB = j;
            while (i < a.size() && isDigit(a[i]))
                ++i;
            while (j < b.size() && isDigit(b[j]))
                ++j;
            QStringView numberA = a.sliced(runA, i - runA);
            QStringView numberB = b.sliced(runB, j - runB);
            while (numberA.size() > 1 && numberA.front() == u'0')
                numberA = numberA.sliced(1);
            while (numberB.size() > 1 && numberB.front() == u'0')
                numberB = numberB.sliced(1);
            // Without leading zeros the longer run is the larger number; equal lengths compare as text.
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size() ? -1 : 1;
            if (const int c = numberA.compare(numberB); c != 0)
                return c;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

} // namespace

QString StreamFormat::description() const {
    return QString::asprintf("%.1fkHz @ %ubit : %uch", description_.sampleRate / 1000.0,
                             unsigned(description_.bitsPerChannel), unsigned(description_.channelsPerFrame));
}

bool StreamFormat::lessByDescription(const StreamFormat& a, const StreamFormat& b) {
    return compareNumeric(a.description(), b.description()) < 0;
}
