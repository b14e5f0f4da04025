// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QObject>
#include <QUrl>

class RadioShell;

// The web pages the panel opens: a station's home page, an address of the panel's own, and a
// web search for the now-playing title. An address that cannot be a web page beeps instead.
class StationLinks : public QObject {
    Q_OBJECT
public:
    // `shell` opens and beeps; it must outlive the links.
    explicit StationLinks(RadioShell& shell, QObject* parent = nullptr);

    static inline const QString kSearchHost = QStringLiteral("duckduckgo.com");
    // The address of a station's home page; an empty one when it has none that parses.
    static QUrl homepageOf(const Station& station);
    // The web search for a title; an empty address for no title, a placeholder or a warning.
    static QUrl searchFor(const QString& title, const QString& placeholder, const QString& warningPrefix);

    void visitStationPage(const Station& station);
    void visitPage(const QString& text);
    void visitNowPlaying(const QString& title, const QString& placeholder, const QString& warningPrefix);

private:
    // After the current event, as a button's click ends first.
    void openLater(const QUrl& url);

    RadioShell& shell_;
};
