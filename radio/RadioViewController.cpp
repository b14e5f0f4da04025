// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/RadioViewController.h"

#include "directory/RadioBrowser.h"
#include "geo/Countries.h"
#include "radio/EverywhereSearch.h"
#include "radio/PlaybackSession.h"
#include "radio/PopoverView.h"
#include "radio/StationBrowser.h"
#include "radio/RadioShell.h"
#include "radio/StationCellView.h"
#include "radio/StationTableModel.h"
#include "panels/CountriesView.h"
#include "panels/CountryListModel.h"
#include "panels/SearchFacetsView.h"
#include "panels/StationsStripView.h"
#include "panels/TagsView.h"
#include "ui/CachedURLImageView.h"
#include "ui/ElidedTextButton.h"
#include "ui/ImageExtensions.h"
#include "ui/StationImages.h"
#include "ui/ViewExtensions.h"
#include "ui/VisibleIconRequests.h"
#include "util/RemoteText.h"
#include "util/Collections.h"
#include "util/FileURLs.h"
#include "util/TextUtils.h"
#include "util/UserDefaults.h"
#include "util/UserLocale.h"

#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrlQuery>
#include <QWidgetAction>

Q_DECLARE_LOGGING_CATEGORY(lcRadio)

namespace {
const QString& kSortKey = settingskeys::kRadioStationsSortBy;
const QString& kCountryKey = settingskeys::kRadioStationsCountryCode;
const QString& kStripKey = settingskeys::kStripVis;
const QString kSortMenuId = QStringLiteral("sort.menu");
const QString kTagsMenuId = QStringLiteral("tags.menu");
const QString kSearchHost = QStringLiteral("duckduckgo.com");
constexpr const char* kCountrySearchPlaceholder =
    QT_TRANSLATE_NOOP("RadioViewController", "Search names and tags");
constexpr const char* kEverywherePlaceholder =
    QT_TRANSLATE_NOOP("RadioViewController", "Search the whole directory");
constexpr const char* kEverywherePrompt =
    QT_TRANSLATE_NOOP("RadioViewController", "Type a name, or choose filters, to search every country");
} // namespace

RadioViewController::RadioViewController(const Collaborators& collaborators, QObject* parent)
    : QObject(parent), c_(collaborators), view_(new PopoverView(collaborators.icons)) {
    model_ = new StationTableModel([this](const Station& s) { return c_.api->isFavoriteStation(s); }, this);
    browser_ = new StationBrowser(c_.api, c_.defaults, this);
    cells_ = new StationCellView(this);
    view_->table->setModel(model_);
    view_->table->setItemDelegate(cells_);
    // Pictures for the rows on screen only: a country has thousands of stations.
    iconRequests_ = new VisibleIconRequests(view_->table, *c_.icons, this);
    cells_->setIconProvider([this](const Station& station, const QModelIndex& index, int size) {
        const QString url = RadioBrowser::iconPathForStation(station);
        if (url.isEmpty())
            return QPixmap();
        const qreal dpr = view_->table->devicePixelRatioF();
        const QImage icon = iconRequests_->icon(index, QUrl(url), stationimages::iconFolderForStation(station),
                                                station.string(Station::Key::StationUuid), QSize(size, size) * dpr);
        QPixmap pixmap = QPixmap::fromImage(icon);
        pixmap.setDevicePixelRatio(dpr);
        return pixmap;
    });

    sortMenu_ = new QMenu(view_);
    sortMenu_->setObjectName(kSortMenuId);
    auto* sortGroup = new QActionGroup(sortMenu_);
    const std::pair<int, QString> sorts[] = {
        {0, tr("Most votes")}, {1, tr("Most played")}, {2, tr("Name")}, {3, tr("Tags")}};
    for (const auto& sort : sorts) {
        const int tag = sort.first;
        QAction* item = sortMenu_->addAction(sort.second);
        item->setCheckable(true);
        item->setData(tag);
        sortGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, tag] {
            c_.defaults->setValue(kSortKey, tag);
            sortByChanged();
        });
    }
    view_->sortButton->setMenu(sortMenu_);

    tagsMenu_ = new QMenu(view_);
    tagsMenu_->setObjectName(kTagsMenuId);
    tagsMenu_->addAction(new QWidgetAction(tagsMenu_)); // the tag panel's place
    view_->tagsButton->setMenu(tagsMenu_);
    for (QMenu* menu : {sortMenu_, tagsMenu_})
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { menuWillOpen(menu); });

    wireView();
}

RadioViewController::~RadioViewController() {
    if (!view_)
        return;
    // A view being torn down still sends events; they must not reach this half-gone controller.
    view_->table->removeEventFilter(this);
    view_->table->viewport()->removeEventFilter(this);
    // The popover that shows the view owns it once it is placed there.
    if (!view_->parent())
        delete view_;
}

void RadioViewController::wireView() {
    connect(browser_, &StationBrowser::displayChanged, this, &RadioViewController::configureDisplayStations);
    connect(browser_, &StationBrowser::statusChanged, this, &RadioViewController::showStatus);
    connect(browser_, &StationBrowser::stationsArrived, this, &RadioViewController::restoreLoadedStation);
    connect(browser_, &StationBrowser::filtersCleared, this, &RadioViewController::clearFilters);
    connect(browser_, &StationBrowser::everywhereChanged, this, [this](bool on) { on ? enterEverywhere() : leaveEverywhere(); });
    connect(browser_, &StationBrowser::everywhereQueryWanted, this, &RadioViewController::updateEverywhereQuery);
    PopoverView* v = view_;
    connect(v->searchField, &QLineEdit::textChanged, this, [this] { controlTextDidChange(view_->searchField); });
    // Not `activated`: it comes with every double click too, and on a single click under
    // some themes. The keys are handled in eventFilter.
    connect(v->table, &QListView::doubleClicked, this, [this] { tableDoubleAction(); });
    v->table->installEventFilter(this);
    v->table->viewport()->installEventFilter(this);
    connect(cells_, &StationCellView::favoriteClicked, this, [this](const QModelIndex& i) { toggleFavoriteAction(i.row()); });
    connect(v->playButton, &QPushButton::clicked, this, &RadioViewController::togglePlayAction);
    // Checkable controls act on their state change, not on `clicked`: a screen reader's
    // "Toggle" calls toggle(), which never clicks. A change that agrees with the model is the
    // view catching up and does nothing.
    connect(v->toggleFavoriteButton, &QToolButton::toggled, this, [this](bool on) {
        if (on == loadedStationIsFavorite_)
            return;
        toggleLoadedStationFavoriteAction();
        view_->toggleFavoriteButton->setChecked(loadedStationIsFavorite_); // refused: back as it was
    });
    connect(v->stepperUp, &QToolButton::clicked, this, [this] { stepperAction(1); });
    connect(v->stepperDown, &QToolButton::clicked, this, [this] { stepperAction(0); });
    connect(v->homepageButton, &QToolButton::clicked, this, &RadioViewController::visitStationPage);
    connect(v->voteButton, &QToolButton::clicked, this, &RadioViewController::voteAction);
    connect(v->streamText, &ElidedTextButton::clicked, this, [this] { visitNowPlayingAction(session().title()); });
    connect(v->volumeSlider, &QSlider::valueChanged, this, &RadioViewController::volumeChangedAction);
    connect(v->countriesButton, &QToolButton::toggled, this, [this](bool on) {
        if (on == view_->auxHostView->isHidden())
            toggleHostViewAction();
    });
    connect(v->tabs, &QTabWidget::currentChanged, this, &RadioViewController::tabViewWillSelect);
    connect(v->serversPopup, &QComboBox::activated, this, &RadioViewController::serverChosenAction);
    connect(v->directoryLink, &QPushButton::clicked, this, [this] { visitPage(view_->directoryLink->property("url").toString()); });
    for (const int segment : {0, 1}) {
        QToolButton* button = segment == 0 ? v->favoritesSegment : v->recentsSegment;
        connect(button, &QToolButton::toggled, this, [this, segment](bool on) {
            if (on != (strip() == (segment == 0 ? Strip::Favorites : Strip::Recents)))
                stripSegmentAction(segment);
        });
    }
    connect(v->detachButton, &QToolButton::clicked, this, &RadioViewController::detachRequested);

    // The panel shows the session; what it shows is made from it, never kept beside it.
    PlaybackSession* s = &session();
    connect(s, &PlaybackSession::stateChanged, this, &RadioViewController::showPlaybackState);
    retryCountdown_.setInterval(1000);
    connect(&retryCountdown_, &QTimer::timeout, this, &RadioViewController::showNowPlaying);
    connect(s, &PlaybackSession::titleChanged, this, &RadioViewController::showNowPlaying);
    connect(s, &PlaybackSession::formatChanged, this, &RadioViewController::showLoadedStation);
    connect(s, &PlaybackSession::stationChanged, this, &RadioViewController::stationLoaded);
    if (!s->station().isNull()) // loaded at launch, before the panel was made
        stationLoaded(s->station());
    connect(s, &PlaybackSession::volumeChanged, this, [this](double volume) {
        const QSignalBlocker quiet(view_->volumeSlider);
        view_->volumeSlider->setValue(qRound(volume * 100));
    });
    showPlaybackState();
}

void RadioViewController::showPlaybackState() {
    using State = PlaybackSession::State;
    const State state = session().state();
    view_->playButton->setText(playButtonText(state));
    // Also when stopped while loading: the user can always start again.
    view_->playButton->setEnabled(state != State::Loading);
    showNowPlaying();
}

QString RadioViewController::playButtonText(PlaybackSession::State state) {
    using State = PlaybackSession::State;
    switch (state) {
    case State::Loading:
        return tr("Loading...");
    case State::Playing:
    case State::Reconnecting:
        return tr("Stop");
    default:
        return tr("Play");
    }
}

QString RadioViewController::nowPlayingText(const PlaybackSession& session) {
    // A warning or "Reconnecting…" stays until sound comes again.
    if (!session.reason().isEmpty())
        return kWarningPrefix + session.reason();
    if (session.state() == PlaybackSession::State::Reconnecting) {
        // Whole seconds, rounded up: "in 0 s" would read as a try already under way.
        const qint64 ms = session.nextRetry().remainingTime();
        return ms > 0 ? tr("Reconnecting… next try in %1 s").arg((ms + 999) / 1000) : tr("Reconnecting…");
    }
    if (session.station().isNull())
        return QString();
    return session.title().isEmpty() ? liveBroadcastText() : session.title();
}

void RadioViewController::showNowPlaying() {
    // The wait before the next try counts down.
    const bool waiting = session().state() == PlaybackSession::State::Reconnecting && !session().nextRetry().hasExpired();
    if (waiting && !retryCountdown_.isActive())
        retryCountdown_.start();
    else if (!waiting)
        retryCountdown_.stop();
    const QString text = nowPlayingText(session());
    if (text == nowPlaying_)
        return;
    nowPlaying_ = text;
    view_->streamText->setText(text);
    Q_EMIT nowPlayingChanged(text);
}

bool RadioViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_->table->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // On the star, the second click of a double click is one more star click (its release
        // toggles again), not a double click that plays the row.
        const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
        const QModelIndex index = view_->table->indexAt(point);
        return index.isValid() && StationCellView::hitsStar(view_->table->visualRect(index), point);
    }
    if (watched == view_->table && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier)) != Qt::NoModifier)
            return false;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            tableDoubleAction();
            return true;
        case Qt::Key_Space:
            if (const QModelIndex current = view_->table->currentIndex(); current.isValid())
                toggleFavoriteAction(current.row());
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

// ---- Set-up and layout

void RadioViewController::popoverWillShow() {
    if (!preparedFirstTime_) {
        preparedFirstTime_ = true;
        prepareFirstTime();
    }
    view_->searchField->setFocus();
}

void RadioViewController::prepareFirstTime() {
    showPlaybackState();
    browser_->clearFilters();
    prepareHostView(false, false);

    view_->favoritesSegment->setChecked(strip() == Strip::Favorites);
    view_->recentsSegment->setChecked(strip() == Strip::Recents);

    const QString code = c_.defaults->string(kCountryKey);
    setCountryCode(code.isEmpty() ? userlocale::regionCode() : code); // as "My Region" would choose
    browser_->requestStations(false);
    setCountryButton();

    favoritesStripView_ = StationsStripView::createStationsStripView(StationsStripView::List::Favorites, *c_.api,
                                                                    *c_.icons, view_->stationsStripHostView);
    recentsStripView_ = StationsStripView::createStationsStripView(StationsStripView::List::Recents, *c_.api,
                                                                  *c_.icons, view_->stationsStripHostView);
    for (StationsStripView* strip : {favoritesStripView_, recentsStripView_}) {
        view_->stationsStripHostView->layout()->addWidget(strip);
        connect(strip, &StationsStripView::loadStationRequested, this, &RadioViewController::_loadStationNotification);
    }
    connect(c_.api, &RadioBrowser::favoriteStationsChanged, this, &RadioViewController::observeFavoriteStations);
    showHideStrip();

    {
        const QSignalBlocker quiet(view_->volumeSlider);
        view_->volumeSlider->setValue(qRound(session().volume() * 100));
    }
    showLoadedStation();
}

void RadioViewController::setCountryCode(const QString& code) {
    browser_->setCountryCode(code);
}

void RadioViewController::setCountryButton() {
    if (searchingEverywhere()) {
        view_->countriesButton->setText(QStringLiteral("🌐"));
        view_->countriesButton->setToolTip(tr("Everywhere: the stations of every country"));
        return;
    }
    const QString flag = countries::stringFlagForCountryCode(countryCode());
    view_->countriesButton->setText(flag.isEmpty() ? QStringLiteral("🏳️") : flag);
    const QString name = countries::stringCountryForCountryCode(countryCode());
    view_->countriesButton->setToolTip(
        views::plainToolTip(tr("Country: %1").arg(name.isEmpty() ? countryCode() : name)));
}

void RadioViewController::selectionCountryCodeChanged(const QString& code) {
    prepareHostView(false, true);
    browser_->chooseCountry(code);
    setCountryButton();
}

void RadioViewController::toggleHostViewAction() {
    const bool closed = view_->auxHostView->isHidden();
    if (closed) {
        if (!countriesView_) {
            countriesView_ = CountriesView::countriesViewWithDelegate(*c_.api, this, view_->auxHostView);
            view_->auxHostView->layout()->addWidget(countriesView_);
        }
        countriesView_->configure(countryCode());
    }
    prepareHostView(closed, true);
}

void RadioViewController::prepareHostView(bool show, bool animate) {
    Q_UNUSED(animate) // the layout moves the table aside; no frame animation needed
    // The keyboard goes back to the table, not to whatever follows the closing picker.
    const bool hadFocus = view_->auxHostView->isAncestorOf(QApplication::focusWidget());
    view_->auxHostView->setVisible(show);
    if (hadFocus && !show)
        view_->table->setFocus(Qt::OtherFocusReason);
    view_->countriesButton->setChecked(show);
}

void RadioViewController::stripSegmentAction(int segment) {
    const Strip chosen = segment == 0 ? Strip::Favorites : Strip::Recents;
    const Strip next = strip() == chosen ? Strip::None : chosen; // the shown list's segment hides it
    c_.defaults->setValue(kStripKey, qint64(next));
    view_->favoritesSegment->setChecked(next == Strip::Favorites);
    view_->recentsSegment->setChecked(next == Strip::Recents);
    showHideStrip();
}

void RadioViewController::showHideStrip() {
    const Strip shown = strip();
    if (favoritesStripView_)
        favoritesStripView_->setVisible(shown == Strip::Favorites);
    if (recentsStripView_)
        recentsStripView_->setVisible(shown == Strip::Recents);
    view_->stationsStripHostView->setVisible(shown != Strip::None);
}

RadioViewController::Strip RadioViewController::strip() const {
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
    view_->moreResultsButton->setVisible(browser_->hasMoreResults());
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
}

void RadioViewController::selectionTagsChanged(const QStringList& tags) {
    browser_->setMatchTags(tags);
}

void RadioViewController::controlTextDidChange(QObject* sender) {
    if (sender != view_->searchField)
        return;
    if (searchingEverywhere()) // the directory filters by name; nothing to narrow here
        updateEverywhereQuery();
    else
        browser_->setSearchText(view_->searchField->text());
}

// ---- Searching everywhere

void RadioViewController::enterEverywhere() {
    if (!facetsView_) {
        connect(view_->moreResultsButton, &QPushButton::clicked, browser_->everywhere(), &EverywhereSearch::moreResults);
        facetsView_ = new SearchFacetsView;
        auto* menu = new QMenu(view_->facetsButton);
        auto* holder = new QWidgetAction(menu);
        holder->setDefaultWidget(facetsView_); // the menu owns it from here
        menu->addAction(holder);
        view_->facetsButton->setMenu(menu);
        connect(facetsView_, &SearchFacetsView::facetsChanged, this, &RadioViewController::updateEverywhereQuery);
        QPointer<RadioViewController> self(this);
        c_.api->requestCountries([self](std::optional<QJsonArray> countries, QString) {
            if (self && countries) // the picker's countries, named and ordered the same way
                self->facetsView_->setCountries(CountryListModel::entriesFromDirectory(*countries));
        });
    }
    view_->facetsButton->show();
    view_->searchField->setPlaceholderText(tr(kEverywherePlaceholder));
    view_->searchField->setAccessibleDescription(tr("Searches the stations of every country by name"));
}

void RadioViewController::leaveEverywhere() {
    view_->facetsButton->hide();
    view_->moreResultsButton->hide();
    view_->searchField->setPlaceholderText(tr(kCountrySearchPlaceholder));
    view_->searchField->setAccessibleDescription(tr("Filters the stations by name and tags"));
}

void RadioViewController::updateEverywhereQuery() {
    if (searchingEverywhere() && facetsView_)
        browser_->setEverywhereQuery(facetsView_->search(view_->searchField->text()));
}

void RadioViewController::sortByChanged() {
    browser_->sortByChanged();
}

void RadioViewController::menuWillOpen(QMenu* menu) {
    if (menu->objectName() == kSortMenuId) {
        const qint64 sortBy = c_.defaults->integer(kSortKey);
        for (QAction* item : menu->actions())
            item->setChecked(item->data().toLongLong() == sortBy);
    } else if (menu->objectName() == kTagsMenuId) {
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
    if (!view_->auxHostView->isHidden())
        prepareHostView(false, false);
}

void RadioViewController::requestStations_Callback(std::optional<StationList> stations, const QString& error) {
    browser_->requestStations_Callback(std::move(stations), error);
}

void RadioViewController::clearFilters() {
    const QSignalBlocker quiet(view_->searchField);
    view_->searchField->clear();
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
    loadedStationSQ_ = RadioBrowser::soundQualityForStation(station);
    loadedStationLocation_ = RadioBrowser::locationForStation(station);
    loadedStationLanguage_ = RadioBrowser::languageForStation(station);
    loadedStationTags_ = collections::stringWithDelim(RadioBrowser::tagsForStation(station), u", ");
    loadedStationIsFavorite_ = c_.api->isFavoriteStation(station);
    showNowPlaying();
    showLoadedStation();
    Q_EMIT loadedStationChanged();
}

QString RadioViewController::loadedStationFormat() const {
    return session().format();
}

void RadioViewController::showLoadedStation() {
    PopoverView* v = view_;
    const bool loaded = !loadedStation().isNull();
    v->stationName->setText(loaded ? loadedStation().string(Station::Key::Name) : tr("No station"));
    QStringList details;
    for (const QString& part : {loadedStationLocation_, loadedStationSQ_, loadedStationLanguage_, session().format()})
        if (!part.isEmpty() && part != QLatin1String("--"))
            details.append(part);
    v->stationDetails->setText(details.join(QStringLiteral("  ·  ")));
    v->stationTags->setText(loadedStationTags_);
    v->toggleFavoriteButton->setChecked(loadedStationIsFavorite_);
    v->toggleFavoriteButton->setText(loadedStationIsFavorite_ ? QStringLiteral("★") : QStringLiteral("☆"));
    v->homepageButton->setEnabled(loaded && !loadedStation().string(Station::Key::Homepage).isEmpty());
    v->voteButton->setEnabled(loaded && !loadedStation().string(Station::Key::StationUuid).isEmpty());
    if (loaded && pictureShownFor_ != loadedStation().string(Station::Key::StationUuid)) {
        pictureShownFor_ = loadedStation().string(Station::Key::StationUuid);
        if (!RadioBrowser::iconPathForStation(loadedStation()).isEmpty()) {
            stationimages::setImageView(v->stationImage, loadedStation());
        } else {
            QFont font = v->font();
            font.setBold(true);
            font.setPointSizeF(font.pointSizeF() * 0.9);
            v->stationImage->setImage(images::createWithText(
                RadioBrowser::truncatedNameForStation(loadedStation()).replace(u'\r', u'\n'), font));
        }
    }
    applyStepperRule();
}

void RadioViewController::applyStepperRule() {
    const StationList favorites = c_.api->favoriteStations();
    view_->stationStepper->setVisible(loadedStationIsFavorite_ && favorites.size() > 1);
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

void RadioViewController::tableDoubleAction() {
    const QModelIndex current = view_->table->currentIndex();
    if (!current.isValid() || current.row() >= displayCount())
        return;
    loadStation(model_->stationAt(current.row()), true);
}

void RadioViewController::_loadStationNotification(const Station& station, bool play) {
    loadStation(station, play);
}

void RadioViewController::volumeChangedAction() {
    c_.playback->setVolume(view_->volumeSlider->value() / 100.0);
}

void RadioViewController::observeFavoriteStations() {
    if (!loadedStation().isNull()) {
        loadedStationIsFavorite_ = c_.api->isFavoriteStation(loadedStation());
        showLoadedStation();
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
    QPointer<RadioViewController> self(this);
    c_.api->requestServers([self](QStringList servers, QString error) {
        if (!self)
            return;
        QComboBox* popup = self->view_->serversPopup;
        popup->clear();
        const QString current = self->c_.api->server();
        // Items carry the server they choose; the warning item carries none.
        int selected = -1;
        auto add = [&](const QString& title, const QString& server) {
            popup->addItem(title, server);
            if (selected < 0 && !server.isEmpty() && server == current)
                selected = popup->count() - 1;
        };
        // The directory's own round-robin name is in no server list, but always a good choice.
        add(tr("Any server (%1)").arg(RadioBrowser::kDefaultServer), RadioBrowser::kDefaultServer);
        if (!error.isNull())
            qCWarning(lcRadio, "%s [%s]", "requestServers", qUtf8Printable(remote::forLog(error)));
        for (const QString& name : servers)
            add(name, name);
        if (selected < 0) {
            popup->addItem(kWarningPrefix + current);
            selected = popup->count() - 1;
        }
        popup->setCurrentIndex(selected);
    });
}

void RadioViewController::serverChosenAction() {
    const QString server = view_->serversPopup->currentData().toString();
    if (server.isEmpty())
        return; // the warning item
    c_.api->setServer(server);
    prepereServerPopup();
}

void RadioViewController::openLater(const QUrl& url) {
    QTimer::singleShot(0, this, [this, url] { c_.shell->openURL(url); });
}

void RadioViewController::visitStationPage() {
    if (loadedStation().isNull())
        return;
    const QString homepage = loadedStation().string(Station::Key::Homepage).trimmed();
    if (homepage.isEmpty())
        return;
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
    if (!remote::isWebAddress(url)) {
        c_.shell->beep();
        return;
    }
    openLater(url);
}

void RadioViewController::visitPage(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return;
    if (!remote::isWebAddress(url)) {
        c_.shell->beep();
        return;
    }
    openLater(url);
}

void RadioViewController::visitNowPlayingAction(const QString& title) {
    if (title.isNull() || title.size() < 3 || title == liveBroadcastText() ||
        title.startsWith(kWarningPrefix)) {
        c_.shell->beep();
        return;
    }
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(kSearchHost);
    url.setPath(QStringLiteral("/search"));
    // The value is encoded whole: "&", "=", "+" and "#" in a title would end or change it.
    url.setQuery(QStringLiteral("q=") + QString::fromLatin1(QUrl::toPercentEncoding(title)), QUrl::TolerantMode);
    c_.shell->openURL(url);
}

void RadioViewController::setMessage(const QString& text) {
    message_ = text;
    view_->message->setText(text);
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
    view_->voteButton->setEnabled(false);
    QPointer<RadioViewController> self(this);
    c_.api->voteForStation(loadedStation(), QDateTime::currentSecsSinceEpoch(), [self](bool, QString message) {
        if (!self || !self->view_)
            return;
        self->view_->voteButton->setEnabled(!self->loadedStation().isNull());
        self->flashMessage(message);
    });
}

