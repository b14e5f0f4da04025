// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"

#include "app/Autostart.h"
#include "app/DesktopColorScheme.h"
#include "app/HistoryCommand.h"
#include "app/ListCommands.h"
#include "app/Popover.h"
#include "app/PromptingCredentialStore.h"
#include "directory/cloud/CloudSetup.h"
#include "directory/cloud/CloudSync.h"
#include "directory/cloud/KeychainCredentialStore.h"
#include "audio/AlsaAudioHardware.h"
#include "radio/CloudSettingsPage.h"
#include "radio/GeneralSettingsPage.h"
#include "radio/HistoryPage.h"
#include "radio/SongHistory.h"
#include "radio/SleepTimer.h"
#include "radio/SleepTimerMenu.h"
#include "radio/WakeUpAlarm.h"
#include "media/AlarmTone.h"
#include "media/TitleNotifier.h"
#include "media/mpris/MprisService.h"
#include "radio/OutputPicker.h"
#include "radio/OwnStationsMenu.h"
#include "radio/RadioPlaybackControl.h"
#include "radio/RecordingControl.h"
#include "radio/StreamRecorder.h"
#include "ui/IconLoader.h"
#include "ui/SchemePalette.h"
#include "ui/ThemeIcons.h"
#include "app/StatusItem.h"
#include "directory/ListRefresher.h"
#include "directory/RadioBrowser.h"
#include "media/GstMediaPlayer.h"
#include "media/SystemWatcher.h"
#include "radio/PlaybackSession.h"
#include "radio/PlayerCommands.h"
#include "radio/PopoverView.h"
#include "radio/StationPlayer.h"
#include "directory/StationResolver.h"
#include "radio/RadioViewController.h"
#include "util/HttpTransport.h"
#include "util/TextUtils.h"
#include "util/UserDefaults.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QCursor>
#include <QDir>
#include <QInputDialog>
#include <QLayout>
#include <QLineEdit>
#include <QTabWidget>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QMenu>
#include <QMetaEnum>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <cmath>


AppDelegate::AppDelegate(const CommandLine& options, QObject* parent) : QObject(parent), options_(options) {}

AppDelegate::~AppDelegate() {
    saveWindowGeometry();
    if (api_)
        api_->waitForSaves(); // list files written, their cloud saves handed over
    if (history_)
        history_->flush();
    // A change made just before quitting still reaches the cloud, unless it does not answer.
    if (cloudSync_)
        cloudSync_->finishSaves(std::chrono::seconds(5));
    mpris_.reset();
    playbackControl_.reset();
    ownStations_.reset();
    controller_.reset();
    // Lists taken over from the cloud are written through the RadioBrowser: it goes last.
    if (cloudSync_)
        cloudSync_->waitForWrites();
    api_.reset();
}

void AppDelegate::applicationWillFinishLaunching() {
    defaults_ = std::make_unique<UserDefaults>();
    setInitialDefaults();
    prepareSupport();
    version_ = QStringLiteral("Ostrel Radio %1").arg(text::appVersion());
    session_ = std::make_unique<PlaybackSession>(); // StationPlayer gives it the stored volume
    history_ = std::make_unique<SongHistory>(HistoryCommand::filePath(supportURL_.toLocalFile()));
    history_->follow(*session_);
}

void AppDelegate::setInitialDefaults() {
    defaults_->registerDefaults({{settingskeys::kRadioVolume, 1.0},
                                 {settingskeys::kStripVis, 1},
                                 {settingskeys::kSplitRecordingsAtTitles, true}});
}

void AppDelegate::prepareSupport() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Ostrel Radio");
    supportURL_ = QUrl::fromLocalFile(folder);
    QDir().mkpath(folder); // a failure shows when the files are written
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/Ostrel Radio");
    transport_ = std::make_unique<HttpTransport>();
    http_ = std::make_unique<HttpFetcher>(*transport_, cache + QStringLiteral("/Directory"));
    prepareCloud();
    RadioBrowser::Environment env;
    env.cloud = cloudSync_.get();
    env.supportURL = supportURL_;
    env.defaults = defaults_.get();
    env.http = http_.get();
    env.discovery = options_.discovery;
    env.serverOverride = options_.server;
    env.beep = [] { QApplication::beep(); };
    api_ = std::make_unique<RadioBrowser>(env);
}

void AppDelegate::prepareCloud() {
    keyring_ = std::make_unique<KeychainCredentialStore>();
    credentials_ = std::make_unique<PromptingCredentialStore>(
        *keyring_, [this](const QString&, const QString& why) { return askForCloudPassword(why); });
    cloudDatabase_ = CloudSetup::makeDatabase(*transport_, *defaults_, *credentials_);
    cloudSync_ = std::make_unique<CloudSync>(*cloudDatabase_, *defaults_);
    cloudSetup_ = std::make_unique<CloudSetup>(*transport_, *defaults_, *credentials_);
}

std::optional<QString> AppDelegate::askForCloudPassword(const QString& why) {
    bool ok = false;
    const QString password = QInputDialog::getText(
        nullptr, tr("Cloud sync"),
        tr("The desktop keyring did not answer (%1), so Ostrel Radio cannot read your cloud "
           "password.\nEnter it to sync during this session; it is not saved.")
            .arg(why),
        QLineEdit::Password, QString(), &ok);
    return ok && !password.isEmpty() ? std::optional<QString>(password) : std::nullopt;
}

void AppDelegate::applicationDidFinishLaunching() {
    icons_ = std::make_unique<IconLoader>(*transport_, QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                                                           QStringLiteral("/Ostrel Radio/Icons"));
    GstMediaPlayer::Options playback;
    playback.userAgent = QString::fromLatin1(HttpTransport::userAgent());
    player_ = std::make_unique<GstMediaPlayer>(playback);
    StationPlayer::Collaborators p{api_.get(), player_.get(), session_.get(), defaults_.get(), supportURL_,
                                   [] { QApplication::beep(); }};
    stationPlayer_ = std::make_unique<StationPlayer>(p);
    // Recording follows the session: stopping, another station, the sleep timer end it.
    recorder_ = std::make_unique<StreamRecorder>(StreamRecorder::Environment{
        player_.get(), session_.get(), defaults_.get(), QStandardPaths::writableLocation(QStandardPaths::MusicLocation), {}, {}});
    // A stream waiting to reconnect tries at once when the network is back or the machine wakes.
    auto* system = new SystemWatcher(player_.get());
    connect(system, &SystemWatcher::networkUp, player_.get(), &MediaPlayer::retryNow);
    connect(system, &SystemWatcher::resumed, player_.get(), &MediaPlayer::retryNow);
    connect(system, &SystemWatcher::aboutToSleep, player_.get(), &MediaPlayer::dropForSleep);
    // Media keys and the command line play the last station from the start, panel or not.
    stationPlayer_->restoreLoadedStation();
    // A playlist's address plays its first stream, checked like an address added as a station.
    addressResolver_ = std::make_unique<StationResolver>(*transport_);
    auto resolve = [this](const QUrl& address, std::function<void(QUrl, QString, QString)> done) {
        addressResolver_->resolve(address.toString(), [done](std::optional<OwnStations::Fields> found, QString error) {
            if (found)
                done(QUrl(found->url), found->name, QString());
            else
                done(QUrl(), QString(), error);
        });
    };
    commands_ = std::make_unique<PlayerCommands>(
        PlayerCommands::Collaborators{stationPlayer_.get(), api_.get(), resolve, recorder_.get()});
    connect(session_.get(), &PlaybackSession::stateChanged, this, [this] { statusItemAnimates(session_->isActive()); });
    // The output choice applies from the first play, panel or not; the picker joins the panel
    // when that is made.
    audioHardware_ = std::make_unique<AlsaAudioHardware>();
    outputs_ = std::make_unique<OutputPicker>(*audioHardware_, *defaults_);
    OutputPicker* outputs = outputs_.get();
    connect(outputs, &OutputPicker::outputChosen, player_.get(), &MediaPlayer::setOutputDevice);
    player_->setOutputDevice(outputs->effectiveOutput());
    connect(stationPlayer_.get(), &StationPlayer::playbackWillStart, outputs, &OutputPicker::releaseForPlayback);
    connect(stationPlayer_.get(), &StationPlayer::playbackChanged, outputs, [outputs](bool playing) {
        if (!playing)
            outputs->reclaimAfterPlayback();
    });

    // Media keys and the desktop's now-playing widgets, over MPRIS; without a session bus the
    // player works on without them.
    playbackControl_ = std::make_unique<RadioPlaybackControl>(
        *stationPlayer_, *commands_, *icons_,
        RadioPlaybackControl::Hooks{[this] { displayPopoverAction(); }, [] { QApplication::quit(); }});
    mpris_ = std::make_unique<MprisService>(playbackControl_.get());
    mpris_->start();
    prepareDesktopExtras();
    followColorScheme();
    // Favourites and recents follow renames and new addresses in the directory, once a day.
    listRefresher_ = std::make_unique<ListRefresher>(api_.get(), defaults_.get());
    listRefresher_->refreshIfDue(QDateTime::currentDateTime());
    // At login the tray host may come up after the player: started from there, it waits for
    // the tray instead of opening a window.
    placeStatusItem(options_.autostart ? 30 : 0);
    // GStreamer starts beside the event loop now, not when the listener presses play.
    if (auto* player = qobject_cast<GstMediaPlayer*>(player_.get()))
        player->prepare();
}

void AppDelegate::preparePanel() {
    // The panel, its controller and tabs wait for their first showing: at login the player sits
    // in the tray, and the media keys, MPRIS and the command line need none of it.
    if (controller_)
        return;
    RadioViewController::Collaborators c;
    c.api = api_.get();
    c.defaults = defaults_.get();
    c.playback = stationPlayer_.get();
    c.shell = this;
    c.icons = icons_.get();
    controller_ = std::make_unique<RadioViewController>(c);
    PopoverView* view = controller_->view();
    view->outputHost()->layout()->addWidget(outputs_.release()); // the panel owns it from here

    auto* cloudPage = new CloudSettingsPage(*cloudSetup_, *defaults_);
    cloudPage->setAccountChanged([this] { cloudDatabase_->setAccount(CloudAccount::load(*defaults_)); });
    cloudPage->setOpenURL([this](const QUrl& page) { openURL(page); });
    view->addTab(cloudPage, tr("Cloud sync"));
    prepareHistoryPage();
    const Autostart autostart(Autostart::programFor(QApplication::applicationFilePath()));
    GeneralSettingsPage::Hooks hooks;
    hooks.startsAtLogin = [autostart] { return autostart.isEnabled(); };
    hooks.setStartAtLogin = [autostart](bool on, QString* error) { return autostart.setEnabled(on, error); };
    hooks.setNotify = [this](bool on) { titleNotifier_->setEnabled(on); };
    hooks.favourites = [this] { return api_->favoriteStations(); };
    view->addTab(new GeneralSettingsPage(*sleepTimer_, *defaults_, hooks, alarm_.get()), tr("General"));
    ownStations_ = std::make_unique<OwnStationsMenu>(*transport_, *api_, *view);
    recordingControl_ = new RecordingControl(*recorder_, *session_);
    view->setRecordingControl(recordingControl_); // the panel owns it from here
    popover_ = std::make_unique<Popover>(view);
    connect(controller_.get(), &RadioViewController::detachRequested, popover_.get(), &Popover::detach);
}

void AppDelegate::placeStatusItem(int secondsToWait) {
    if (statusItem_ || windowMode_)
        return;
    if (!QSystemTrayIcon::isSystemTrayAvailable() && secondsToWait > 0) {
        QTimer::singleShot(1000, this, [this, secondsToWait] { placeStatusItem(secondsToWait - 1); });
        return;
    }
    windowMode_ = !QSystemTrayIcon::isSystemTrayAvailable();
    if (windowMode_) {
        // No tray host (GNOME without AppIndicator, some Wayland sessions): a normal window that
        // quits the program when closed.
        preparePanel();
        popover_->becomeWindow(defaults_->value(settingskeys::kWindowGeometry).toByteArray());
        connect(popover_.get(), &Popover::closed, this, &AppDelegate::saveWindowGeometry);
        QApplication::setQuitOnLastWindowClosed(true);
        controller_->popoverWillShow();
        popover_->show();
        return;
    }
    statusItem_ = std::make_unique<StatusItem>();
    buildContextMenu();
    connect(statusItem_.get(), &StatusItem::clicked, this, [this] {
        // The icon toggles the attached panel; a click that has just closed it by taking the
        // focus does not open it again.
        if (popover_ && !popover_->isDetached() && (popover_->isShown() || popover_->justClosedByFocusLoss())) {
            popover_->hide();
            return;
        }
        // The pointer is on the icon when it is clicked; some tray hosts report the icon's
        // place relative to their own window, so a geometry without the pointer is not used.
        const QPoint pointer = QCursor::pos();
        clickAnchor_ = statusItem_->geometry().contains(pointer) ? statusItem_->geometry() : QRect(pointer, QSize(1, 1));
        displayPopoverAction();
    });
    // As in other tray players: the wheel sets the volume in steps of 5 %, a middle click plays
    // or stops.
    connect(statusItem_.get(), &StatusItem::scrolled, this, [this](int notches) {
        stationPlayer_->setVolume(std::round(session_->volume() * 100 + 5 * notches) / 100);
    });
    connect(statusItem_.get(), &StatusItem::middleClicked, stationPlayer_.get(), &StationPlayer::togglePlay);
    // Opened before the host placed the icon, the panel went to the pointer: now it goes under
    // the icon.
    connect(statusItem_.get(), &StatusItem::placed, this, [this] {
        if (popover_ && popover_->isShown() && !popover_->isDetached())
            popover_->placeRelativeTo(statusItem_->geometry());
    });
    statusItemAnimates(false);
    statusItem_->show();
    if (options_.show)
        showWhenTrayIsPlaced(20);
}

void AppDelegate::prepareDesktopExtras() {
    titleNotifier_ = std::make_unique<TitleNotifier>(*playbackControl_);
    titleNotifier_->setEnabled(defaults_->value(settingskeys::kNotifyOnNewTitle).toBool());
    // The fade works on the player alone, so the volume setting stays what the user chose.
    sleepTimer_ = std::make_unique<SleepTimer>(SleepTimer::Hooks{
        [this](double factor) { player_->setVolume(float(session_->volume() * factor)); },
        [this] { stationPlayer_->stop(); }});
    // The alarm plays and fades like the sleep timer, through the player; the tone is its own.
    alarmTone_ = std::make_unique<AlarmTone>();
    WakeUpAlarm::Hooks alarm;
    alarm.favourite = [this](const QString& uuid) {
        for (const Station& station : api_->favoriteStations())
            if (station.string(Station::Key::StationUuid) == uuid)
                return station;
        return Station();
    };
    alarm.play = [this](const Station& station) { stationPlayer_->loadStation(station, true); };
    alarm.setFade = [this](double factor) { player_->setVolume(float(session_->volume() * factor)); };
    alarm.setTone = [this](bool on) {
        const auto* player = qobject_cast<GstMediaPlayer*>(player_.get());
        if (on)
            alarmTone_->start(float(session_->volume()), player ? player->outputDevice() : QString());
        else
            alarmTone_->stop();
    };
    alarm_ = std::make_unique<WakeUpAlarm>(*defaults_, *session_, alarm);
}

void AppDelegate::prepareHistoryPage() {
    HistoryPage::Hooks hooks;
    hooks.search = [this](const QString& title) { controller_->visitNowPlayingAction(title); };
    hooks.play = [this](const Station& kept) {
        stationPlayer_->loadStation(SongHistory::stationToPlay(kept, {api_->favoriteStations(), api_->recentStations()}),
                                    true);
    };
    controller_->view()->addTab(new HistoryPage(*history_, hooks), tr("History"));
}

void AppDelegate::followColorScheme() {
    // Made before anything sets a palette: it keeps the one the application started with.
    schemePalette_ = std::make_unique<SchemePalette>();
    colorScheme_ = std::make_unique<DesktopColorScheme>(QDBusConnection::sessionBus());
    connect(colorScheme_.get(), &DesktopColorScheme::schemeChanged, this, [this](ColorScheme scheme) {
        schemePalette_->apply(scheme);
        if (statusItem_)
            statusItem_->paletteChanged();
    });
    colorScheme_->start(); // the answer comes later: start-up does not wait for the portal
}

void AppDelegate::saveWindowGeometry() {
    if (windowMode_ && popover_)
        defaults_->setValue(settingskeys::kWindowGeometry, popover_->saveGeometry());
}

void AppDelegate::showWhenTrayIsPlaced(int triesLeft) {
    // The tray host places the icon a moment after it is shown; the popover should open
    // under it, not at the pointer, when that moment comes soon enough.
    if (!statusItem_->isPlaced() && triesLeft > 0) {
        QTimer::singleShot(100, this, [this, triesLeft] { showWhenTrayIsPlaced(triesLeft - 1); });
        return;
    }
    displayPopoverAction();
}

void AppDelegate::buildContextMenu() {
    menu_ = std::make_unique<QMenu>();
    // Some hosts open the menu on a left click: its first item must open the player.
    menu_->addAction(tr("Open Ostrel Radio"), this, &AppDelegate::displayPopoverAction);
    const QIcon playIcon = themeicons::themeIcon(QStringLiteral("media-playback-start"));
    QAction* play = menu_->addAction(playIcon, tr("Play"), stationPlayer_.get(), &StationPlayer::togglePlay);
    connect(stationPlayer_.get(), &StationPlayer::playbackChanged, play, [play, playIcon](bool playing) {
        play->setText(playing ? tr("Stop") : tr("Play"));
        play->setIcon(playing ? themeicons::themeIcon(QStringLiteral("media-playback-stop")) : playIcon);
    });
    QAction* record = menu_->addAction(themeicons::themeIcon(QStringLiteral("media-record")), tr("Record"));
    record->setCheckable(true);
    const auto showRecording = [this, record] {
        const QSignalBlocker block(record);
        record->setChecked(recorder_->isRecording());
        record->setEnabled(recorder_->isRecording() || session_->isActive());
    };
    connect(record, &QAction::toggled, recorder_.get(), [this, showRecording](bool on) {
        if (!on)
            recorder_->stop();
        else if (!recorder_->start())
            QApplication::beep(); // the menu has closed: nowhere to say why
        showRecording();
    });
    connect(recorder_.get(), &StreamRecorder::recordingChanged, record, showRecording);
    connect(session_.get(), &PlaybackSession::stateChanged, record, showRecording);
    showRecording();
    menu_->addMenu(new SleepTimerMenu(*sleepTimer_, menu_.get()))
        ->setIcon(themeicons::themeIcon(QStringLiteral("preferences-system-time")));
    menu_->addSeparator();
    menu_->addAction(themeicons::themeIcon(QStringLiteral("application-exit")), tr("Quit"), qApp, &QApplication::quit);
    statusItem_->setContextMenu(menu_.get());
}

void AppDelegate::displayPopoverAction() {
    preparePanel();
    if (!statusItem_ && !windowMode_)
        placeStatusItem(0); // still waiting for a tray, but the user wants the player now
    controller_->popoverWillShow();
    if (windowMode_) {
        popover_->show();
        popover_->raise();
        popover_->activateWindow();
        return;
    }
    // An icon the host has not placed yet is at the top left of the screen: the pointer is a
    // better guess until it is.
    const QRect iconAnchor = statusItem_->isPlaced() ? statusItem_->geometry() : QRect();
    if (popover_->isDetached() || !popover_->isShown())
        popover_->showRelativeTo(clickAnchor_.isEmpty() ? iconAnchor : clickAnchor_);
    clickAnchor_ = QRect();
}

void AppDelegate::handleRequest(const QString& request, const std::function<void(const QString&)>& reply) {
    if (const std::optional<QString> answer = ListCommands::answer(*api_, request)) {
        reply(*answer);
        return;
    }
    if (const std::optional<QString> answer = HistoryCommand::answer(*history_, request)) {
        reply(*answer);
        return;
    }
    if (const std::optional<PlayerCommands::Command> command = PlayerCommands::fromRequest(request)) {
        commands_->run(*command, [reply](const PlayerCommands::Outcome& outcome) {
            reply(outcome.done ? QStringLiteral("ok") : QStringLiteral("error ") + outcome.error);
        });
        return;
    }
    if (request == QLatin1String("quit"))
        QTimer::singleShot(0, qApp, &QApplication::quit); // after the answer has gone out
    else if (request == QLatin1String("status"))
        return reply(statusReport());
    else
        displayPopoverAction(); // a second launch means the user is looking for the player
    reply(QStringLiteral("ok"));
}

QString AppDelegate::statusReport() const {
    const QJsonObject report{
        {QStringLiteral("station"), session_->station().string(Station::Key::Name)},
        {QStringLiteral("nowPlaying"), RadioViewController::nowPlayingText(*session_)},
        {QStringLiteral("message"), controller_ ? controller_->message() : QString()},
        {QStringLiteral("playButton"), PopoverView::playButtonText(session_->state())},
        {QStringLiteral("state"), QString::fromLatin1(QMetaEnum::fromType<PlaybackSession::State>().valueToKey(int(session_->state())))},
        {QStringLiteral("title"), session_->title()},
        {QStringLiteral("url"), session_->station().string(Station::Key::Url)},
        {QStringLiteral("volume"), qRound(session_->volume() * 100)},
        {QStringLiteral("recording"), recorder_->isRecording()},
        {QStringLiteral("recordingFile"), recorder_->currentFile()},
        {QStringLiteral("recordingSeconds"), recorder_->elapsedMs() / 1000},
        {QStringLiteral("country"), controller_ ? controller_->countryCode() : QString()},
        {QStringLiteral("server"), api_->server()},
        {QStringLiteral("popoverVisible"), popover_ && popover_->isVisible()},
        {QStringLiteral("trayIcon"), statusItem_ != nullptr},
    };
    return QString::fromUtf8(QJsonDocument(report).toJson(QJsonDocument::Compact));
}

void AppDelegate::statusItemAnimates(bool animate) {
    if (statusItem_)
        statusItem_->statusItemAnimates(animate);
}

void AppDelegate::beep() {
    QApplication::beep();
}

void AppDelegate::openURL(const QUrl& url) {
    QDesktopServices::openUrl(url);
}
