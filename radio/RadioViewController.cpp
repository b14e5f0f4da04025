// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/RadioViewController.h"

#include "directory/RadioBrowser.h"
#include "geo/Countries.h"
#include "radio/EverywhereSearch.h"
#include "radio/NowPlayingLine.h"
#include "radio/PlaybackSession.h"
#include "radio/PopoverView.h"
#include "radio/StationBrowser.h"
#include "radio/RadioShell.h"
#include "radio/ServerChoice.h"
#include "radio/SortMenu.h"
#include "radio/StationCellView.h"
#include "radio/StationLinks.h"
#include "radio/StationTableModel.h"
#include "panels/CountriesView.h"
#include "panels/CountryListModel.h"
#include "panels/SearchFacetsView.h"
#include "panels/StationsStripView.h"
#include "panels/TagsView.h"
#include "ui/StationImages.h"
#include "ui/ViewExtensions.h"
#include "ui/VisibleIconRequests.h"
#include "util/TextUtils.h"
#include "util/UserDefaults.h"
#include "util/UserLocale.h"

#include <QDateTime>
#include <QLayout>
#include <QListView>
#include <QMenu>
#include <QTimer>
#include <QWidgetAction>

namespace {
const QString& kCountryKey = settingskeys::kRadioStationsCountryCode;
const QString& kStripKey = settingskeys::kStripVis;
constexpr const char* kCountrySearchPlaceholder =
    QT_TRANSLATE_NOOP("RadioViewController", "Search names and tags");
constexpr const char* kEverywherePlaceholder =
    QT_TRANSLATE_NOOP("RadioViewController", "Search the whole directory");
constexpr const char* kEverywherePrompt =
    QT_TRANSLATE_NOOP("RadioViewController", "Type a name, or choose filters, to search every country");
} // namespace

RadioViewController::RadioViewController(const Collaborators& collaborators, QObject* parent)
    : QObject(parent), c_(collaborators), view_(new PopoverView(collaborators.icons)) {
    links_ = new StationLinks(*c_.shell, this);
    servers_ = new ServerChoice(*c_.api, *view_, this);
    line_ = new NowPlayingLine(session(), this);
    model_ = new StationTableModel([this](const Station& s) { return c_.api->isFavoriteStation(s); }, this);
    browser_ = new StationBrowser(c_.api, c_.defaults, this);
    cells_ = new StationCellView(this);
    QListView* table = view_->table();
    table->setModel(model_);
    table->setItemDelegate(cells_);
    // Pictures for the rows on screen only: a country has thousands of stations.
    iconRequests_ = new VisibleIconRequests(table, *c_.icons, this);
    cells_->setIconProvider([this, table](const Station& station, const QModelIndex& index, int size) {
        const QString url = RadioBrowser::iconPathForStation(station);
        if (url.isEmpty())
            return QPixmap();
        const qreal dpr = table->devicePixelRatioF();
        const QImage icon = iconRequests_->icon(index, QUrl(url), stationimages::iconFolderForStation(station),
                                                station.string(Station::Key::StationUuid), QSize(size, size) * dpr);
        QPixmap pixmap = QPixmap::fromImage(icon);
        pixmap.setDevicePixelRatio(dpr);
        return pixmap;
    });
    makeMenus();
    wireView();
}

RadioViewController::~RadioViewController() {
    if (!view_)
        return;
    // A view being torn down still sends signals; they must not reach this half-gone controller.
    view_->disconnect(this);
    // The popover that shows the view owns it once it is placed there.
    if (!view_->parent())
        delete view_;
}

void RadioViewController::makeMenus() {
    sortMenu_ = new SortMenu(*c_.defaults, view_);
    connect(sortMenu_, &SortMenu::sortChanged, this, &RadioViewController::sortByChanged);
    view_->setSortMenu(sortMenu_);

    tagsMenu_ = new QMenu(view_);
    tagsMenu_->addAction(new QWidgetAction(tagsMenu_)); // the tag panel's place
    view_->setTagsMenu(tagsMenu_);
    for (QMenu* menu : {static_cast<QMenu*>(sortMenu_), tagsMenu_})
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { menuWillOpen(menu); });
}

QMenu* RadioViewController::sortMenu() const {
    return sortMenu_;
}

void RadioViewController::wireView() {
    connect(browser_, &StationBrowser::displayChanged, this, &RadioViewController::configureDisplayStations);
    connect(browser_, &StationBrowser::statusChanged, this, &RadioViewController::showStatus);
    connect(browser_, &StationBrowser::stationsArrived, this, &RadioViewController::restoreLoadedStation);
    connect(browser_, &StationBrowser::filtersCleared, this, &RadioViewController::clearFilters);
    connect(browser_, &StationBrowser::everywhereChanged, this, [this](bool on) { on ? enterEverywhere() : leaveEverywhere(); });
    connect(browser_, &StationBrowser::everywhereQueryWanted, this, &RadioViewController::updateEverywhereQuery);
    PopoverView* v = view_;
    connect(v, &PopoverView::searchTextChanged, this, &RadioViewController::controlTextDidChange);
    connect(v, &PopoverView::rowActivated, this, &RadioViewController::tableDoubleAction);
    connect(v, &PopoverView::rowFavoriteToggled, this, &RadioViewController::toggleFavoriteAction);
    connect(cells_, &StationCellView::favoriteClicked, this, [this](const QModelIndex& i) { toggleFavoriteAction(i.row()); });
    connect(v, &PopoverView::playToggled, this, &RadioViewController::togglePlayAction);
    connect(v, &PopoverView::favoriteToggled, this, &RadioViewController::toggleLoadedStationFavoriteAction);
    connect(v, &PopoverView::stepRequested, this, &RadioViewController::stepperAction);
    connect(v, &PopoverView::homepageRequested, this, &RadioViewController::visitStationPage);
    connect(v, &PopoverView::voteRequested, this, &RadioViewController::voteAction);
    connect(v, &PopoverView::nowPlayingClicked, this, [this] { visitNowPlayingAction(session().title()); });
    connect(v, &PopoverView::volumeChanged, this, &RadioViewController::volumeChangedAction);
    connect(v, &PopoverView::countryPickerRequested, this, &RadioViewController::toggleHostViewAction);
    connect(v, &PopoverView::tabChosen, this, &RadioViewController::tabViewWillSelect);
    connect(v, &PopoverView::serverChosen, this, &RadioViewController::serverChosenAction);
    connect(v, &PopoverView::pageRequested, this, &RadioViewController::visitPage);
    connect(v, &PopoverView::stripChosen, this, [this](Strip chosen) { stripSegmentAction(chosen == Strip::Favorites ? 0 : 1); });
    connect(v, &PopoverView::detachRequested, this, &RadioViewController::detachRequested);

    // The panel shows the session; what it shows is made from it, never kept beside it.
    PlaybackSession* s = &session();
    connect(s, &PlaybackSession::stateChanged, this, &RadioViewController::showPlaybackState);
    connect(line_, &NowPlayingLine::changed, this, [this](const QString& text) {
        view_->setNowPlaying(text);
        Q_EMIT nowPlayingChanged(text);
    });
    connect(s, &PlaybackSession::formatChanged, v, &PopoverView::setFormat);
    connect(s, &PlaybackSession::stationChanged, this, &RadioViewController::stationLoaded);
    if (!s->station().isNull()) // loaded at launch, before the panel was made
        stationLoaded(s->station());
    connect(s, &PlaybackSession::volumeChanged, v, [v](double volume) { v->setVolume(qRound(volume * 100)); });
    showPlaybackState();
}

void RadioViewController::showPlaybackState() {
    view_->setPlaybackState(session().state());
    line_->update();
}

// ---- Set-up and layout

void RadioViewController::popoverWillShow() {
    if (!preparedFirstTime_) {
        preparedFirstTime_ = true;
        prepareFirstTime();
    }
    view_->focusSearch();
}

void RadioViewController::prepareFirstTime() {
    showPlaybackState();
    browser_->clearFilters();
    prepareHostView(false, false);

    const QString code = c_.defaults->string(kCountryKey);
    setCountryCode(code.isEmpty() ? userlocale::regionCode() : code); // as "My Region" would choose
    browser_->requestStations(false);
    setCountryButton();

    QWidget* host = view_->stationsStripHostView();
    favoritesStripView_ = StationsStripView::createStationsStripView(StationsStripView::List::Favorites, *c_.api, *c_.icons, host);
    recentsStripView_ = StationsStripView::createStationsStripView(StationsStripView::List::Recents, *c_.api, *c_.icons, host);
    for (StationsStripView* strip : {favoritesStripView_, recentsStripView_})
        connect(strip, &StationsStripView::loadStationRequested, this, &RadioViewController::_loadStationNotification);
    view_->setStrips(favoritesStripView_, recentsStripView_);
    connect(c_.api, &RadioBrowser::favoriteStationsChanged, this, &RadioViewController::observeFavoriteStations);
    showHideStrip();

    view_->setVolume(qRound(session().volume() * 100));
    view_->setStation(loadedStation());
    showFavorite();
}

void RadioViewController::setCountryCode(const QString& code) {
    browser_->setCountryCode(code);
}

void RadioViewController::setCountryButton() {
    if (searchingEverywhere()) {
        view_->setCountry(QStringLiteral("🌐"), tr("Everywhere: the stations of every country"));
        return;
    }
    const QString flag = countries::stringFlagForCountryCode(countryCode());
    const QString name = countries::stringCountryForCountryCode(countryCode());
    view_->setCountry(flag.isEmpty() ? QStringLiteral("🏳️") : flag,
                      views::plainToolTip(tr("Country: %1").arg(name.isEmpty() ? countryCode() : name)));
}

void RadioViewController::selectionCountryCodeChanged(const QString& code) {
    prepareHostView(false, true);
    browser_->chooseCountry(code);
    setCountryButton();
}

void RadioViewController::toggleHostViewAction() {
    const bool closed = !view_->countryPickerShown();
    if (closed) {
        if (!countriesView_) {
            countriesView_ = CountriesView::countriesViewWithDelegate(*c_.api, this, view_->auxHostView());
            view_->auxHostView()->layout()->addWidget(countriesView_);
        }
        countriesView_->configure(countryCode());
    }
    prepareHostView(closed, true);
}

void RadioViewController::prepareHostView(bool show, bool animate) {
    Q_UNUSED(animate) // the layout moves the table aside; no frame animation needed
    view_->setCountryPickerShown(show);
}

void RadioViewController::stripSegmentAction(int segment) {
    const Strip chosen = segment == 0 ? Strip::Favorites : Strip::Recents;
    const Strip next = strip() == chosen ? Strip::None : chosen; // the shown list's segment hides it
    c_.defaults->setValue(kStripKey, qint64(next));
    showHideStrip();
}

void RadioViewController::showHideStrip() {
    view_->setStrip(strip());
}

Strip RadioViewController::strip() const {
    const qint64 stored = c_.defaults->integer(kStripKey);
    return stored == 1 ? Strip::Favorites : stored == 2 ? Strip::Recents : Strip::None;
}

// ---- Filtering and ordering

void RadioViewController::configureDisplayStations(bool inPlace) {
    if (!browser_->hasDisplay())
        model_->setRows(nullptr, {});
    else if (inPlace)
        model_->replaceRows(browser_->index(), browser_->displayRows());
    else
        model_->setRows(browser_->index(), browser_->displayRows());
    view_->setMoreResultsVisible(browser_->hasMoreResults());
    showStatus();
    Q_EMIT displayStationsChanged();
}

void RadioViewController::showStatus() {
    const qsizetype count = browser_->displayRows().size();
    setMessage(browser_->hasFailed()                ? serverNotWorkingText()
               : browser_->isLoading()              ? loadingText()
               : browser_->awaitsEverywhereQuery()  ? tr(kEverywherePrompt)
               : browser_->hasDisplay() && count > 0 ? text::countOf(count, tr("Station"), tr("Stations"))
                                                    : noStationsText());
    // An empty table waiting for stations shows that it waits; rows already there stay.
    view_->setBusy(browser_->isLoading() && count == 0, loadingText());
}

void RadioViewController::selectionTagsChanged(const QStringList& tags) {
    browser_->setMatchTags(tags);
}

void RadioViewController::controlTextDidChange(const QString& text) {
    typed_ = text;
    if (searchingEverywhere()) // the directory filters by name; nothing to narrow here
        updateEverywhereQuery();
    else
        browser_->setSearchText(text);
}

// ---- Searching everywhere

void RadioViewController::enterEverywhere() {
    if (!facetsView_) {
        connect(view_, &PopoverView::moreResultsRequested, browser_->everywhere(), &EverywhereSearch::moreResults);
        facetsView_ = new SearchFacetsView;
        auto* menu = new QMenu(view_);
        auto* holder = new QWidgetAction(menu);
        holder->setDefaultWidget(facetsView_); // the menu owns it from here
        menu->addAction(holder);
        view_->setFacetsMenu(menu);
        connect(facetsView_, &SearchFacetsView::facetsChanged, this, &RadioViewController::updateEverywhereQuery);
        QPointer<RadioViewController> self(this);
        c_.api->requestCountries([self](Expected<QJsonArray> countries) {
            if (self && countries.ok()) // the picker's countries, named and ordered the same way
                self->facetsView_->setCountries(CountryListModel::entriesFromDirectory(*countries));
        });
    }
    view_->setFacetsVisible(true);
    view_->setSearchPrompt(tr(kEverywherePlaceholder), tr("Searches the stations of every country by name"));
}

void RadioViewController::leaveEverywhere() {
    view_->setFacetsVisible(false);
    view_->setMoreResultsVisible(false);
    view_->setSearchPrompt(tr(kCountrySearchPlaceholder), tr("Filters the stations by name and tags"));
}

void RadioViewController::updateEverywhereQuery() {
    if (searchingEverywhere() && facetsView_)
        browser_->setEverywhereQuery(facetsView_->search(typed_));
}

void RadioViewController::sortByChanged() {
    browser_->sortByChanged();
}

void RadioViewController::menuWillOpen(QMenu* menu) {
    if (menu == sortMenu_) {
        sortMenu_->showStored();
    } else if (menu == tagsMenu_) {
        if (!tagsView_) {
            tagsView_ = TagsView::tagsViewWithDelegate(this);
            tagsView_->setFixedSize(360, 300); // a menu sizes itself before it shows: no growing later
            // A menu asks a widget action for its widget only when the action is added, so the
            // placeholder item gives way to one that carries the panel.
            QAction* placeholder = menu->actions().last();
            auto* holder = new QWidgetAction(menu);
            holder->setDefaultWidget(tagsView_); // the menu owns it from here
            menu->insertAction(placeholder, holder);
            menu->removeAction(placeholder);
            placeholder->deleteLater();
        }
        tagsView_->setItems(browser_->allTags(), browser_->matchTags());
    } else {
        return;
    }
    if (view_->countryPickerShown())
        prepareHostView(false, false);
}

void RadioViewController::requestStations_Callback(Expected<StationList> stations) {
    browser_->requestStations_Callback(std::move(stations));
}

void RadioViewController::clearFilters() {
    typed_.clear();
    view_->clearSearch();
}

void RadioViewController::restoreLoadedStation() {
    const std::shared_ptr<StationIndex>& index = browser_->index();
    if (!c_.playback->restoreLoadedStation() && index && index->size() > 0)
        loadStation(index->stations().first(), false);
}

// ---- Playback

void RadioViewController::loadStation(const Station& station, bool play) {
    c_.playback->loadStation(station, play);
}

void RadioViewController::stationLoaded(const Station& station) {
    loadedStationIsFavorite_ = c_.api->isFavoriteStation(station);
    line_->update();
    view_->setStation(station);
    view_->setFormat(session().format());
    showFavorite();
    Q_EMIT loadedStationChanged();
}

void RadioViewController::showFavorite() {
    view_->setFavorite(loadedStationIsFavorite_, c_.api->favoriteStations().size() > 1);
}

void RadioViewController::player_play() {
    c_.playback->play();
}

void RadioViewController::player_stop() {
    c_.playback->stop();
}

void RadioViewController::togglePlayAction() {
    c_.playback->togglePlay();
}

void RadioViewController::tableDoubleAction(int row) {
    if (row < 0 || row >= displayCount())
        return;
    loadStation(model_->stationAt(row), true);
}

void RadioViewController::_loadStationNotification(const Station& station, bool play) {
    loadStation(station, play);
}

void RadioViewController::volumeChangedAction(int volume) {
    c_.playback->setVolume(volume / 100.0);
}

void RadioViewController::observeFavoriteStations() {
    if (!loadedStation().isNull()) {
        loadedStationIsFavorite_ = c_.api->isFavoriteStation(loadedStation());
        showFavorite();
    }
    model_->refreshFavorites();
}

// ---- Rows, favourites, server, links

void RadioViewController::toggleFavoriteAction(int row) {
    if (row < 0 || row >= displayCount()) {
        c_.shell->beep();
        return;
    }
    const Station station = model_->stationAt(row);
    if (c_.api->isFavoriteStation(station))
        c_.api->removeFavoriteStation(station);
    else
        c_.api->addFavoriteStation(station);
}

void RadioViewController::toggleLoadedStationFavoriteAction() {
    if (loadedStation().isNull()) {
        c_.shell->beep();
        return;
    }
    if (c_.api->isFavoriteStation(loadedStation()))
        c_.api->removeFavoriteStation(loadedStation());
    else
        c_.api->addFavoriteStation(loadedStation());
}

void RadioViewController::stepperAction(int direction) {
    c_.api->moveFavoriteStation(loadedStation(), direction);
}

void RadioViewController::tabViewWillSelect(int index) {
    if (index == 1)
        prepereServerPopup();
}

void RadioViewController::prepereServerPopup() {
    servers_->refresh();
}

void RadioViewController::serverChosenAction(const QString& server) {
    servers_->choose(server);
}

void RadioViewController::visitStationPage() {
    links_->visitStationPage(loadedStation());
}

void RadioViewController::visitPage(const QString& text) {
    links_->visitPage(text);
}

void RadioViewController::visitNowPlayingAction(const QString& title) {
    links_->visitNowPlaying(title, liveBroadcastText(), kWarningPrefix);
}

void RadioViewController::setMessage(const QString& text) {
    message_ = text;
    view_->setMessage(text);
}

void RadioViewController::flashMessage(const QString& text) {
    const QString before = message_;
    setMessage(text);
    QTimer::singleShot(4000, this, [this, text, before] {
        if (view_ && message_ == text) // nothing newer came meanwhile
            setMessage(before);
    });
}

void RadioViewController::voteAction() {
    if (loadedStation().isNull())
        return;
    view_->setVoteEnabled(false);
    QPointer<RadioViewController> self(this);
    c_.api->voteForStation(loadedStation(), QDateTime::currentSecsSinceEpoch(), [self](bool, QString message) {
        if (!self || !self->view_)
            return;
        self->view_->setVoteEnabled(true);
        self->flashMessage(message);
    });
}
