// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/CommandLine.h"
#include "radio/RadioShell.h"

#include <QObject>
#include <QRect>
#include <QUrl>
#include <memory>
#include <optional>

class AlarmTone;
class CloudSetup;
class CloudSync;
class DesktopColorScheme;
class AlsaAudioHardware;
class HttpFetcher;
class HttpTransport;
class OutputPicker;
class OwnStationsMenu;
class IconLoader;
class KeychainCredentialStore;
class PromptingCredentialStore;
class WebDavDatabase;
class MediaPlayer;
class MprisService;
class PlaybackSession;
class PlayerCommands;
class RadioPlaybackControl;
class RecordingControl;
class StationPlayer;
class StationResolver;
class StreamRecorder;
class Popover;
class QMenu;
class ListRefresher;
class RadioBrowser;
class RadioViewController;
class SchemePalette;
class SleepTimer;
class SongHistory;
class TitleNotifier;
class StatusItem;
class UserDefaults;
class WakeUpAlarm;

// The composition root: makes every long-lived object of the program in launch order, wires
// them together and owns them until the program ends.
class AppDelegate : public QObject, public RadioShell {
    Q_OBJECT
public:
    explicit AppDelegate(const CommandLine& options, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Defaults, support folder, the directory client.
    void applicationWillFinishLaunching();
    // Tray icon (or a window where no tray exists) and the popover behind it.
    void applicationDidFinishLaunching();

    void setInitialDefaults();
    void prepareSupport();
    void displayPopoverAction();
    // A request from another launch ("show", "quit", "status", a playback command or ""); the
    // answer goes to `reply`, for a command once it has been carried out: "ok" or "error TEXT".
    void handleRequest(const QString& request, const std::function<void(const QString&)>& reply);
    // What the player shows, as one line of JSON.
    QString statusReport() const;

    RadioBrowser* api() const { return api_.get(); }
    QString version() const { return version_; }
    RadioViewController* controller() const { return controller_.get(); }
    StreamRecorder* recorder() const { return recorder_.get(); }
    // The panel's "Record" with the recording's time and size, once the panel is made.
    RecordingControl* recordingControl() const { return recordingControl_; }
    bool isWindowMode() const { return windowMode_; }

    // RadioShell
    void statusItemAnimates(bool animate);
    void beep() override;
    void openURL(const QUrl& url) override;

private:
    void buildContextMenu();
    // Makes the panel, its controller and tabs, once.
    void preparePanel();
    void prepareCloud();
    std::optional<QString> askForCloudPassword(const QString& why);
    void showWhenTrayIsPlaced(int triesLeft);
    // The tray icon, or a window where no tray exists; waits up to `secondsToWait` for a tray.
    void placeStatusItem(int secondsToWait);
    // Start at login, title notifications, the sleep timer and the wake-up alarm.
    void prepareDesktopExtras();
    // The "History" tab, as the panel is made.
    void prepareHistoryPage();
    // The desktop's dark or light scheme, now and when it changes.
    void followColorScheme();
    void saveWindowGeometry();

    CommandLine options_;
    QUrl supportURL_;
    QString version_;
    bool windowMode_ = false;
    QRect clickAnchor_; // where the last click on the icon was
    std::unique_ptr<UserDefaults> defaults_;
    // Every HTTP request goes through it: it outlives everything that sends one.
    std::unique_ptr<HttpTransport> transport_;
    std::unique_ptr<HttpFetcher> http_;
    // Cloud sync outlives the directory client, which hands it list bytes until it goes.
    std::unique_ptr<KeychainCredentialStore> keyring_;
    std::unique_ptr<PromptingCredentialStore> credentials_;
    std::unique_ptr<WebDavDatabase> cloudDatabase_;
    std::unique_ptr<CloudSync> cloudSync_;
    std::unique_ptr<CloudSetup> cloudSetup_;
    std::unique_ptr<RadioBrowser> api_;
    std::unique_ptr<ListRefresher> listRefresher_;
    std::unique_ptr<IconLoader> icons_;
    std::unique_ptr<AlsaAudioHardware> audioHardware_;
    std::unique_ptr<PlaybackSession> session_;
    std::unique_ptr<OutputPicker> outputs_; // until the panel takes it
    std::unique_ptr<SongHistory> history_; // follows the session, panel or not
    std::unique_ptr<MediaPlayer> player_;
    std::unique_ptr<StationPlayer> stationPlayer_;
    std::unique_ptr<StreamRecorder> recorder_; // taps the player: goes before it
    std::unique_ptr<StationResolver> addressResolver_;
    std::unique_ptr<PlayerCommands> commands_;
    std::unique_ptr<RadioViewController> controller_;
    RecordingControl* recordingControl_ = nullptr; // the panel's
    std::unique_ptr<OwnStationsMenu> ownStations_;
    std::unique_ptr<RadioPlaybackControl> playbackControl_;
    std::unique_ptr<MprisService> mpris_;
    std::unique_ptr<TitleNotifier> titleNotifier_;
    std::unique_ptr<SleepTimer> sleepTimer_;
    std::unique_ptr<AlarmTone> alarmTone_;
    std::unique_ptr<WakeUpAlarm> alarm_;
    std::unique_ptr<SchemePalette> schemePalette_;
    std::unique_ptr<DesktopColorScheme> colorScheme_;
    std::unique_ptr<Popover> popover_;
    std::unique_ptr<StatusItem> statusItem_;
    std::unique_ptr<QMenu> menu_;
};
