#include "radio/PopoverView.h"

#include "ui/CachedURLImageView.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

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
    stationImage->setAccessibleName(QStringLiteral("Station picture"));
    header->addWidget(stationImage, 0, Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    stationName = new QLabel(this);
    QFont nameFont = stationName->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.25);
    nameFont.setBold(true);
    stationName->setFont(nameFont);
    stationName->setAccessibleName(QStringLiteral("Station name"));
    stationDetails = new QLabel(this);
    stationDetails->setAccessibleName(QStringLiteral("Station details"));
    stationTags = new QLabel(this);
    stationTags->setAccessibleName(QStringLiteral("Station tags"));
    for (QLabel* label : {stationName, stationDetails, stationTags}) {
        label->setTextFormat(Qt::PlainText); // names and tags come from the directory
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setMinimumWidth(1);
    }
    stationDetails->setForegroundRole(QPalette::PlaceholderText);
    stationDetails->setWordWrap(true);
    stationTags->setForegroundRole(QPalette::PlaceholderText);
    streamText = new QPushButton(this);
    streamText->setFlat(true);
    streamText->setCursor(Qt::PointingHandCursor);
    streamText->setStyleSheet(QStringLiteral("text-align: left; padding: 0;"));
    streamText->setAccessibleName(QStringLiteral("Now playing"));
    streamText->setToolTip(QStringLiteral("Search the web for this title"));
    texts->addWidget(stationName);
    texts->addWidget(stationDetails);
    texts->addWidget(stationTags);
    texts->addWidget(streamText);
    header->addLayout(texts, 1);
    root->addLayout(header);

    auto* controls = new QHBoxLayout;
    controls->setSpacing(6);
    playButton = new QPushButton(QStringLiteral("Play"), this);
    playButton->setAccessibleName(QStringLiteral("Play or stop"));
    playButton->setMinimumWidth(96);
    playButton->setDefault(false);
    toggleFavoriteButton = toolButton(QStringLiteral("☆"), QStringLiteral("Favourite"), this);
    toggleFavoriteButton->setCheckable(true);
    stationStepper = new QWidget(this);
    auto* stepper = new QHBoxLayout(stationStepper);
    stepper->setContentsMargins(0, 0, 0, 0);
    stepper->setSpacing(0);
    stepperUp = toolButton(QStringLiteral("▲"), QStringLiteral("Move up in favourites"), stationStepper);
    stepperDown = toolButton(QStringLiteral("▼"), QStringLiteral("Move down in favourites"), stationStepper);
    stepper->addWidget(stepperUp);
    stepper->addWidget(stepperDown);
    homepageButton = toolButton(QStringLiteral("⌂"), QStringLiteral("Open the station's web page"), this);
    volumeSlider = new QSlider(Qt::Horizontal, this);
    volumeSlider->setRange(0, 100);
    volumeSlider->setAccessibleName(QStringLiteral("Volume"));
    volumeSlider->setToolTip(QStringLiteral("Volume"));
    controls->addWidget(playButton);
    controls->addWidget(toggleFavoriteButton);
    controls->addWidget(stationStepper);
    controls->addWidget(homepageButton);
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
    countriesButton = toolButton(QString(), QStringLiteral("Choose the country"), stationsPage);
    countriesButton->setCheckable(true);
    QFont flagFont = countriesButton->font();
    flagFont.setPointSizeF(flagFont.pointSizeF() * 1.4);
    countriesButton->setFont(flagFont);
    searchField = new QLineEdit(stationsPage);
    searchField->setPlaceholderText(QStringLiteral("Search names and tags"));
    searchField->setClearButtonEnabled(true);
    searchField->setAccessibleName(QStringLiteral("Search stations"));
    sortButton = toolButton(QStringLiteral("⇅"), QStringLiteral("Sort stations"), stationsPage);
    sortButton->setPopupMode(QToolButton::InstantPopup);
    tagsButton = toolButton(QStringLiteral("#"), QStringLiteral("Filter by tags"), stationsPage);
    tagsButton->setPopupMode(QToolButton::InstantPopup);
    tools->addWidget(countriesButton);
    tools->addWidget(searchField, 1);
    tools->addWidget(sortButton);
    tools->addWidget(tagsButton);
    stations->addLayout(tools);

    auto* body = new QHBoxLayout;
    body->setSpacing(6);
    table = new QListView(stationsPage);
    table->setAccessibleName(QStringLiteral("Stations"));
    table->setUniformItemSizes(true);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table->setMouseTracking(true);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auxHostView = new QWidget(stationsPage);
    auxHostView->setAccessibleName(QStringLiteral("Countries"));
    auxHostView->setFixedWidth(220);
    auxHostView->setLayout(new QVBoxLayout);
    auxHostView->layout()->setContentsMargins(0, 0, 0, 0);
    auxHostView->hide();
    body->addWidget(table, 1);
    body->addWidget(auxHostView);
    stations->addLayout(body, 1);
    tabs->addTab(stationsPage, QStringLiteral("Stations"));

    auto* serverPage = new QWidget(tabs);
    auto* server = new QVBoxLayout(serverPage);
    server->setContentsMargins(4, 12, 4, 4);
    server->setSpacing(8);
    auto* serverLabel = new QLabel(QStringLiteral("Directory server"), serverPage);
    serversPopup = new QComboBox(serverPage);
    serversPopup->setAccessibleName(QStringLiteral("Directory server"));
    serverLabel->setBuddy(serversPopup);
    serverNote = new QLabel(QStringLiteral("Stations come from the community directory Radio Browser. "
                                           "Any of its servers answers with the same list."),
                            serverPage);
    serverNote->setWordWrap(true);
    serverNote->setForegroundRole(QPalette::PlaceholderText);
    directoryLink = new QPushButton(QStringLiteral("Radio Browser directory"), serverPage);
    directoryLink->setFlat(true);
    directoryLink->setProperty("url", QStringLiteral("https://www.radio-browser.info/"));
    directoryLink->setAccessibleName(QStringLiteral("Open the Radio Browser web site"));
    projectLink = new QPushButton(QStringLiteral("Add a missing station"), serverPage);
    projectLink->setFlat(true);
    projectLink->setProperty("url", QStringLiteral("https://www.radio-browser.info/add"));
    projectLink->setAccessibleName(QStringLiteral("Open the page for adding a station"));
    server->addWidget(serverLabel);
    server->addWidget(serversPopup);
    server->addWidget(serverNote);
    server->addWidget(directoryLink, 0, Qt::AlignLeft);
    server->addWidget(projectLink, 0, Qt::AlignLeft);
    auto* soundLabel = new QLabel(QStringLiteral("Sound"), serverPage);
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
    tabs->addTab(serverPage, QStringLiteral("Server"));
    root->addWidget(tabs, 1);

    message = new QLabel(this);
    message->setTextFormat(Qt::PlainText);
    message->setAccessibleName(QStringLiteral("Status"));
    message->setForegroundRole(QPalette::PlaceholderText);
    root->addWidget(message);

    // ---- Strips
    auto* stripBar = new QHBoxLayout;
    favoritesSegment = toolButton(QStringLiteral("★ Favourites"), QStringLiteral("Show favourites"), this);
    recentsSegment = toolButton(QStringLiteral("↺ Recent"), QStringLiteral("Show recently played"), this);
    favoritesSegment->setCheckable(true);
    recentsSegment->setCheckable(true);
    favoritesSegment->setToolButtonStyle(Qt::ToolButtonTextOnly);
    recentsSegment->setToolButtonStyle(Qt::ToolButtonTextOnly);
    detachButton = toolButton(QString(), QStringLiteral("Open in a window"), this);
    detachButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarNormalButton));
    stripBar->addWidget(favoritesSegment);
    stripBar->addWidget(recentsSegment);
    stripBar->addStretch(1);
    stripBar->addWidget(detachButton);
    root->addLayout(stripBar);
    stationsStripHostView = new QWidget(this);
    stationsStripHostView->setFixedHeight(96);
    stationsStripHostView->setLayout(new QVBoxLayout);
    stationsStripHostView->layout()->setContentsMargins(0, 0, 0, 0);
    stationsStripHostView->setAccessibleName(QStringLiteral("Station strip"));
    root->addWidget(stationsStripHostView);
}
