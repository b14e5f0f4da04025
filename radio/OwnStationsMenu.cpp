// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/OwnStationsMenu.h"

#include "directory/OwnStations.h"
#include "directory/RadioBrowser.h"
#include "directory/StationResolver.h"
#include "panels/AddStationDialog.h"
#include "radio/PopoverView.h"
#include "ui/ThemeIcons.h"

#include <QDir>
#include <QFileDialog>
#include <QMenu>

OwnStationsMenu::OwnStationsMenu(HttpTransport& transport, RadioBrowser& api, PopoverView& view, QObject* parent)
    : QObject(parent), api_(api), view_(view), resolver_(new StationResolver(transport, this)),
      menu_(new QMenu(&view)) {
    menu_->addAction(themeicons::themeIcon(QStringLiteral("list-add")), tr("Add a Station…"), this,
                     &OwnStationsMenu::addStationAction);
    menu_->addAction(themeicons::themeIcon(QStringLiteral("document-open")), tr("Import…"), this,
                     &OwnStationsMenu::importAction);
    menu_->addAction(themeicons::themeIcon(QStringLiteral("document-save")), tr("Export…"), this,
                     &OwnStationsMenu::exportAction);
    view.setOwnStationsMenu(menu_);
    connect(&view, &PopoverView::addStationRequested, this, &OwnStationsMenu::addStationAction);
}

AddStationDialog* OwnStationsMenu::dialog() const {
    return dialog_;
}

OwnStationsMenu::~OwnStationsMenu() {
    delete dialog_;
}

AddStationDialog* OwnStationsMenu::addStationAction() {
    if (dialog_) {
        dialog_->raise();
        dialog_->activateWindow();
        return dialog_;
    }
    dialog_ = new AddStationDialog(api_, resolver_, Station(), view_.window());
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog_, &AddStationDialog::stationSaved, this, [this](const Station& station) {
        say(tr("Added \"%1\" to the favourites.").arg(station.string(Station::Key::Name)));
    });
    dialog_->open();
    return dialog_;
}

void OwnStationsMenu::importAction() {
    const QString path = QFileDialog::getOpenFileName(view_.window(), tr("Import Stations"), QDir::homePath(),
                                                      tr("Playlists (*.m3u *.m3u8 *.pls *.xspf);;All files (*)"));
    if (!path.isEmpty())
        say(importFile(path));
}

void OwnStationsMenu::exportAction() {
    const QString path = QFileDialog::getSaveFileName(view_.window(), tr("Export Favourites"),
                                                      QDir::home().filePath(tr("Favourites.m3u")),
                                                      tr("M3U playlist (*.m3u *.m3u8);;PLS playlist (*.pls)"));
    if (!path.isEmpty())
        say(exportFile(path));
}

QString OwnStationsMenu::importFile(const QString& path) {
    QString error;
    const std::optional<StationList> stations = OwnStations::readPlaylistFile(path, &error);
    if (!stations)
        return error;
    return OwnStations::addToFavorites(api_, *stations).text();
}

QString OwnStationsMenu::exportFile(const QString& path) {
    const StationList favorites = api_.favoriteStations();
    const QString error = OwnStations::writePlaylistFile(favorites, path);
    return error.isEmpty() ? tr("Wrote %n favourite(s) to %1.", nullptr, int(favorites.size())).arg(path) : error;
}

void OwnStationsMenu::say(const QString& text) {
    view_.setMessage(text);
}
