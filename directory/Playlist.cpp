// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/Playlist.h"

#include <QMap>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace playlist {

namespace {

// Playlists are UTF-8 mostly, Latin-1 now and then (older PLS files); a byte order mark goes.
QString decodeText(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

bool looksBinary(QByteArrayView bytes) {
    return bytes.first(qMin<qsizetype>(bytes.size(), 1024)).contains('\0');
}

// The start of the text without a byte order mark and blank lines, lower case: enough to tell
// the formats apart.
QByteArray head(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    return bytes.first(qMin<qsizetype>(bytes.size(), 4096)).toByteArray().trimmed().toLower();
}

bool hasHlsTags(QByteArrayView bytes) {
    return bytes.contains("#EXT-X-") || bytes.contains("#ext-x-");
}

Format fromContent(QByteArrayView bytes) {
    const QByteArray start = head(bytes);
    if (start.startsWith("[playlist]"))
        return Format::Pls;
    if (start.startsWith("#extm3u"))
        return hasHlsTags(bytes) ? Format::Hls : Format::M3u;
    if (start.startsWith('<')) {
        if (start.contains("<playlist"))
            return Format::Xspf;
        if (start.contains("<asx"))
            return Format::Asx;
        return Format::Unknown; // a page, or XML of another kind
    }
    // A bare list of addresses, as many stations serve under text/plain.
    if (start.startsWith("http://") || start.startsWith("https://"))
        return Format::M3u;
    return Format::Unknown;
}

Format fromHints(QByteArrayView contentType, QStringView fileName) {
    const QByteArray type = contentType.toByteArray().split(';').first().trimmed().toLower();
    if (type == "audio/x-scpls" || type == "application/pls+xml")
        return Format::Pls;
    if (type == "audio/x-mpegurl" || type == "audio/mpegurl" || type == "application/x-mpegurl" ||
        type == "application/vnd.apple.mpegurl")
        return Format::M3u;
    if (type == "application/xspf+xml")
        return Format::Xspf;
    if (type == "video/x-ms-asf" || type == "video/x-ms-asx" || type == "audio/x-ms-asx")
        return Format::Asx;
    const QString name = fileName.toString().toLower();
    if (name.endsWith(u".pls"))
        return Format::Pls;
    if (name.endsWith(u".m3u") || name.endsWith(u".m3u8"))
        return Format::M3u;
    if (name.endsWith(u".xspf"))
        return Format::Xspf;
    if (name.endsWith(u".asx") || name.endsWith(u".wax") || name.endsWith(u".wvx"))
        return Format::Asx;
    return Format::Unknown;
}

void append(QList<Entry>& entries, QStringView url, QStringView name) {
    const QString address = url.trimmed().toString();
    if (address.isEmpty() || entries.size() >= kMaxEntries)
        return;
    entries.append({address, cleanName(name)});
}

QStringView lines(const QString& text, qsizetype& at) {
    const qsizetype end = text.indexOf(u'\n', at);
    const QStringView line = QStringView(text).sliced(at, (end < 0 ? text.size() : end) - at);
    at = end < 0 ? text.size() : end + 1;
    return line.trimmed();
}

QList<Entry> parsePls(const QString& text) {
    struct Item {
        QString url;
        QString title;
    };
    QMap<int, Item> items; // by the number after File and Title, which orders them
    static const QRegularExpression pair(QStringLiteral("^(file|title)(\\d{1,6})\\s*=(.*)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    for (qsizetype at = 0; at < text.size();) {
        const QRegularExpressionMatch m = pair.match(lines(text, at).toString());
        if (!m.hasMatch())
            continue;
        const int n = m.capturedView(2).toInt();
        if (!items.contains(n) && items.size() >= kMaxEntries)
            continue;
        Item& item = items[n];
        (m.capturedView(1).compare(u"file", Qt::CaseInsensitive) == 0 ? item.url : item.title) =
            m.captured(3).trimmed();
    }
    QList<Entry> entries;
    for (const Item& item : std::as_const(items))
        append(entries, item.url, item.title);
    return entries;
}

// The title of an "#EXTINF:<duration> <attributes>,<title>" line: after the first comma that is
// not inside a quoted attribute.
QStringView extinfTitle(QStringView line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"')
            quoted = !quoted;
        else if (line[i] == u',' && !quoted)
            return line.sliced(i + 1);
    }
    return {};
}

QList<Entry> parseM3u(const QString& text) {
    QList<Entry> entries;
    QString pendingName;
    for (qsizetype at = 0; at < text.size() && entries.size() < kMaxEntries;) {
        const QStringView line = lines(text, at);
        if (line.isEmpty())
            continue;
        if (line.startsWith(u'#')) {
            if (line.startsWith(u"#EXTINF:", Qt::CaseInsensitive))
                pendingName = extinfTitle(line).toString();
            continue;
        }
        append(entries, line, pendingName);
        pendingName.clear();
    }
    return entries;
}

bool named(const QXmlStreamReader& xml, QLatin1StringView name) {
    return xml.name().compare(name, Qt::CaseInsensitive) == 0;
}

QString attribute(const QXmlStreamReader& xml, QLatin1StringView name) {
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name().compare(name, Qt::CaseInsensitive) == 0)
            return a.value().toString();
    return QString();
}

// XSPF: <track><location>…</location><title>…</title></track>. What was read before an XML
// error is kept.
QList<Entry> parseXspf(QByteArrayView bytes) {
    QList<Entry> entries;
    QXmlStreamReader xml(bytes.toByteArray());
    QString location, title;
    bool inTrack = false;
    while (!xml.atEnd() && entries.size() < kMaxEntries) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (named(xml, QLatin1StringView("track"))) {
                inTrack = true;
                location.clear();
                title.clear();
            } else if (inTrack && named(xml, QLatin1StringView("location")) && location.isEmpty()) {
                location = xml.readElementText(QXmlStreamReader::SkipChildElements);
            } else if (inTrack && named(xml, QLatin1StringView("title"))) {
                title = xml.readElementText(QXmlStreamReader::SkipChildElements);
            }
        } else if (token == QXmlStreamReader::EndElement && named(xml, QLatin1StringView("track"))) {
            if (inTrack)
                append(entries, location, title);
            inTrack = false;
        }
    }
    return entries;
}

// ASX: <entry><title>…</title><ref href="…"/>…</entry>, tags and attributes in any case; every
// ref of an entry counts, in order. ASX files are often not quite XML: bare ampersands in
// addresses are escaped first.
QList<Entry> parseAsx(QByteArrayView bytes) {
    static const QRegularExpression bareAmpersand(QStringLiteral("&(?!(?:[A-Za-z][A-Za-z0-9]*|#[0-9]+|#x[0-9A-Fa-f]+);)"));
    QString text = decodeText(bytes);
    text.replace(bareAmpersand, QStringLiteral("&amp;"));
    QList<Entry> entries;
    QXmlStreamReader xml(text);
    QStringList refs;
    QString title;
    int depth = 0; // inside <entry>
    while (!xml.atEnd() && entries.size() < kMaxEntries) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (named(xml, QLatin1StringView("entry"))) {
                ++depth;
                refs.clear();
                title.clear();
            } else if (named(xml, QLatin1StringView("ref")) && depth > 0 && refs.size() < kMaxEntries) {
                refs.append(attribute(xml, QLatin1StringView("href")));
            } else if (named(xml, QLatin1StringView("entryref"))) {
                append(entries, attribute(xml, QLatin1StringView("href")), {});
            } else if (named(xml, QLatin1StringView("title")) && depth > 0) {
                title = xml.readElementText(QXmlStreamReader::SkipChildElements);
            }
        } else if (token == QXmlStreamReader::EndElement && named(xml, QLatin1StringView("entry")) && depth > 0) {
            --depth;
            for (const QString& ref : std::as_const(refs))
                append(entries, ref, title);
            refs.clear();
        }
    }
    return entries;
}

} // namespace

QString cleanName(QStringView text) {
    QString clean;
    clean.reserve(qMin(text.size(), kMaxNameLength + 1));
    for (const QChar c : text) {
        const auto category = c.category();
        const bool blank = category == QChar::Other_Control || category == QChar::Separator_Line ||
                           category == QChar::Separator_Paragraph || category == QChar::Other_Format;
        clean.append(blank ? QChar(u' ') : c);
        if (clean.size() > kMaxNameLength + 1)
            break;
    }
    clean = clean.simplified();
    if (clean.size() > kMaxNameLength) {
        qsizetype cut = kMaxNameLength;
        if (clean.at(cut - 1).isHighSurrogate())
            --cut; // a character whole or not at all
        clean.truncate(cut);
    }
    return clean;
}

Format detect(QByteArrayView bytes, QByteArrayView contentType, QStringView fileName) {
    if (bytes.isEmpty() || looksBinary(bytes))
        return Format::Unknown;
    if (const Format format = fromContent(bytes); format != Format::Unknown)
        return format;
    const QByteArray start = head(bytes);
    if (start.startsWith('<'))
        return Format::Unknown; // a web page under a playlist's name is still a web page
    const Format hinted = fromHints(contentType, fileName);
    if (hinted == Format::M3u && hasHlsTags(bytes))
        return Format::Hls;
    return hinted == Format::Xspf || hinted == Format::Asx ? Format::Unknown : hinted;
}

QList<Entry> parse(QByteArrayView bytes, Format format) {
    if (bytes.size() > kMaxBytes)
        bytes = bytes.first(kMaxBytes);
    switch (format) {
    case Format::Pls:
        return parsePls(decodeText(bytes));
    case Format::M3u:
        return parseM3u(decodeText(bytes));
    case Format::Xspf:
        return parseXspf(bytes);
    case Format::Asx:
        return parseAsx(bytes);
    case Format::Hls:
    case Format::Unknown:
        break;
    }
    return {};
}

QList<Entry> parse(QByteArrayView bytes, QByteArrayView contentType, QStringView fileName) {
    return parse(bytes, detect(bytes, contentType, fileName));
}

} // namespace playlist
