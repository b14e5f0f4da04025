// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"
#include "panels/CountriesViewDelegate.h"
#include "panels/TagsViewDelegate.h"
#include "radio/NowPlayingLine.h"
#include "radio/PlaybackSession.h"
#include "radio/PopoverView.h"
#include "radio/StationPlayer.h"
#include "radio/StationBrowser.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class CountriesView;
class EverywhereSearch;
class StationBrowser;
class SearchFacetsView;
class IconLoader;
class StationsStripView;
class TagsView;
class VisibleIconRequests;
class QMenu;
class RadioBrowser;
class RadioShell;
class StationCellView;
class StationLinks;
class ServerChoice;
class SortMenu;
class StationTableModel;
class UserDefaults;

// The popover's controller: it wires the station browser, the station player with its session
// and the directory client to the panel's view, which it tells what to show and hears from
// through signals. Everything runs on the main thread. The panels it hosts plug into the tags
// menu, the auxiliary panel and the strip host.
class RadioViewController : public QObject, public TagsViewDelegate, public CountriesViewDelegate {
    Q_OBJECT
public:
    struct Collaborators {
        RadioBrowser* api = nullptr;
        UserDefaults* defaults = nullptr;
        StationPlayer* playback = nullptr; // plays the loaded station; its session is what the panel shows
        RadioShell* shell = nullptr;
        IconLoader* icons = nullptr;
    };

    static QString loadingText() { return tr("Loading..."); }
    static QString noStationsText() { return tr("No stations found!"); }
    static QString serverNotWorkingText() { return tr("⚠️ Server not working!"); }
    static QString liveBroadcastText() { return NowPlayingLine::liveBroadcastText(); }
    static inline const QString kWarningPrefix = NowPlayingLine::kWarningPrefix;

    explicit RadioViewController(const Collaborators& collaborators, QObject* parent = nullptr);
    ~RadioViewController() override;

    PopoverView* view() const { return view_; }
    PlaybackSession& session() const { return c_.playback->session(); }
    // The status line ("1,234 Stations", a warning, a passing vote message).
    QString message() const { return message_; }
    // The panel's now-playing line for a session: the title, "Live Broadcast", a warning.
    static QString nowPlayingText(const PlaybackSession& session) { return NowPlayingLine::textFor(session); }

    // ---- Set-up and layout
    void popoverWillShow();
    void prepareFirstTime();
    bool popoverShouldDetach() const { return true; }
    QString countryCode() const { return browser_->countryCode(); }
    void setCountryCode(const QString& code);
    void setCountryButton();
    void selectionCountryCodeChanged(const QString& code) override;
    void toggleHostViewAction();
    void prepareHostView(bool show, bool animate);
    Strip strip() const;
    // Segment 0 is the favourites', 1 the recent stations'.
    void stripSegmentAction(int segment);
    void showHideStrip();
    // The whole directory is searched instead of one country's stations.
    bool searchingEverywhere() const { return browser_->searchingEverywhere(); }
    EverywhereSearch* everywhereSearch() const { return browser_->everywhere(); }

    // ---- Filtering and ordering: the browser's list in the table
    StationBrowser* browser() const { return browser_; }
    StationList countryStations() const { return browser_->countryStations(); }
    // The table's stations, in its order (made on demand: the table itself needs only rows).
    StationList displayStations() const { return browser_->displayStations(); }
    qsizetype displayCount() const { return browser_->displayRows().size(); }
    QStringList matchTags() const { return browser_->matchTags(); }
    QString searchText() const { return browser_->searchText(); }
    // Shows the browser's rows; `inPlace`: the same country's stations anew, and the table
    // keeps its current row and place.
    void configureDisplayStations(bool inPlace = false);
    void selectionTagsChanged(const QStringList& tags) override;
    // The search field's text as the user typed it.
    void controlTextDidChange(const QString& text);
    void sortByChanged();
    void menuWillOpen(QMenu* menu);
    void requestStations_Callback(Expected<StationList> stations);

    // ---- Playback
    Station loadedStation() const { return c_.playback->loadedStation(); }
    QString loadedStationFormat() const { return session().format(); }
    bool loadedStationIsFavorite() const { return loadedStationIsFavorite_; }
    QString nowPlaying() const { return line_->text(); }
    void loadStation(const Station& station, bool play);
    void player_play();
    void player_stop();
    void togglePlayAction();
    void tableDoubleAction(int row);
    // A strip's tile asks for its station.
    void _loadStationNotification(const Station& station, bool play);
    void volumeChangedAction(int volume);

    // ---- Rows, favourites, server, links
    void toggleFavoriteAction(int row);
    void toggleLoadedStationFavoriteAction();
    void stepperAction(int direction);
    void tabViewWillSelect(int index);
    void prepereServerPopup();
    void serverChosenAction(const QString& server);
    void visitStationPage();
    void voteAction();
    void visitPage(const QString& text);
    void visitNowPlayingAction(const QString& text);

    // Hosts the panels plug into.
    QMenu* sortMenu() const;
    QMenu* tagsMenu() const { return tagsMenu_; }
    TagsView* tagsView() const { return tagsView_; }
    CountriesView* countriesView() const { return countriesView_; }
    StationsStripView* favoritesStripView() const { return favoritesStripView_; }
    StationsStripView* recentsStripView() const { return recentsStripView_; }

Q_SIGNALS:
    void displayStationsChanged();
    void loadedStationChanged();
    void nowPlayingChanged(const QString& title);
    void detachRequested();

private:
    void clearFilters(); // search text and chosen tags
    void observeFavoriteStations();
    void setMessage(const QString& text);
    // Shows a passing text in the status line for a few seconds.
    void flashMessage(const QString& text);
    // Loads the station played last (or the list's first) when none is loaded.
    void restoreLoadedStation();
    // The facets menu and the search field's words while searching everywhere.
    void enterEverywhere();
    void leaveEverywhere();
    void updateEverywhereQuery();
    void showStatus();
    void showPlaybackState();
    void showFavorite();
    // The session has a new station: its details for the header.
    void stationLoaded(const Station& station);
    void makeMenus();
    void wireView();

    Collaborators c_;
    QPointer<PopoverView> view_;
    StationLinks* links_ = nullptr;
    StationTableModel* model_ = nullptr;
    StationCellView* cells_ = nullptr;
    SortMenu* sortMenu_ = nullptr;
    ServerChoice* servers_ = nullptr;
    NowPlayingLine* line_ = nullptr;
    QMenu* tagsMenu_ = nullptr;
    TagsView* tagsView_ = nullptr;
    CountriesView* countriesView_ = nullptr;
    StationsStripView* favoritesStripView_ = nullptr;
    StationsStripView* recentsStripView_ = nullptr;
    VisibleIconRequests* iconRequests_ = nullptr;
    StationBrowser* browser_ = nullptr;
    SearchFacetsView* facetsView_ = nullptr; // owned by the facets button's menu

    bool preparedFirstTime_ = false;
    bool loadedStationIsFavorite_ = false;
    QString typed_; // the search field's text
    QString message_;
};
