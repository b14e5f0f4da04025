// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/PlaylistWriter.h"

#include "directory/Playlist.h"

namespace playlistwriter {

Format formatForFileName(const QString& fileName) {
    const QString name = fileName.toLower();
    if (name.endsWith(u".m3u") || name.endsWith(u".m3u8"))
        return Format::M3u;
    if (name.endsWith(u".pls"))
        return Format::Pls;
    return Format::None;
}

QByteArray write(const StationList& stations, Format format) {
    QByteArray out;
    if (format == Format::M3u)
        out += "#EXTM3U\n";
    else if (format == Format::Pls)
        out += "[playlist]\n";
    else
        return out;
    int n = 0;
    for (const Station& station : stations) {
        // One line each: a name with a line break in it would start an entry of its own.
        const QByteArray name = playlist::cleanName(station.string(Station::Key::Name)).toUtf8();
        const QByteArray url = station.string(Station::Key::Url).trimmed().toUtf8();
        if (url.isEmpty() || url.contains('\n') || url.contains('\r'))
            continue;
        ++n;
        if (format == Format::M3u) {
            out += "#EXTINF:-1," + name + '\n' + url + '\n';
        } else {
            const QByteArray i = QByteArray::number(n);
            out += "File" + i + '=' + url + "\nTitle" + i + '=' + name + "\nLength" + i + "=-1\n";
        }
    }
    if (format == Format::Pls)
        out += "NumberOfEntries=" + QByteArray::number(n) + "\nVersion=2\n";
    return out;
}

} // namespace playlistwriter
