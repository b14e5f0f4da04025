// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"
#include "radio/PlaybackSession.h"

#include <QWidget>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QSlider;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class CachedURLImageView;
class ElidedLabel;
class ElidedTextButton;
class IconLoader;

// Which strip shows below the table; stored in "stripVis" as 0, 1 and 2.
enum class Strip { None = 0, Favorites = 1, Recents = 2 };

// The popover's content, built in code: the loaded station at the top, the station table with
// its tools in the middle, the strips and the status line below. It shows what it is given and
// tells what the user does; RadioViewController decides. Its controls are its own: the hosts
// the panels plug into are the only widgets it hands out.
class PopoverView : public QWidget {
    Q_OBJECT
public:
    // `icons` loads the station pictures; it must outlive the view.
    explicit PopoverView(IconLoader* icons, QWidget* parent = nullptr);

    // ---- The loaded station
    // Its picture, name, details and tags (a null station: none loaded).
    void setStation(const Station& station);
    // The stream's format, part of the details line while it plays.
    void setFormat(const QString& format);
    void setNowPlaying(const QString& text);
    void setPlaybackState(PlaybackSession::State state);
    static QString playButtonText(PlaybackSession::State state);
    // Favourite or not; `canStep`: the stepper that moves it among the favourites shows.
    void setFavorite(bool favorite, bool canStep);
    void setVoteEnabled(bool enabled);
    // 0 to 100.
    void setVolume(int volume);
    // A widget for the tool row, after the station's buttons (the recording control).
    void setRecordingControl(QWidget* control);

    // ---- Browsing
    // The country button's flag and what it says of the choice.
    void setCountry(const QString& flag, const QString& toolTip);
    // The country picker beside the table; the keyboard goes back to the table when it closes.
    void setCountryPickerShown(bool shown);
    bool countryPickerShown() const;
    void setSearchPrompt(const QString& placeholder, const QString& description);
    // Empties the search field without telling of it: the filters were cleared.
    void clearSearch();
    void focusSearch();
    void setSortMenu(QMenu* menu);
    void setTagsMenu(QMenu* menu);
    void setFacetsMenu(QMenu* menu);
    void setFacetsVisible(bool visible);
    void setMoreResultsVisible(bool visible);
    void setMessage(const QString& text);
    // While the stations load, a busy indicator with `text` stands in for the table.
    void setBusy(bool busy, const QString& text = QString());

    // ---- Server tab and tabs
    struct ServerItem {
        QString title;
        QString server; // empty: an item that chooses nothing (a warning)
    };
    void setServers(const QList<ServerItem>& items, int selected);
    void addTab(QWidget* page, const QString& title);
    void setOwnStationsMenu(QMenu* menu);

    // ---- Strips
    // The two strips, placed in the strip host.
    void setStrips(QWidget* favorites, QWidget* recents);
    void setStrip(Strip shown);

    // ---- Hosts the panels plug into
    QListView* table() const { return table_; }
    QWidget* auxHostView() const { return auxHostView_; }
    QWidget* stationsStripHostView() const { return stationsStripHostView_; }
    QWidget* outputHost() const { return outputHost_; }

    QSize sizeHint() const override { return QSize(440, 640); }

    // The widgets Tab visits, in order: the loaded station's controls, the tab bar, the page
    // (the country picker after the table), the strip's buttons, then the strip.
    QList<QWidget*> tabChain() const;

Q_SIGNALS:
    void playToggled();
    void favoriteToggled();
    // Towards the front of the favourites (1) or their end (0).
    void stepRequested(int direction);
    void homepageRequested();
    void voteRequested();
    void nowPlayingClicked();
    void volumeChanged(int volume);
    void countryPickerRequested(bool shown);
    void searchTextChanged(const QString& text);
    void moreResultsRequested();
    void tabChosen(int index);
    void serverChosen(const QString& server);
    void pageRequested(const QString& address);
    void addStationRequested();
    // A strip segment was pressed: the strip it names.
    void stripChosen(Strip strip);
    void detachRequested();
    // The table's row was activated (a double click, Return, Enter) or its star pressed (Space).
    void rowActivated(int row);
    void rowFavoriteToggled(int row);

protected:
    // Tab follows tabChain(): parts are made at different times (the strips and the picker
    // late), so the creation order would not be the reading order.
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildHeader(IconLoader* icons);
    QWidget* buildStationsPage();
    QWidget* buildServerPage();
    void buildStripBar(QHBoxLayout* bar);
    // Every themed icon of the panel is looked up here, with a text for themes without it.
    void updateIcons();
    void showDetails();

    // Loaded station
    CachedURLImageView* stationImage_;
    ElidedLabel* stationName_;
    ElidedLabel* stationDetails_;
    ElidedLabel* stationTags_;
    ElidedTextButton* streamText_; // the now-playing title; a click searches the web for it
    QHBoxLayout* toolRow_;
    QToolButton* playButton_;
    QToolButton* toggleFavoriteButton_;
    QWidget* stationStepper_;
    QToolButton* stepperUp_;
    QToolButton* stepperDown_;
    QToolButton* homepageButton_;
    QToolButton* voteButton_;
    QLabel* speaker_;
    QSlider* volumeSlider_;

    // Browsing
    QTabWidget* tabs_; // 0 stations, 1 server
    QToolButton* countriesButton_;
    QLineEdit* searchField_;
    QToolButton* sortButton_;
    QToolButton* tagsButton_;
    QToolButton* facetsButton_;     // the search facets, shown when searching everywhere
    QPushButton* moreResultsButton_; // the next page of a search everywhere
    QStackedWidget* tableStack_;    // the table, or the busy indicator in its place
    QLabel* busyText_;
    QListView* table_;
    QWidget* auxHostView_;
    QLabel* message_;

    // Server tab
    QComboBox* serversPopup_;
    QWidget* outputHost_; // where the sound output choice goes

    // Strips
    QToolButton* favoritesSegment_;
    QToolButton* recentsSegment_;
    QToolButton* ownStationsButton_; // its menu adds, imports and exports stations
    QWidget* stationsStripHostView_;
    QWidget* favoritesStrip_ = nullptr;
    QWidget* recentsStrip_ = nullptr;
    QToolButton* detachButton_;

    Station station_;
    QString format_;
    PlaybackSession::State state_ = PlaybackSession::State::Stopped;
    bool favorite_ = false;
    Strip strip_ = Strip::None;
};
