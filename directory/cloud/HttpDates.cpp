#include "directory/cloud/HttpDates.h"

#include <QLocale>
#include <QStringList>

namespace httpdates {

QDateTime parse(QByteArrayView text) {
    const QStringList parts = QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
    if (parts.size() != 6 || parts[5] != QLatin1String("GMT"))
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
