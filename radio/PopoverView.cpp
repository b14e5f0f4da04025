// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/PopoverView.h"

#include "directory/StationFields.h"
#include "radio/StationCellView.h"
#include "ui/CachedURLImageView.h"
#include "ui/ElidedLabel.h"
#include "ui/ElidedTextButton.h"
#include "ui/ImageExtensions.h"
#include "ui/StationImages.h"
#include "ui/ThemeIcons.h"
#include "ui/ViewExtensions.h"
#include "util/Collections.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kPictureSize = 64;
constexpr int kToolSize = 32; // every button of the station's tool row
constexpr int kToolIconSize = 20;

QToolButton* toolButton(const QString& text, const QString& accessibleName, const char* name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setAccessibleName(accessibleName);
    button->setToolTip(accessibleName);
    button->setAutoRaise(true);
    return button;
}

QToolButton* stationTool(const QString& accessibleName, const char* name, QWidget* parent) {
    QToolButton* button = toolButton(QString(), accessibleName, name, parent);
    button->setFixedSize(kToolSize, kToolSize);
    button->setIconSize(QSize(kToolIconSize, kToolIconSize));
    return button;
}

// A themed icon (ours where the theme has none); the text stays for screen readers' sake only
// when no icon can be had at all.
void setThemedIcon(QAbstractButton* button, const QString& name, const QString& fallback) {
    const QIcon icon = themeicons::themeIcon(name);
    button->setIcon(icon);
    if (auto* tool = qobject_cast<QToolButton*>(button))
        tool->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    button->setText(fallback);
}
} // namespace

PopoverView::PopoverView(IconLoader* icons, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("popover"));
    setAccessibleName(QStringLiteral("Ostrel Radio"));
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(12, 12, 12, 8);
    root->setSpacing(8);
    root->addWidget(buildHeader(icons));

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabs"));
    tabs_->setDocumentMode(true);
    tabs_->addTab(buildStationsPage(), tr("Stations"));
    tabs_->addTab(buildServerPage(), tr("Server"));
    connect(tabs_, &QTabWidget::currentChanged, this, &PopoverView::tabChosen);
    root->addWidget(tabs_, 1);

    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("message"));
    message_->setTextFormat(Qt::PlainText);
    message_->setAccessibleDescription(tr("Status"));
    message_->setForegroundRole(QPalette::PlaceholderText);
    moreResultsButton_ = new QPushButton(tr("More results"), this);
    moreResultsButton_->setObjectName(QStringLiteral("moreResults"));
    moreResultsButton_->setFlat(true);
    moreResultsButton_->setAccessibleDescription(tr("Adds the next stations found in the whole directory"));
    moreResultsButton_->hide();
    connect(moreResultsButton_, &QPushButton::clicked, this, &PopoverView::moreResultsRequested);
    auto* status = new QHBoxLayout;
    status->addWidget(message_, 1);
    status->addWidget(moreResultsButton_);
    root->addLayout(status);

    auto* stripBar = new QHBoxLayout;
    buildStripBar(stripBar);
    root->addLayout(stripBar);
    stationsStripHostView_ = new QWidget(this);
    stationsStripHostView_->setObjectName(QStringLiteral("stripHost"));
    stationsStripHostView_->setFixedHeight(96);
    stationsStripHostView_->setLayout(new QVBoxLayout);
    stationsStripHostView_->layout()->setContentsMargins(0, 0, 0, 0);
    stationsStripHostView_->setAccessibleName(tr("Station strip"));
    root->addWidget(stationsStripHostView_);

    updateIcons();
    setPlaybackState(state_);
    setStation(Station());
    QEvent themed(QEvent::PaletteChange);
    changeEvent(&themed);
}

// Picture, name, details, tags and the now-playing line beside it, one row of tools below. Every
// line is one line high and elided, so the header keeps its height whatever it shows.
QWidget* PopoverView::buildHeader(IconLoader* icons) {
    auto* header = new QWidget(this);
    auto* rows = new QVBoxLayout(header);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(6);
    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    stationImage_ = new CachedURLImageView(icons, header);
    stationImage_->setObjectName(QStringLiteral("stationPicture"));
    stationImage_->setFixedSize(kPictureSize, kPictureSize);
    stationImage_->setCornerRadius(8);
    stationImage_->setAccessibleName(tr("Station picture"));
    top->addWidget(stationImage_, 0, Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    stationName_ = new ElidedLabel(header);
    stationName_->setObjectName(QStringLiteral("stationName"));
    QFont nameFont = stationName_->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.2);
    nameFont.setBold(true);
    stationName_->setFont(nameFont);
    // Labels that show content keep no accessible name of their own: assistive technology reads
    // their text, and a description says what it is.
    stationName_->setAccessibleDescription(tr("Station"));
    stationDetails_ = new ElidedLabel(header);
    stationDetails_->setObjectName(QStringLiteral("stationDetails"));
    stationDetails_->setAccessibleDescription(tr("Station details"));
    stationTags_ = new ElidedLabel(header);
    stationTags_->setObjectName(QStringLiteral("stationTags"));
    stationTags_->setAccessibleDescription(tr("Station tags"));
    for (ElidedLabel* label : {stationDetails_, stationTags_}) {
        label->setForegroundRole(QPalette::PlaceholderText);
        QFont small = label->font();
        small.setPointSizeF(small.pointSizeF() * 0.92);
        label->setFont(small);
    }
    streamText_ = new ElidedTextButton(header);
    streamText_->setObjectName(QStringLiteral("nowPlaying"));
    streamText_->setAccessibleDescription(tr("Now playing. Press to search the web for this title"));
    // What the station sends now: in the accent of links, as the live line it is.
    streamText_->setForegroundRole(QPalette::Link);
    QFont liveFont = streamText_->font();
    liveFont.setItalic(true);
    streamText_->setFont(liveFont);
    connect(streamText_, &ElidedTextButton::clicked, this, &PopoverView::nowPlayingClicked);
    texts->addWidget(stationName_);
    texts->addWidget(stationDetails_);
    texts->addWidget(stationTags_);
    texts->addWidget(streamText_);
    texts->addStretch(1);
    top->addLayout(texts, 1);
    rows->addLayout(top);

    toolRow_ = new QHBoxLayout;
    toolRow_->setSpacing(4);
    playButton_ = stationTool(QString(), "play", header);
    playButton_->setAccessibleDescription(tr("Plays or stops the loaded station"));
    playButton_->setAutoRaise(false); // the one raised button of the row, in the accent colour
    connect(playButton_, &QToolButton::clicked, this, &PopoverView::playToggled);
    toggleFavoriteButton_ = stationTool(tr("Favourite"), "favorite", header);
    toggleFavoriteButton_->setCheckable(true);
    // Checkable controls act on their state change, not on `clicked`: a screen reader's
    // "Toggle" calls toggle(), which never clicks. A change that agrees with what is shown is
    // the view catching up and does nothing; a refused change goes back.
    connect(toggleFavoriteButton_, &QToolButton::toggled, this, [this](bool on) {
        if (on == favorite_)
            return;
        Q_EMIT favoriteToggled();
        const QSignalBlocker quiet(toggleFavoriteButton_);
        toggleFavoriteButton_->setChecked(favorite_);
    });
    stationStepper_ = new QWidget(header);
    auto* stepper = new QHBoxLayout(stationStepper_);
    stepper->setContentsMargins(0, 0, 0, 0);
    stepper->setSpacing(0);
    stepperUp_ = toolButton(QStringLiteral("▲"), tr("Move up in favourites"), "stepUp", stationStepper_);
    stepperDown_ = toolButton(QStringLiteral("▼"), tr("Move down in favourites"), "stepDown", stationStepper_);
    for (QToolButton* step : {stepperUp_, stepperDown_})
        step->setFixedSize(kToolSize * 3 / 4, kToolSize);
    stepper->addWidget(stepperUp_);
    stepper->addWidget(stepperDown_);
    connect(stepperUp_, &QToolButton::clicked, this, [this] { Q_EMIT stepRequested(1); });
    connect(stepperDown_, &QToolButton::clicked, this, [this] { Q_EMIT stepRequested(0); });
    homepageButton_ = stationTool(tr("Open the station's web page"), "homepage", header);
    connect(homepageButton_, &QToolButton::clicked, this, &PopoverView::homepageRequested);
    voteButton_ = stationTool(tr("Vote for this station"), "vote", header);
    connect(voteButton_, &QToolButton::clicked, this, &PopoverView::voteRequested);
    volumeSlider_ = new QSlider(Qt::Horizontal, header);
    volumeSlider_->setObjectName(QStringLiteral("volume"));
    volumeSlider_->setRange(0, 100);
    volumeSlider_->setAccessibleName(tr("Volume"));
    volumeSlider_->setToolTip(tr("Volume"));
    connect(volumeSlider_, &QSlider::valueChanged, this, [this](int volume) {
        updateIcons();
        Q_EMIT volumeChanged(volume);
    });
    speaker_ = new QLabel(header);
    speaker_->setFixedSize(kToolSize - 8, kToolSize);
    speaker_->setAlignment(Qt::AlignCenter);
    for (QWidget* tool : std::initializer_list<QWidget*>{playButton_, toggleFavoriteButton_, stationStepper_,
                                                         homepageButton_, voteButton_})
        toolRow_->addWidget(tool);
    toolRow_->addSpacing(8);
    toolRow_->addWidget(speaker_);
    toolRow_->addWidget(volumeSlider_, 1);
    rows->addLayout(toolRow_);
    header->setFixedHeight(header->sizeHint().height());
    return header;
}

QWidget* PopoverView::buildStationsPage() {
    auto* page = new QWidget(this);
    auto* stations = new QVBoxLayout(page);
    stations->setContentsMargins(0, 6, 0, 0);
    stations->setSpacing(6);
    auto* tools = new QHBoxLayout;
    tools->setSpacing(4);
    countriesButton_ = toolButton(QString(), tr("Choose the country"), "countries", page);
    countriesButton_->setCheckable(true);
    QFont flagFont = countriesButton_->font();
    flagFont.setPointSizeF(flagFont.pointSizeF() * 1.4);
    countriesButton_->setFont(flagFont);
    connect(countriesButton_, &QToolButton::toggled, this, [this](bool on) {
        if (on != countryPickerShown())
            Q_EMIT countryPickerRequested(on);
    });
    searchField_ = new QLineEdit(page);
    searchField_->setObjectName(QStringLiteral("search"));
    searchField_->setPlaceholderText(tr("Search names and tags"));
    searchField_->setClearButtonEnabled(true);
    searchField_->setAccessibleName(tr("Search stations"));
    searchField_->setAccessibleDescription(tr("Filters the stations by name and tags"));
    connect(searchField_, &QLineEdit::textChanged, this, &PopoverView::searchTextChanged);
    sortButton_ = toolButton(QStringLiteral("⇅"), tr("Sort stations"), "sort", page);
    sortButton_->setPopupMode(QToolButton::InstantPopup);
    tagsButton_ = toolButton(QStringLiteral("#"), tr("Filter by tags"), "tags", page);
    tagsButton_->setPopupMode(QToolButton::InstantPopup);
    facetsButton_ = toolButton(QStringLiteral("⚙"), tr("Search filters"), "facets", page);
    facetsButton_->setPopupMode(QToolButton::InstantPopup);
    facetsButton_->hide();
    tools->addWidget(countriesButton_);
    tools->addWidget(searchField_, 1);
    tools->addWidget(sortButton_);
    tools->addWidget(tagsButton_);
    tools->addWidget(facetsButton_);
    stations->addLayout(tools);

    auto* body = new QHBoxLayout;
    body->setSpacing(6);
    tableStack_ = new QStackedWidget(page);
    table_ = new QListView(tableStack_);
    table_->setObjectName(QStringLiteral("table"));
    table_->setAccessibleName(tr("Stations"));
    table_->setUniformItemSizes(true);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table_->setMouseTracking(true);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Not `activated`: it comes with every double click too, and on a single click under some
    // themes. The keys are handled in eventFilter.
    connect(table_, &QListView::doubleClicked, this, [this](const QModelIndex& index) { Q_EMIT rowActivated(index.row()); });
    table_->installEventFilter(this);
    table_->viewport()->installEventFilter(this);
    auto* busy = new QWidget(tableStack_);
    busy->setObjectName(QStringLiteral("busy"));
    auto* busyLayout = new QVBoxLayout(busy);
    busyLayout->addStretch(1);
    busyText_ = new QLabel(busy);
    busyText_->setAlignment(Qt::AlignCenter);
    busyText_->setForegroundRole(QPalette::PlaceholderText);
    auto* spinner = new QProgressBar(busy);
    spinner->setRange(0, 0); // no end known: it moves to and fro
    spinner->setTextVisible(false);
    spinner->setMaximumWidth(160);
    spinner->setAccessibleName(tr("Loading stations"));
    busyLayout->addWidget(busyText_);
    busyLayout->addWidget(spinner, 0, Qt::AlignHCenter);
    busyLayout->addStretch(1);
    tableStack_->addWidget(table_);
    tableStack_->addWidget(busy);
    auxHostView_ = new QWidget(page);
    auxHostView_->setObjectName(QStringLiteral("auxHost"));
    auxHostView_->setAccessibleName(tr("Countries"));
    auxHostView_->setFixedWidth(220);
    auxHostView_->setLayout(new QVBoxLayout);
    auxHostView_->layout()->setContentsMargins(0, 0, 0, 0);
    auxHostView_->hide();
    body->addWidget(tableStack_, 1);
    body->addWidget(auxHostView_);
    stations->addLayout(body, 1);
    return page;
}

QWidget* PopoverView::buildServerPage() {
    auto* page = new QWidget(this);
    auto* server = new QVBoxLayout(page);
    server->setContentsMargins(4, 12, 4, 4);
    server->setSpacing(8);
    auto* serverLabel = new QLabel(tr("Directory server"), page);
    serversPopup_ = new QComboBox(page);
    serversPopup_->setObjectName(QStringLiteral("servers"));
    serversPopup_->setAccessibleName(tr("Directory server"));
    serverLabel->setBuddy(serversPopup_);
    connect(serversPopup_, &QComboBox::activated, this, [this](int index) {
        const QString chosen = serversPopup_->itemData(index).toString();
        if (!chosen.isEmpty()) // not the warning item
            Q_EMIT serverChosen(chosen);
    });
    auto* serverNote = new QLabel(tr("Stations come from the community directory Radio Browser. "
                                     "Any of its servers answers with the same list."),
                                  page);
    serverNote->setWordWrap(true);
    serverNote->setForegroundRole(QPalette::PlaceholderText);
    auto* directoryLink = new QPushButton(tr("Radio Browser directory"), page);
    directoryLink->setObjectName(QStringLiteral("directoryLink"));
    directoryLink->setFlat(true);
    directoryLink->setAccessibleDescription(tr("Open the Radio Browser web site"));
    connect(directoryLink, &QPushButton::clicked, this,
            [this] { Q_EMIT pageRequested(QStringLiteral("https://www.radio-browser.info/")); });
    auto* projectLink = new QPushButton(tr("Add a missing station"), page);
    projectLink->setObjectName(QStringLiteral("addStation"));
    projectLink->setFlat(true);
    projectLink->setAccessibleDescription(tr("Add a station the directory does not have, by its address"));
    connect(projectLink, &QPushButton::clicked, this, &PopoverView::addStationRequested);
    server->addWidget(serverLabel);
    server->addWidget(serversPopup_);
    server->addWidget(serverNote);
    server->addWidget(directoryLink, 0, Qt::AlignLeft);
    server->addWidget(projectLink, 0, Qt::AlignLeft);
    auto* soundLabel = new QLabel(tr("Sound"), page);
    QFont heading = soundLabel->font();
    heading.setBold(true);
    soundLabel->setFont(heading);
    outputHost_ = new QWidget(page);
    outputHost_->setLayout(new QVBoxLayout);
    outputHost_->layout()->setContentsMargins(0, 0, 0, 0);
    server->addSpacing(8);
    server->addWidget(soundLabel);
    server->addWidget(outputHost_);
    server->addStretch(1);
    return page;
}

void PopoverView::buildStripBar(QHBoxLayout* bar) {
    favoritesSegment_ = toolButton(tr("★ Favourites"), tr("Show favourites"), "favoritesSegment", this);
    recentsSegment_ = toolButton(tr("↺ Recent"), tr("Show recently played"), "recentsSegment", this);
    for (const Strip strip : {Strip::Favorites, Strip::Recents}) {
        QToolButton* segment = strip == Strip::Favorites ? favoritesSegment_ : recentsSegment_;
        segment->setCheckable(true);
        segment->setToolButtonStyle(Qt::ToolButtonTextOnly);
        // Their text names them; the helper's name becomes what they do.
        segment->setAccessibleDescription(segment->accessibleName());
        segment->setAccessibleName(QString());
        connect(segment, &QToolButton::toggled, this, [this, strip](bool on) {
            if (on != (strip_ == strip))
                Q_EMIT stripChosen(strip);
        });
    }
    ownStationsButton_ = toolButton(QStringLiteral("+"), tr("Your own stations"), "ownStations", this);
    ownStationsButton_->setPopupMode(QToolButton::InstantPopup);
    detachButton_ = toolButton(QString(), tr("Open in a window"), "detach", this);
    detachButton_->setIcon(themeicons::themeIcon(QStringLiteral("window-new")));
    connect(detachButton_, &QToolButton::clicked, this, &PopoverView::detachRequested);
    bar->addWidget(favoritesSegment_);
    bar->addWidget(recentsSegment_);
    bar->addStretch(1);
    bar->addWidget(ownStationsButton_);
    bar->addWidget(detachButton_);
}

void PopoverView::updateIcons() {
    using State = PlaybackSession::State;
    const bool stops = state_ == State::Playing || state_ == State::Reconnecting;
    setThemedIcon(playButton_, stops ? QStringLiteral("media-playback-stop") : QStringLiteral("media-playback-start"),
                  stops ? QStringLiteral("■") : QStringLiteral("▶"));
    setThemedIcon(toggleFavoriteButton_, favorite_ ? QStringLiteral("starred") : QStringLiteral("non-starred"),
                  favorite_ ? QStringLiteral("★") : QStringLiteral("☆"));
    setThemedIcon(stepperUp_, QStringLiteral("go-up"), QStringLiteral("▲"));
    setThemedIcon(stepperDown_, QStringLiteral("go-down"), QStringLiteral("▼"));
    setThemedIcon(homepageButton_, QStringLiteral("go-home"), QStringLiteral("⌂"));
    setThemedIcon(voteButton_, QStringLiteral("emblem-favorite"), QStringLiteral("👍"));
    const int volume = volumeSlider_->value();
    const QString level = volume == 0 ? QStringLiteral("muted") : volume < 34 ? QStringLiteral("low")
                        : volume < 67 ? QStringLiteral("medium") : QStringLiteral("high");
    const QIcon speaker = themeicons::themeIcon(QStringLiteral("audio-volume-") + level);
    speaker_->setPixmap(speaker.pixmap(16, 16));
}

void PopoverView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::PaletteChange)
        return;
    // The play button in the accent colour of the palette it has now (a dark or light scheme).
    QPalette accent = palette();
    accent.setColor(QPalette::Button, accent.color(QPalette::Highlight));
    accent.setColor(QPalette::ButtonText, accent.color(QPalette::HighlightedText));
    playButton_->setPalette(accent);
}

QString PopoverView::playButtonText(PlaybackSession::State state) {
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

void PopoverView::setStation(const Station& station) {
    const bool changed = !StationFields::stationIsEqualTo(station, station_) || station.isNull() != station_.isNull();
    station_ = station;
    const bool loaded = !station.isNull();
    const QString name = loaded ? station.string(Station::Key::Name) : tr("No station");
    stationName_->setText(name);
    stationName_->setToolTip(views::plainToolTip(name));
    const QString tags = loaded ? collections::stringWithDelim(StationFields::tagsForStation(station), u", ") : QString();
    stationTags_->setText(tags);
    stationTags_->setToolTip(views::plainToolTip(tags));
    showDetails();
    homepageButton_->setEnabled(loaded && !station.string(Station::Key::Homepage).isEmpty());
    setVoteEnabled(true);
    if (!loaded || !changed)
        return;
    if (!StationFields::iconPathForStation(station).isEmpty()) {
        stationimages::setImageView(stationImage_, station);
    } else {
        QFont font = this->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 0.9);
        stationImage_->setImage(
            images::createWithText(StationFields::truncatedNameForStation(station).replace(u'\r', u'\n'), font));
    }
}

void PopoverView::setFormat(const QString& format) {
    format_ = format;
    showDetails();
}

void PopoverView::showDetails() {
    QStringList details;
    if (!station_.isNull())
        for (const QString& part : {StationFields::locationForStation(station_), StationFields::soundQualityForStation(station_),
                                    StationFields::languageForStation(station_), format_})
            if (!part.isEmpty() && part != StationFields::kNoLanguage)
                details.append(part);
    const QString text = details.join(QStringLiteral("  ·  "));
    stationDetails_->setText(text);
    stationDetails_->setToolTip(views::plainToolTip(text));
}

void PopoverView::setNowPlaying(const QString& text) {
    streamText_->setText(text);
}

void PopoverView::setPlaybackState(PlaybackSession::State state) {
    state_ = state;
    // The name follows the state: "Play", "Loading...", "Stop".
    playButton_->setAccessibleName(playButtonText(state));
    playButton_->setToolTip(playButtonText(state));
    // Also when stopped while loading: the user can always start again.
    playButton_->setEnabled(state != PlaybackSession::State::Loading);
    updateIcons();
}

void PopoverView::setFavorite(bool favorite, bool canStep) {
    favorite_ = favorite;
    {
        const QSignalBlocker quiet(toggleFavoriteButton_);
        toggleFavoriteButton_->setChecked(favorite);
    }
    stationStepper_->setVisible(favorite && canStep);
    updateIcons();
}

void PopoverView::setVoteEnabled(bool enabled) {
    voteButton_->setEnabled(enabled && !station_.isNull() && !station_.string(Station::Key::StationUuid).isEmpty());
}

void PopoverView::setVolume(int volume) {
    const QSignalBlocker quiet(volumeSlider_);
    volumeSlider_->setValue(volume);
    updateIcons();
}

void PopoverView::setRecordingControl(QWidget* control) {
    toolRow_->insertWidget(toolRow_->indexOf(voteButton_) + 1, control);
    QWidget::setTabOrder(voteButton_, control); // where it shows, not where it was made
}

void PopoverView::setCountry(const QString& flag, const QString& toolTip) {
    countriesButton_->setText(flag);
    countriesButton_->setToolTip(toolTip);
}

void PopoverView::setCountryPickerShown(bool shown) {
    // The keyboard goes back to the table, not to whatever follows the closing picker.
    const bool hadFocus = auxHostView_->isAncestorOf(QApplication::focusWidget());
    auxHostView_->setVisible(shown);
    if (hadFocus && !shown)
        table_->setFocus(Qt::OtherFocusReason);
    const QSignalBlocker quiet(countriesButton_);
    countriesButton_->setChecked(shown);
}

bool PopoverView::countryPickerShown() const {
    return !auxHostView_->isHidden();
}

void PopoverView::setSearchPrompt(const QString& placeholder, const QString& description) {
    searchField_->setPlaceholderText(placeholder);
    searchField_->setAccessibleDescription(description);
}

void PopoverView::clearSearch() {
    const QSignalBlocker quiet(searchField_);
    searchField_->clear();
}

void PopoverView::focusSearch() {
    searchField_->setFocus();
}

void PopoverView::setSortMenu(QMenu* menu) {
    sortButton_->setMenu(menu);
}

void PopoverView::setTagsMenu(QMenu* menu) {
    tagsButton_->setMenu(menu);
}

void PopoverView::setFacetsMenu(QMenu* menu) {
    facetsButton_->setMenu(menu);
}

void PopoverView::setFacetsVisible(bool visible) {
    facetsButton_->setVisible(visible);
}

void PopoverView::setMoreResultsVisible(bool visible) {
    moreResultsButton_->setVisible(visible);
}

void PopoverView::setMessage(const QString& text) {
    message_->setText(text);
}

void PopoverView::setBusy(bool busy, const QString& text) {
    busyText_->setText(text);
    tableStack_->setCurrentIndex(busy ? 1 : 0);
}

void PopoverView::setServers(const QList<ServerItem>& items, int selected) {
    serversPopup_->clear();
    for (const ServerItem& item : items)
        serversPopup_->addItem(item.title, item.server.isEmpty() ? QVariant() : QVariant(item.server));
    serversPopup_->setCurrentIndex(selected);
}

void PopoverView::addTab(QWidget* page, const QString& title) {
    tabs_->addTab(page, title);
}

void PopoverView::setOwnStationsMenu(QMenu* menu) {
    ownStationsButton_->setMenu(menu);
}

void PopoverView::setStrips(QWidget* favorites, QWidget* recents) {
    favoritesStrip_ = favorites;
    recentsStrip_ = recents;
    for (QWidget* strip : {favorites, recents})
        stationsStripHostView_->layout()->addWidget(strip);
    setStrip(strip_);
}

void PopoverView::setStrip(Strip shown) {
    strip_ = shown;
    for (const auto& [segment, strip] : {std::pair{favoritesSegment_, Strip::Favorites}, {recentsSegment_, Strip::Recents}}) {
        const QSignalBlocker quiet(segment);
        segment->setChecked(shown == strip);
    }
    if (favoritesStrip_)
        favoritesStrip_->setVisible(shown == Strip::Favorites);
    if (recentsStrip_)
        recentsStrip_->setVisible(shown == Strip::Recents);
    stationsStripHostView_->setVisible(shown != Strip::None);
}

bool PopoverView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // On the star, the second click of a double click is one more star click (its release
        // toggles again), not a double click that plays the row.
        const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
        const QModelIndex index = table_->indexAt(point);
        return index.isValid() && StationCellView::hitsStar(table_->visualRect(index), point);
    }
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier)) != Qt::NoModifier)
            return false;
        const QModelIndex current = table_->currentIndex();
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Q_EMIT rowActivated(current.isValid() ? current.row() : -1);
            return true;
        case Qt::Key_Space:
            if (current.isValid())
                Q_EMIT rowFavoriteToggled(current.row());
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QList<QWidget*> PopoverView::tabChain() const {
    auto section = [this](const QWidget* w) {
        if (w == tabs_->tabBar())
            return 1;
        if (tabs_->currentWidget() && tabs_->currentWidget()->isAncestorOf(w))
            return auxHostView_->isAncestorOf(w) ? 3 : 2;
        if (stationsStripHostView_->isAncestorOf(w))
            return 5;
        if (w == favoritesSegment_ || w == recentsSegment_ || w == ownStationsButton_ || w == detachButton_)
            return 4;
        return 0;
    };
    QList<std::pair<int, QWidget*>> ranked;
    QWidget* top = window();
    for (QWidget* w = top->nextInFocusChain(); w && w != top; w = w->nextInFocusChain())
        if (isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isVisible() &&
            w->isEnabled() && !w->focusProxy())
            ranked.append({section(w), w});
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<QWidget*> chain;
    for (const auto& [rank, w] : ranked)
        chain.append(w);
    return chain;
}

bool PopoverView::focusNextPrevChild(bool next) {
    const QList<QWidget*> chain = tabChain();
    if (chain.isEmpty())
        return QWidget::focusNextPrevChild(next);
    QWidget* current = focusWidget();
    while (current && !chain.contains(current) && current != this)
        current = current->parentWidget(); // inside a control (a combo box's line edit)
    const qsizetype at = chain.indexOf(current);
    const qsizetype n = chain.size();
    const qsizetype to = at < 0 ? (next ? 0 : n - 1) : (at + (next ? 1 : n - 1)) % n;
    chain.at(to)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}
