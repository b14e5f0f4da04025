// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"
#include "panels/CountriesViewDelegate.h"
#include "panels/TagsViewDelegate.h"
#include "radio/PlaybackSession.h"
#include "radio/StationPlayer.h"
#include "radio/StationBrowser.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
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
class PopoverView;
class QMenu;
class RadioBrowser;
class RadioShell;
class StationCellView;
class StationTableModel;
class UserDefaults;

// The popover's controller: the country's stations, their filter and order, the loaded station
// and its playback, the favourite actions, the server choice and the links. Everything runs on
// the main thread. The panels it hosts plug into the tags menu, the auxiliary panel and the
// strip host.
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
    static QString liveBroadcastText() { return tr("Live Broadcast"); }
    static inline const QString kWarningPrefix = QStringLiteral("⚠️ ");

    explicit RadioViewController(const Collaborators& collaborators, QObject* parent = nullptr);
    ~RadioViewController() override;

    PopoverView* view() const { return view_; }
    PlaybackSession& session() const { return c_.playback->session(); }
    // The status line ("1,234 Stations", a warning, a passing vote message).
    QString message() const { return message_; }
    // The panel's now-playing line for a session: the title, "Live Broadcast", a warning.
    static QString nowPlayingText(const PlaybackSession& session);
    // "Play", "Loading..." or "Stop".
    static QString playButtonText(PlaybackSession::State state);

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
    // The strip shown below the table; stored in "stripVis" as 0, 1 and 2.
    enum class Strip { None = 0, Favorites = 1, Recents = 2 };
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
    void controlTextDidChange(QObject* sender);
    void sortByChanged();
    void menuWillOpen(QMenu* menu);
    void requestStations_Callback(std::optional<StationList> stations, const QString& error);

    // ---- Playback
    Station loadedStation() const { return c_.playback->loadedStation(); }
    QString loadedStationSQ() const { return loadedStationSQ_; }
    QString loadedStationLocation() const { return loadedStationLocation_; }
    QString loadedStationLanguage() const { return loadedStationLanguage_; }
    QString loadedStationTags() const { return loadedStationTags_; }
    QString loadedStationFormat() const;
    bool loadedStationIsFavorite() const { return loadedStationIsFavorite_; }
    QString nowPlaying() const { return nowPlaying_; }
    void loadStation(const Station& station, bool play);
    void player_play();
    void player_stop();
    void togglePlayAction();
    void tableDoubleAction();
    // A strip's tile asks for its station.
    void _loadStationNotification(const Station& station, bool play);
    void volumeChangedAction();

    // ---- Rows, favourites, server, links
    void tableAction() {}
    void toggleFavoriteAction(int row);
    void toggleLoadedStationFavoriteAction();
    void stepperAction(int direction);
    void tabViewWillSelect(int index);
    void prepereServerPopup();
    void serverChosenAction();
    void visitStationPage();
    void voteAction();
    void visitPage(const QString& text);
    void visitNowPlayingAction(const QString& text);

    // Hosts the panels plug into.
    QMenu* sortMenu() const { return sortMenu_; }
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
    void applyStepperRule();
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
    void showNowPlaying();
    void showLoadedStation();
    // The session has a new station: its details for the header.
    void stationLoaded(const Station& station);
    void openLater(const QUrl& url);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wireView();

    Collaborators c_;
    QPointer<PopoverView> view_;
    StationTableModel* model_ = nullptr;
    StationCellView* cells_ = nullptr;
    QMenu* sortMenu_ = nullptr;
    QMenu* tagsMenu_ = nullptr;
    TagsView* tagsView_ = nullptr;
    CountriesView* countriesView_ = nullptr;
    StationsStripView* favoritesStripView_ = nullptr;
    StationsStripView* recentsStripView_ = nullptr;
    VisibleIconRequests* iconRequests_ = nullptr;
    StationBrowser* browser_ = nullptr;
    SearchFacetsView* facetsView_ = nullptr; // owned by the facets button's menu

    bool preparedFirstTime_ = false;

    QString loadedStationSQ_, loadedStationLocation_, loadedStationLanguage_, loadedStationTags_;
    bool loadedStationIsFavorite_ = false;
    QString nowPlaying_; // as shown, made from the session
    QTimer retryCountdown_; // while reconnecting: the line's "next try in N s"
    QString message_;
    QString pictureShownFor_; // the station whose picture the header shows
};
