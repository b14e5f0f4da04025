// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <unicode/coll.h>
#include <unicode/locid.h>

// Locale-aware comparison of texts through ICU collation. Not thread-safe: make one per thread
// or per task (construction costs tens of microseconds, so not one per comparison).
class Collation {
public:
    enum class Mode {
        // File-browser order: case-insensitive first, runs of digits by numeric value, case only
        // breaks ties ("80s" < "2000s" < "Jazz" < "rock").
        Standard,
        // Case-insensitive, accents count ("suisse" == "Suisse", "Osterreich" != "Österreich").
        CaseInsensitive,
    };

    explicit Collation(Mode mode, const icu::Locale& locale);
    explicit Collation(Mode mode); // the user's locale
    ~Collation();
    Collation(Collation&&) noexcept;
    Collation& operator=(Collation&&) noexcept;

    int compare(QStringView a, QStringView b) const;
    bool less(QStringView a, QStringView b) const { return compare(a, b) < 0; }
    // Binary key whose byte order is the collation order: compare keys instead of texts when
    // one text takes part in many comparisons (sorting large lists).
    QByteArray sortKey(QStringView s) const;

private:
    std::unique_ptr<icu::Collator> collator_;
};

// One-off comparisons in the user's locale.
int localizedStandardCompare(QStringView a, QStringView b);
int localizedCaseInsensitiveCompare(QStringView a, QStringView b);
