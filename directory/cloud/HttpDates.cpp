// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/cloud/HttpDates.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>

namespace httpdates {

QDateTime parse(QByteArrayView text) {
    const QStringList parts = QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
    if (parts.size() != 6 || parts[5] != QLatin1String("GMT"))
        return QDateTime();
    // Qt's date parser also takes signs and other widths ("-0995"): HTTP has four-digit years.
    auto digits = [](const QString& part, qsizetype least, qsizetype most) {
        return part.size() >= least && part.size() <= most &&
               std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (!digits(parts[1], 1, 2) || !digits(parts[3], 4, 4))
        return QDateTime();
    // Month names are English whatever the user's language.
    const QDate date =
        QLocale::c().toDate(parts[1] + u' ' + parts[2] + u' ' + parts[3], QStringLiteral("d MMM yyyy"));
    const QTime time = QTime::fromString(parts[4], QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

QByteArray format(const QDateTime& date) {
    return QLocale::c().toString(date.toUTC(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'")).toLatin1();
}

} // namespace httpdates
