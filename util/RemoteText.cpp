// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/RemoteText.h"

#include <algorithm>
#include <QHostAddress>
#include <QUrl>

namespace remote {

QString forLog(QStringView text, qsizetype limit) {
    const bool cut = text.size() > limit;
    QString out = (cut ? text.first(limit) : text).toString();
    for (QChar& c : out) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    }
    if (cut)
        out += u'…';
    return out;
}

QString forLog(std::string_view utf8, qsizetype limit) {
    // Decode no more than the limit can show: four bytes per character at most.
    const std::size_t bytes = std::min(utf8.size(), std::size_t(limit + 1) * 4);
    return forLog(QString::fromUtf8(utf8.data(), qsizetype(bytes)), limit);
}

bool isWebAddress(const QUrl& url) {
    // QUrl gives the scheme in lower case, whatever was written.
    return url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) &&
           !url.host().isEmpty();
}

bool isWebAddress(QStringView address) {
    return isWebAddress(QUrl(address.trimmed().toString()));
}

bool isWebAddress(std::string_view utf8) {
    return isWebAddress(QUrl(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).trimmed()));
}

bool isServerAddress(const QString& value) {
    if (value.contains(QLatin1String("://"))) {
        const QUrl url(value, QUrl::StrictMode);
        return url.isValid() &&
               (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) &&
               !url.host().isEmpty() && url.userInfo().isEmpty() && !url.hasQuery() && !url.hasFragment();
    }
    return !value.isEmpty() &&
           QUrl(QStringLiteral("https://") + value, QUrl::StrictMode).host() == value.toLower();
}

bool isLocalNetworkHost(const QString& host) {
    QString name = host.toLower();
    if (name.endsWith(u'.'))
        name.chop(1);
    if (name == u"localhost" || name.endsWith(u".localhost"))
        return true;
    QHostAddress address;
    if (!address.setAddress(name))
        return false; // a name: where it leads is the resolver's business
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    if (mapped)
        address = QHostAddress(v4);
    if (address.isLoopback() || address.isLinkLocal() || address.isUniqueLocalUnicast() ||
        address.isSiteLocal() || address.isNull() || address == QHostAddress::AnyIPv4 ||
        address == QHostAddress::AnyIPv6)
        return true;
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        const quint32 a = address.toIPv4Address();
        return (a >> 24) == 10 || (a >> 20) == (172u << 4 | 1) || (a >> 16) == (192u << 8 | 168) ||
               (a >> 24) == 0 || (a >> 22) == (100u << 2 | 1); // 10/8, 172.16/12, 192.168/16, 0/8, 100.64/10
    }
    return false;
}

} // namespace remote
