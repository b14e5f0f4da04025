// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QDateTime>

// HTTP dates (RFC 9110 IMF-fixdate, "Sun, 06 Nov 1994 08:49:37 GMT"), always in UTC.
namespace httpdates {

// An invalid date for anything else.
QDateTime parse(QByteArrayView text);
QByteArray format(const QDateTime& date);

} // namespace httpdates
