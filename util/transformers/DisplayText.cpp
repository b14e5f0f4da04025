// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/transformers/DisplayText.h"

#include "util/IcuText.h"
#include "util/transformers/NumberFormatters.h"

#include <QFileInfo>
#include <QStringList>
#include <array>
#include <cmath>
#include <unicode/dtfmtsym.h>

namespace displaytext {

QString stringByReplacingCharactersInSet(QStringView s, QStringView set, QStringView replacement) {
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        if (set.contains(c))
            out += replacement;
        else
            out += c;
    }
    return out;
}

QString romanFromNumber(qint64 number) {
    if (number < 1 || number > 9999)
        return {};
    static constexpr std::array<const char*, 10> thousands{"",     "m",      "mm",      "mmm",      "mmmm",
                                                           "mmmmm", "mmmmmm", "mmmmmmm", "mmmmmmmm", "mmmmmmmmm"};
    static constexpr std::array<const char*, 10> hundreds{"", "c", "cc", "ccc", "cd", "d", "dc", "dcc", "dccc", "cm"};
    static constexpr std::array<const char*, 10> tens{"", "x", "xx", "xxx", "xl", "l", "lx", "lxx", "lxxx", "xc"};
    static constexpr std::array<const char*, 10> units{"", "i", "ii", "iii", "iv", "v", "vi", "vii", "viii", "ix"};
    return QLatin1String(thousands[number / 1000]) + QLatin1String(hundreds[number / 100 % 10]) +
           QLatin1String(tens[number / 10 % 10]) + QLatin1String(units[number % 10]);
}

QString stringWithKInteger(quint64 count) {
    if (count > 999999)
        return QStringLiteral("1M+");
    if (count > 99999)
        return QStringLiteral("100K+");
    if (count > 9999)
        return QStringLiteral("10K+");
    if (count > 999)
        return QStringLiteral("%1K").arg(count / 1000);
    return QString::number(count);
}

QString stringWithFileSize(quint64 size) {
    if (size <= 999)
        return QStringLiteral("%1 bytes").arg(size);
    static constexpr std::array<const char*, 4> units{"KB", "MB", "GB", "TB"};
    // Single precision, as the sizes were always shown: 999999 is 999.999 KB, which rounds to
    // 1000 and so is shown in the next unit.
    float quotient = float(size) / 1000.0f;
    for (const char* unit : units) {
        if (std::round(quotient) < 1000.0f)
            return numberformatters::fractionString(double(quotient), 2) + u' ' + QLatin1String(unit);
        quotient /= 1000.0f;
    }
    return {};
}

QString stringWithDurationFromSeconds(qint64 seconds, bool zeroPad) {
    if (seconds <= 59)
        return zeroPad ? QString::asprintf("00:%02lld", seconds) : QString::number(seconds);
    if (seconds < 3600) {
        const qint64 m = seconds / 60;
        const qint64 s = seconds % 60;
        return zeroPad ? QString::asprintf("%02lld:%02lld", m, s) : QString::asprintf("%lld:%lld", m, s);
    }
    const qint64 h = seconds / 3600;
    const qint64 m = seconds % 3600 / 60;
    const qint64 s = seconds % 60;
    return zeroPad ? QString::asprintf("%lld:%02lld:%02lld", h, m, s) : QString::asprintf("%lld:%lld:%lld", h, m, s);
}

QString stringWithDecimalDurationFromSeconds(double seconds) {
    const double whole = std::trunc(seconds);
    const qint64 ms = qint64((seconds - whole) * 1000);
    const char* format = ms < 10 ? ".00%lld" : ms < 100 ? ".0%lld" : ".%lld";
    return stringWithDurationFromSeconds(qint64(whole)) + QString::asprintf(format, ms);
}

QString stringWithDisplayPath(const QString& path) {
    if (!path.isEmpty() && QFileInfo::exists(path)) {
        // Linux has no localised names for folders: the components are the path's own.
        const QStringList components = path.split(u'/', Qt::SkipEmptyParts);
        const QString joined = components.join(u'/');
        return path.startsWith(u'/') ? u'/' + joined : joined;
    }
    static const QString volumes = QStringLiteral("/Volumes/");
    return path.startsWith(volumes) ? path.mid(volumes.size()) : path;
}

QString monthName(qint64 month, const icu::Locale& locale) {
    if (month < 1 || month > 12)
        return {};
    UErrorCode status = U_ZERO_ERROR;
    const icu::DateFormatSymbols symbols(locale, status);
    if (U_FAILURE(status))
        return {};
    int32_t count = 0;
    const icu::UnicodeString* names =
        symbols.getMonths(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::WIDE);
    return month <= count ? icutext::fromIcu(names[month - 1]) : QString();
}

} // namespace displaytext
