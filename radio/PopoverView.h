// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSlider;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class QButtonGroup;
class CachedURLImageView;
class ElidedTextButton;
class IconLoader;

// The popover's content, built in code: the loaded station at the top, the station table with
// its tools in the middle, the strips and the status line below. It only lays out controls;
// RadioViewController gives them behaviour.
class PopoverView : public QWidget {
    Q_OBJECT
public:
    // `icons` loads the station pictures; it must outlive the view.
    explicit PopoverView(IconLoader* icons, QWidget* parent = nullptr);

    // Loaded station
    CachedURLImageView* stationImage;
    QLabel* stationName;
    QLabel* stationDetails;
    QLabel* stationTags;
    ElidedTextButton* streamText; // the now-playing title; a click searches the web for it
    QPushButton* playButton;
    QToolButton* toggleFavoriteButton;
    QWidget* stationStepper;
    QToolButton* stepperUp;
    QToolButton* stepperDown;
    QToolButton* homepageButton;
    QToolButton* voteButton;
    QSlider* volumeSlider;

    // Browsing
    QTabWidget* tabs; // 0 stations, 1 server
    QToolButton* countriesButton;
    QLineEdit* searchField;
    QToolButton* sortButton;
    QToolButton* tagsButton;
    QToolButton* facetsButton;     // the search facets, shown when searching everywhere
    QPushButton* moreResultsButton; // the next page of a search everywhere
    QListView* table;
    QWidget* auxHostView;
    QLabel* message;

    // Server tab
    QComboBox* serversPopup;
    QLabel* serverNote;
    QPushButton* directoryLink;
    QPushButton* projectLink;
    QWidget* outputHost; // where the sound output choice goes

    // Strips
    QToolButton* favoritesSegment;
    QToolButton* recentsSegment;
    QToolButton* ownStationsButton; // its menu adds, imports and exports stations
    QWidget* stationsStripHostView;
    QToolButton* detachButton;

    QSize sizeHint() const override { return QSize(440, 640); }

    // The widgets Tab visits, in order: the loaded station's controls, the tab bar, the page
    // (the country picker after the table), the strip's buttons, then the strip.
    QList<QWidget*> tabChain() const;

protected:
    // Tab follows tabChain(): parts are made at different times (the strips and the picker
    // late), so the creation order would not be the reading order.
    bool focusNextPrevChild(bool next) override;
};
