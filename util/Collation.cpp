// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/Collation.h"

#include "util/UserLocale.h"

#include <QLoggingCategory>
#include <unicode/coll.h>

Q_LOGGING_CATEGORY(lcCollation, "ostrel.util")

Collation::Collation(Mode mode, const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    collator_.reset(icu::Collator::createInstance(locale, status));
    if (U_FAILURE(status) || !collator_) {
        qCWarning(lcCollation, "%s [%s]", "collator", u_errorName(status));
        status = U_ZERO_ERROR;
        collator_.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    }
    status = U_ZERO_ERROR;
    if (mode == Mode::Standard) {
        collator_->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
        collator_->setStrength(icu::Collator::TERTIARY);
    } else {
        collator_->setStrength(icu::Collator::SECONDARY);
    }
}

Collation::Collation(Mode mode) : Collation(mode, userlocale::current()) {}
Collation::~Collation() = default;
Collation::Collation(Collation&&) noexcept = default;
Collation& Collation::operator=(Collation&&) noexcept = default;

int Collation::compare(QStringView a, QStringView b) const {
    UErrorCode status = U_ZERO_ERROR;
    return collator_->compare(reinterpret_cast<const UChar*>(a.utf16()), int32_t(a.size()),
                              reinterpret_cast<const UChar*>(b.utf16()), int32_t(b.size()), status);
}

QByteArray Collation::sortKey(QStringView s) const {
    const auto* text = reinterpret_cast<const UChar*>(s.utf16());
    QByteArray key(qMax<qsizetype>(16, s.size() * 3), Qt::Uninitialized);
    int32_t needed = collator_->getSortKey(text, int32_t(s.size()), reinterpret_cast<uint8_t*>(key.data()),
                                           int32_t(key.size()));
    if (needed > key.size()) {
        key.resize(needed);
        collator_->getSortKey(text, int32_t(s.size()), reinterpret_cast<uint8_t*>(key.data()), needed);
    }
    key.resize(needed > 0 ? needed - 1 : 0); // drop the terminating zero byte
    return key;
}

int localizedStandardCompare(QStringView a, QStringView b) {
    return Collation(Collation::Mode::Standard).compare(a, b);
}

int localizedCaseInsensitiveCompare(QStringView a, QStringView b) {
    return Collation(Collation::Mode::CaseInsensitive).compare(a, b);
}
