// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/CharacterSet.h"


namespace {
bool isHorizontalSpace(char32_t c) {
    return c == U'\t' || QChar::category(c) == QChar::Separator_Space;
}
} // namespace

const CharacterSet& CharacterSet::whitespace() {
    static const CharacterSet set{QStringView()};
    return set;
}

const CharacterSet& CharacterSet::nameTrim() {
    static const CharacterSet set{u"\"._"};
    return set;
}

bool CharacterSet::contains(char32_t c) const {
    if (isHorizontalSpace(c))
        return true;
    return c < 0x10000 && extra_.contains(QChar(char16_t(c)));
}

QString CharacterSet::trimmed(QStringView text) const {
    qsizetype begin = 0;
    qsizetype end = text.size();
    // Members are all in the Basic Multilingual Plane, so single UTF-16 units suffice.
    while (begin < end && contains(text[begin].unicode()))
        ++begin;
    while (end > begin && contains(text[end - 1].unicode()))
        --end;
    return text.sliced(begin, end - begin).toString();
}
