// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// The tags a recording's file starts with.
namespace recordingtags {

// An ID3v2.4 tag in UTF-8: the title (TIT2, the station's name when the stream sent none) and
// the station (TRSN, and TPE2 as players show it for the album artist).
QByteArray id3v2(const QString& title, const QString& station);

} // namespace recordingtags
