// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/IcuText.h"

#include <memory>
#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>

namespace icutext {

QString capitalized(QStringView s) {
    if (s.isEmpty())
        return QString();
    // Opening a break iterator costs far more than titlecasing a tag, so each thread keeps one.
    thread_local std::unique_ptr<icu::BreakIterator> words = [] {
        UErrorCode status = U_ZERO_ERROR;
        return std::unique_ptr<icu::BreakIterator>(
            icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
    }();
    icu::UnicodeString text = toIcu(s);
    text.toTitle(words.get(), icu::Locale::getRoot());
    return fromIcu(text);
}

QString foldedForSearch(QStringView s) {
    UErrorCode status = U_ZERO_ERROR;
    static const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    icu::UnicodeString text = toIcu(s);
    text.foldCase();
    if (nfd) {
        status = U_ZERO_ERROR;
        text = nfd->normalize(text, status);
    }
    icu::UnicodeString out;
    out.getBuffer(text.length());
    out.releaseBuffer(0);
    for (int32_t i = 0; i < text.length();) {
        UChar32 c = text.char32At(i);
        if (u_charType(c) != U_NON_SPACING_MARK)
            out.append(c);
        i += U16_LENGTH(c);
    }
    return fromIcu(out);
}

} // namespace icutext
