// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class AddStationDialog;
class HttpTransport;
class PopoverView;
class QMenu;
class RadioBrowser;
class StationResolver;

// The panel's way to stations of the user's own: the menu of the "+" button beside the strips
// ("Add a station…", "Import…", "Export…") and the server tab's "Add a missing station".
class OwnStationsMenu : public QObject {
    Q_OBJECT
public:
    OwnStationsMenu(HttpTransport& transport, RadioBrowser& api, PopoverView& view, QObject* parent = nullptr);
    ~OwnStationsMenu() override;

    QMenu* menu() const { return menu_; }
    // The dialog open now, if any.
    AddStationDialog* dialog() const;

    AddStationDialog* addStationAction();
    // Ask for a file, then do it; the outcome shows in the panel's status line.
    void importAction();
    void exportAction();
    // The same without asking; the text the status line shows.
    QString importFile(const QString& path);
    QString exportFile(const QString& path);

private:
    void say(const QString& text);

    RadioBrowser& api_;
    PopoverView& view_;
    StationResolver* resolver_;
    QMenu* menu_;
    QPointer<AddStationDialog> dialog_;
};
