// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/StationLinks.h"

#include "radio/RadioShell.h"
#include "util/RemoteText.h"

#include <QTimer>

StationLinks::StationLinks(RadioShell& shell, QObject* parent) : QObject(parent), shell_(shell) {}

QUrl StationLinks::homepageOf(const Station& station) {
    const QString homepage = station.isNull() ? QString() : station.string(Station::Key::Homepage).trimmed();
    if (homepage.isEmpty())
        return QUrl();
    auto parse = [](const QString& text) {
        QUrl url(text, QUrl::StrictMode);
        if (!url.isValid())
            url = QUrl(QString::fromLatin1(QUrl::toPercentEncoding(text, "/:?#[]@!$&'()*+,;=%")), QUrl::StrictMode);
        return url;
    };
    QUrl url = parse(homepage);
    // Many home pages are listed without a scheme ("www.example.com", "example.com:8000/live",
    // where the host reads as one): they are web pages.
    if (url.scheme().isEmpty() || url.scheme().contains(u'.'))
        url = parse((homepage.startsWith(QLatin1String("//")) ? QStringLiteral("http:") : QStringLiteral("http://")) + homepage);
    return url;
}

QUrl StationLinks::searchFor(const QString& title, const QString& placeholder, const QString& warningPrefix) {
    if (title.isNull() || title.size() < 3 || title == placeholder || title.startsWith(warningPrefix))
        return QUrl();
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(kSearchHost);
    url.setPath(QStringLiteral("/search"));
    // The value is encoded whole: "&", "=", "+" and "#" in a title would end or change it.
    url.setQuery(QStringLiteral("q=") + QString::fromLatin1(QUrl::toPercentEncoding(title)), QUrl::TolerantMode);
    return url;
}

void StationLinks::visitStationPage(const Station& station) {
    if (station.isNull() || station.string(Station::Key::Homepage).trimmed().isEmpty())
        return;
    const QUrl url = homepageOf(station);
    if (!remote::isWebAddress(url)) {
        shell_.beep();
        return;
    }
    openLater(url);
}

void StationLinks::visitPage(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return;
    if (!remote::isWebAddress(url)) {
        shell_.beep();
        return;
    }
    openLater(url);
}

void StationLinks::visitNowPlaying(const QString& title, const QString& placeholder, const QString& warningPrefix) {
    const QUrl url = searchFor(title, placeholder, warningPrefix);
    if (url.isEmpty()) {
        shell_.beep();
        return;
    }
    shell_.openURL(url);
}

void StationLinks::openLater(const QUrl& url) {
    QTimer::singleShot(0, this, [this, url] { shell_.openURL(url); });
}
