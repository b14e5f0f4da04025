// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/TextUtils.h"

#include "util/IcuText.h"
#include "util/UserLocale.h"
#include "version.h"

#include <unicode/numberformatter.h>

namespace text {

namespace {
bool allowedInQuery(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
        return true;
    return c < 0x80 && QStringView(u"-._~!$&'()*+,;=:@/?").contains(QChar(c));
}

// Case and accents removed as the options ask.
QString foldForCompare(QStringView s, CompareOptions options) {
    if (options & CompareOption::DiacriticInsensitive)
        return icutext::foldedForSearch(s); // folds case too
    if (options & CompareOption::CaseInsensitive)
        return s.toString().toCaseFolded();
    return s.toString();
}
} // namespace

QString URLEncodedString(QStringView s) {
    static constexpr char hex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(s.size());
    qsizetype runStart = 0;
    auto flushEncoded = [&](qsizetype end) {
        // Encode the run [runStart, end) as UTF-8 bytes; a run keeps surrogate pairs together.
        const QByteArray utf8 = s.sliced(runStart, end - runStart).toUtf8();
        for (unsigned char b : utf8) {
            out += u'%';
            out += QLatin1Char(hex[b >> 4]);
            out += QLatin1Char(hex[b & 0xF]);
        }
    };
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (allowedInQuery(s[i].unicode())) {
            if (runStart < i)
                flushEncoded(i);
            out += s[i];
            runStart = i + 1;
        }
    }
    if (runStart < s.size())
        flushEncoded(s.size());
    return out;
}

QString countOf(qint64 count, const QString& one, const QString& many) {
    // One formatter for the process, in the locale current when it is first used.
    static const icu::number::LocalizedNumberFormatter formatter =
        icu::number::NumberFormatter::with()
            .grouping(UNUM_GROUPING_AUTO)
            .precision(icu::number::Precision::integer())
            .locale(userlocale::current());
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString formatted = formatter.formatInt(count, status).toString(status);
    const QString number = U_SUCCESS(status) ? icutext::fromIcu(formatted) : QString::number(count);
    return number + u' ' + (count == 1 ? one : many);
}

QString appVersion() {
    return QStringLiteral("%1 (%2)").arg(QStringLiteral(OSTREL_VERSION_SHORT), QStringLiteral(OSTREL_VERSION_BUILD));
}

QStringList componentsSeparatedByCharactersInSetTrimmed(QStringView s, const CharacterSet& separators) {
    QStringList pieces;
    const CharacterSet& space = CharacterSet::whitespace();
    qsizetype start = 0;
    auto take = [&](qsizetype end) {
        QString piece = space.trimmed(s.sliced(start, end - start));
        if (!piece.isEmpty())
            pieces.append(std::move(piece));
    };
    for (qsizetype i = 0; i < s.size(); ++i) {
        char32_t c = s[i].unicode();
        qsizetype width = 1;
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(s[i], s[i + 1]);
            width = 2;
        }
        if (separators.contains(c)) {
            take(i);
            start = i + width;
        }
        i += width - 1;
    }
    take(s.size());
    return pieces;
}

bool stringStrartsWith(QStringView s, QStringView prefix, CompareOptions options) {
    if (prefix.isEmpty() || prefix.size() > s.size())
        return false;
    const QStringView head = s.first(prefix.size());
    if (!(options & (CompareOption::CaseInsensitive | CompareOption::DiacriticInsensitive)))
        return head == prefix;
    return foldForCompare(head, options) == foldForCompare(prefix, options);
}

} // namespace text
