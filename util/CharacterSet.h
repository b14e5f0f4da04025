// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A fixed set of Unicode code points, as used to split and trim texts.
class CharacterSet {
public:
    // Blank, tab and the other horizontal spaces (general category Zs); line breaks are not in it.
    static const CharacterSet& whitespace();
    // The whitespace set plus double quote, full stop and underscore: trimmed from station names
    // and tags.
    static const CharacterSet& nameTrim();

    bool contains(char32_t c) const;

    // The text without members of the set at either end.
    QString trimmed(QStringView text) const;

private:
    explicit CharacterSet(QStringView extra) : extra_(extra) {}
    QStringView extra_;
};
