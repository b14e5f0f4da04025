// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/PopoverView.h"

#include "ui/CachedURLImageView.h"
#include "ui/ElidedTextButton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
QToolButton* toolButton(const QString& text, const QString& accessibleName, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setAccessibleName(accessibleName);
    button->setToolTip(accessibleName);
    button->setAutoRaise(true);
    return button;
}
} // namespace

PopoverView::PopoverView(IconLoader* icons, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("popover"));
    setAccessibleName(QStringLiteral("Ostrel Radio"));
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(12, 12, 12, 8);
    root->setSpacing(8);

    // ---- Loaded station: picture, name, details, now playing, controls
    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    stationImage = new CachedURLImageView(icons, this);
    stationImage->setFixedSize(72, 72);
    stationImage->setAccessibleName(tr("Station picture"));
    header->addWidget(stationImage, 0, Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    stationName = new QLabel(this);
    QFont nameFont = stationName->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.25);
    nameFont.setBold(true);
    stationName->setFont(nameFont);
    // Labels that show content keep no accessible name of their own: assistive technology reads
    // their text, and a description says what it is.
    stationName->setAccessibleDescription(tr("Station"));
    stationDetails = new QLabel(this);
    stationDetails->setAccessibleDescription(tr("Station details"));
    stationTags = new QLabel(this);
    stationTags->setAccessibleDescription(tr("Station tags"));
    for (QLabel* label : {stationName, stationDetails, stationTags}) {
        label->setTextFormat(Qt::PlainText); // names and tags come from the directory
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setMinimumWidth(1);
    }
    stationDetails->setForegroundRole(QPalette::PlaceholderText);
    stationDetails->setWordWrap(true);
    stationTags->setForegroundRole(QPalette::PlaceholderText);
    streamText = new ElidedTextButton(this);
    streamText->setAccessibleDescription(tr("Now playing. Press to search the web for this title"));
    texts->addWidget(stationName);
    texts->addWidget(stationDetails);
    texts->addWidget(stationTags);
    texts->addWidget(streamText);
    header->addLayout(texts, 1);
    root->addLayout(header);

    auto* controls = new QHBoxLayout;
    controls->setSpacing(6);
    playButton = new QPushButton(tr("Play"), this);
    playButton->setAccessibleDescription(tr("Plays or stops the loaded station"));
    playButton->setMinimumWidth(96);
    playButton->setDefault(false);
    toggleFavoriteButton = toolButton(QStringLiteral("☆"), tr("Favourite"), this);
    toggleFavoriteButton->setCheckable(true);
    stationStepper = new QWidget(this);
    auto* stepper = new QHBoxLayout(stationStepper);
    stepper->setContentsMargins(0, 0, 0, 0);
    stepper->setSpacing(0);
    stepperUp = toolButton(QStringLiteral("▲"), tr("Move up in favourites"), stationStepper);
    stepperDown = toolButton(QStringLiteral("▼"), tr("Move down in favourites"), stationStepper);
    stepper->addWidget(stepperUp);
    stepper->addWidget(stepperDown);
    homepageButton = toolButton(QStringLiteral("⌂"), tr("Open the station's web page"), this);
    voteButton = toolButton(QStringLiteral("👍"), tr("Vote for this station"), this);
    volumeSlider = new QSlider(Qt::Horizontal, this);
    volumeSlider->setRange(0, 100);
    volumeSlider->setAccessibleName(tr("Volume"));
    volumeSlider->setToolTip(tr("Volume"));
    controls->addWidget(playButton);
    controls->addWidget(toggleFavoriteButton);
    controls->addWidget(stationStepper);
    controls->addWidget(homepageButton);
    controls->addWidget(voteButton);
    controls->addSpacing(8);
    auto* speaker = new QLabel(this);
    speaker->setPixmap(style()->standardIcon(QStyle::SP_MediaVolume).pixmap(16, 16));
    controls->addWidget(speaker);
    controls->addWidget(volumeSlider, 1);
    root->addLayout(controls);

    // ---- Tabs: stations and server
    tabs = new QTabWidget(this);
    tabs->setDocumentMode(true);
    auto* stationsPage = new QWidget(tabs);
    auto* stations = new QVBoxLayout(stationsPage);
    stations->setContentsMargins(0, 6, 0, 0);
    stations->setSpacing(6);
    auto* tools = new QHBoxLayout;
    tools->setSpacing(4);
    countriesButton = toolButton(QString(), tr("Choose the country"), stationsPage);
    countriesButton->setCheckable(true);
    QFont flagFont = countriesButton->font();
    flagFont.setPointSizeF(flagFont.pointSizeF() * 1.4);
    countriesButton->setFont(flagFont);
    searchField = new QLineEdit(stationsPage);
    searchField->setPlaceholderText(tr("Search names and tags"));
    searchField->setClearButtonEnabled(true);
    searchField->setAccessibleName(tr("Search stations"));
    searchField->setAccessibleDescription(tr("Filters the stations by name and tags"));
    sortButton = toolButton(QStringLiteral("⇅"), tr("Sort stations"), stationsPage);
    sortButton->setPopupMode(QToolButton::InstantPopup);
    tagsButton = toolButton(QStringLiteral("#"), tr("Filter by tags"), stationsPage);
    tagsButton->setPopupMode(QToolButton::InstantPopup);
    tools->addWidget(countriesButton);
    tools->addWidget(searchField, 1);
    tools->addWidget(sortButton);
    tools->addWidget(tagsButton);
    facetsButton = toolButton(QStringLiteral("⚙"), tr("Search filters"), stationsPage);
    facetsButton->setPopupMode(QToolButton::InstantPopup);
    facetsButton->hide();
    tools->addWidget(facetsButton);
    stations->addLayout(tools);

    auto* body = new QHBoxLayout;
    body->setSpacing(6);
    table = new QListView(stationsPage);
    table->setAccessibleName(tr("Stations"));
    table->setUniformItemSizes(true);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table->setMouseTracking(true);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auxHostView = new QWidget(stationsPage);
    auxHostView->setAccessibleName(tr("Countries"));
    auxHostView->setFixedWidth(220);
    auxHostView->setLayout(new QVBoxLayout);
    auxHostView->layout()->setContentsMargins(0, 0, 0, 0);
    auxHostView->hide();
    body->addWidget(table, 1);
    body->addWidget(auxHostView);
    stations->addLayout(body, 1);
    tabs->addTab(stationsPage, tr("Stations"));

    auto* serverPage = new QWidget(tabs);
    auto* server = new QVBoxLayout(serverPage);
    server->setContentsMargins(4, 12, 4, 4);
    server->setSpacing(8);
    auto* serverLabel = new QLabel(tr("Directory server"), serverPage);
    serversPopup = new QComboBox(serverPage);
    serversPopup->setAccessibleName(tr("Directory server"));
    serverLabel->setBuddy(serversPopup);
    serverNote = new QLabel(tr("Stations come from the community directory Radio Browser. "
                               "Any of its servers answers with the same list."),
                            serverPage);
    serverNote->setWordWrap(true);
    serverNote->setForegroundRole(QPalette::PlaceholderText);
    directoryLink = new QPushButton(tr("Radio Browser directory"), serverPage);
    directoryLink->setFlat(true);
    directoryLink->setProperty("url", QStringLiteral("https://www.radio-browser.info/"));
    directoryLink->setAccessibleDescription(tr("Open the Radio Browser web site"));
    projectLink = new QPushButton(tr("Add a missing station"), serverPage);
    projectLink->setFlat(true);
    projectLink->setAccessibleDescription(tr("Add a station the directory does not have, by its address"));
    server->addWidget(serverLabel);
    server->addWidget(serversPopup);
    server->addWidget(serverNote);
    server->addWidget(directoryLink, 0, Qt::AlignLeft);
    server->addWidget(projectLink, 0, Qt::AlignLeft);
    auto* soundLabel = new QLabel(tr("Sound"), serverPage);
    QFont heading = soundLabel->font();
    heading.setBold(true);
    soundLabel->setFont(heading);
    outputHost = new QWidget(serverPage);
    outputHost->setLayout(new QVBoxLayout);
    outputHost->layout()->setContentsMargins(0, 0, 0, 0);
    server->addSpacing(8);
    server->addWidget(soundLabel);
    server->addWidget(outputHost);
    server->addStretch(1);
    tabs->addTab(serverPage, tr("Server"));
    root->addWidget(tabs, 1);

    message = new QLabel(this);
    message->setTextFormat(Qt::PlainText);
    message->setAccessibleDescription(tr("Status"));
    message->setForegroundRole(QPalette::PlaceholderText);
    moreResultsButton = new QPushButton(tr("More results"), this);
    moreResultsButton->setFlat(true);
    moreResultsButton->setAccessibleDescription(tr("Adds the next stations found in the whole directory"));
    moreResultsButton->hide();
    auto* status = new QHBoxLayout;
    status->addWidget(message, 1);
    status->addWidget(moreResultsButton);
    root->addLayout(status);

    // ---- Strips
    auto* stripBar = new QHBoxLayout;
    favoritesSegment = toolButton(tr("★ Favourites"), tr("Show favourites"), this);
    recentsSegment = toolButton(tr("↺ Recent"), tr("Show recently played"), this);
    favoritesSegment->setCheckable(true);
    recentsSegment->setCheckable(true);
    favoritesSegment->setToolButtonStyle(Qt::ToolButtonTextOnly);
    recentsSegment->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (QToolButton* segment : {favoritesSegment, recentsSegment}) {
        // Their text names them; the helper's name becomes what they do.
        segment->setAccessibleDescription(segment->accessibleName());
        segment->setAccessibleName(QString());
    }
    ownStationsButton = toolButton(QStringLiteral("+"), tr("Your own stations"), this);
    ownStationsButton->setPopupMode(QToolButton::InstantPopup);
    detachButton = toolButton(QString(), tr("Open in a window"), this);
    detachButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarNormalButton));
    stripBar->addWidget(favoritesSegment);
    stripBar->addWidget(recentsSegment);
    stripBar->addStretch(1);
    stripBar->addWidget(ownStationsButton);
    stripBar->addWidget(detachButton);
    root->addLayout(stripBar);
    stationsStripHostView = new QWidget(this);
    stationsStripHostView->setFixedHeight(96);
    stationsStripHostView->setLayout(new QVBoxLayout);
    stationsStripHostView->layout()->setContentsMargins(0, 0, 0, 0);
    stationsStripHostView->setAccessibleName(tr("Station strip"));
    root->addWidget(stationsStripHostView);
}

QList<QWidget*> PopoverView::tabChain() const {
    auto section = [this](const QWidget* w) {
        if (w == tabs->tabBar())
            return 1;
        if (tabs->currentWidget() && tabs->currentWidget()->isAncestorOf(w))
            return auxHostView->isAncestorOf(w) ? 3 : 2;
        if (stationsStripHostView->isAncestorOf(w))
            return 5;
        if (w == favoritesSegment || w == recentsSegment || w == ownStationsButton || w == detachButton)
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
