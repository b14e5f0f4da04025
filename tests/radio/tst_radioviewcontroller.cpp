#include "radio/PopoverView.h"
#include "radio/RadioPlaybackControl.h"
#include "radio/RadioShell.h"
#include "radio/RadioViewController.h"
#include "support/DirectoryEmulator.h"
#include "support/DirectoryFixture.h"
#include "support/FakeMediaPlayer.h"
#include "support/StationFixtures.h"
#include "ui/IconLoader.h"
#include "util/NotificationCenter.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {
struct RecordingShell : RadioShell {
    QUrl support;
    int beeps = 0;
    QList<bool> animations;
    QList<QUrl> opened;
    void statusItemAnimates(bool animate) override { animations.append(animate); }
    QUrl supportURL() const override { return support; }
    void beep() override { ++beeps; }
    void openURL(const QUrl& url) override { opened.append(url); }
};

StationList sampleStations() {
    return {
        stationFromJson(R"({"stationuuid":"a","name":"Radio FM","tags":"pop","votes":5,"url":"http://s/a","homepage":"https://a.example/"})"),
        stationFromJson(R"({"stationuuid":"b","name":"Café Central","tags":"jazz","votes":9,"url":"http://s/b","homepage":"file:///etc/passwd"})"),
        stationFromJson(R"({"stationuuid":"c","name":"Zeta","tags":"rock","votes":1,"url":""})"),
    };
}

} // namespace

class TestRadioViewController : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void firstOpeningSetsUpOnce();
    void downloadSuccessAndFailure();
    void filtersAndCounts();
    void sortSetting_data();
    void sortSetting();
    void loadingAndPlaying();
    void playerFailureEndsLoading();
    void nowPlayingTitles_data();
    void nowPlayingTitles();
    void favouritesAndStepper();
    void stripSegments_data();
    void stripSegments();
    void serverPopup();
    void links_data();
    void links();
    void desktopMediaControls();

private:
    void makeController();
    void feed(const StationList& stations) { controller_->requestStations_Callback(stations, QString()); }

    std::unique_ptr<DirectoryEmulator> emulator_;
    std::unique_ptr<DirectoryFixture> f_;
    std::unique_ptr<FakeMediaPlayer> player_;
    std::unique_ptr<NotificationCenter> notifications_;
    std::unique_ptr<IconLoader> icons_;
    RecordingShell shell_;
    std::unique_ptr<RadioViewController> controller_;
};

void TestRadioViewController::init() {
    if (!emulator_)
        emulator_ = std::make_unique<DirectoryEmulator>();
    emulator_->reset();
    f_ = std::make_unique<DirectoryFixture>();
    f_->launch(emulator_->baseUrl(), emulator_->baseUrl());
    f_->defaults->registerDefaults({{"radioVolume", 1.0}, {"stripVis", 1}});
    f_->defaults->setValue("radioStationsCountryCode", "AT");
    player_ = std::make_unique<FakeMediaPlayer>();
    notifications_ = std::make_unique<NotificationCenter>();
    shell_ = RecordingShell();
    shell_.support = QUrl::fromLocalFile(f_->supportFile(QString()));
    makeController();
}

void TestRadioViewController::makeController() {
    controller_.reset();
    icons_ = std::make_unique<IconLoader>(f_->dir.filePath("icons"));
    RadioViewController::Collaborators c{f_->api.get(), f_->defaults.get(), player_.get(), notifications_.get(), &shell_,
                                         icons_.get()};
    controller_ = std::make_unique<RadioViewController>(c);
}

void TestRadioViewController::cleanup() {
    controller_.reset();
    f_->api->waitForSaves();
}

void TestRadioViewController::firstOpeningSetsUpOnce() {
    controller_->popoverWillShow();
    controller_->popoverWillShow();
    QCOMPARE(controller_->view()->message->text(), RadioViewController::kLoading);
    QTRY_COMPARE_WITH_TIMEOUT(controller_->view()->message->text(), QStringLiteral("92 Stations"), 20000);
    QCOMPARE(emulator_->requestCount("/json/stations"), 1);
    QCOMPARE(controller_->view()->countriesButton->text(), QStringLiteral("\U0001F1E6\U0001F1F9"));
    // The first station is loaded, not played.
    QVERIFY(!controller_->loadedStation().isNull());
    QCOMPARE(player_->plays, 0);
    QCOMPARE(controller_->view()->playButton->text(), QStringLiteral("Play"));
    // A later start restores the loaded station rather than the list's first.
    const Station loaded = controller_->displayStations().at(5);
    controller_->loadStation(loaded, false);
    f_->launch(emulator_->baseUrl(), emulator_->baseUrl());
    makeController();
    controller_->popoverWillShow();
    QTRY_VERIFY_WITH_TIMEOUT(!controller_->loadedStation().isNull(), 20000);
    QVERIFY(RadioBrowser::stationIsEqualTo(controller_->loadedStation(), loaded));
}

void TestRadioViewController::downloadSuccessAndFailure() {
    feed(sampleStations());
    controller_->view()->searchField->setText("zeta");
    controller_->selectionTagsChanged({"Jazz"});
    QCOMPARE(controller_->displayStations().size(), 2);
    QTest::ignoreMessage(QtWarningMsg, "⚠️ [The server answered HTTP 500]");
    controller_->requestStations_Callback(std::nullopt, "The server answered HTTP 500");
    QCOMPARE(controller_->view()->message->text(), RadioViewController::kServerNotWorking);
    QVERIFY(controller_->view()->searchField->text().isEmpty());
    QVERIFY(controller_->matchTags().isEmpty());
    QCOMPARE(controller_->countryStations().size(), 3); // the previous list stays
    feed({});
    QCOMPARE(controller_->view()->message->text(), RadioViewController::kNoStations);
}

void TestRadioViewController::filtersAndCounts() {
    feed(sampleStations());
    QCOMPARE(controller_->view()->message->text(), QStringLiteral("3 Stations"));
    controller_->view()->searchField->setText("caf");
    QCOMPARE(names(controller_->displayStations()), QStringList{"Café Central"});
    QCOMPARE(controller_->view()->message->text(), QStringLiteral("1 Station"));
    controller_->view()->searchField->setText("cafe c"); // narrowing while typing
    QCOMPARE(names(controller_->displayStations()), QStringList{"Café Central"});
    controller_->view()->searchField->setText("ra"); // another text widens again
    QCOMPARE(names(controller_->displayStations()), (QStringList{"Café Central", "Radio FM"}));
    controller_->selectionTagsChanged({"Rock"});
    QCOMPARE(names(controller_->displayStations()), (QStringList{"Café Central", "Radio FM", "Zeta"}));
    controller_->view()->searchField->setText("none");
    QCOMPARE(names(controller_->displayStations()), QStringList{"Zeta"});

    // The tags menu offers each country tag once, sorted, with the selection.
    QMenu* tags = controller_->tagsMenu();
    controller_->menuWillOpen(tags);
    QCOMPARE(controller_->matchTags(), QStringList{"Rock"});
}

void TestRadioViewController::sortSetting_data() {
    QTest::addColumn<QVariant>("setting");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("unset: votes") << QVariant() << QStringList{"Café Central", "Radio FM", "Zeta"};
    QTest::newRow("2: names, alpha before Zeta") << QVariant(2) << QStringList{"alpha", "Café Central", "Radio FM", "Zeta"};
    QTest::newRow("7: clicks") << QVariant(7) << QStringList{"Zeta", "Radio FM", "Café Central"};
}

void TestRadioViewController::sortSetting() {
    QFETCH(QVariant, setting);
    QFETCH(QStringList, expected);
    if (setting.isValid())
        f_->defaults->setValue("radioStationsSortBy", setting);
    StationList stations = sampleStations();
    if (expected.contains("alpha"))
        stations.append(stationFromJson(R"({"stationuuid":"d","name":"alpha"})"));
    stations[2] = stationFromJson(R"({"stationuuid":"c","name":"Zeta","votes":1,"clickcount":9})");
    feed(stations);
    QCOMPARE(names(controller_->displayStations()), expected);
    controller_->menuWillOpen(controller_->sortMenu());
    int checked = 0;
    for (QAction* item : controller_->sortMenu()->actions())
        checked += item->isChecked();
    QCOMPARE(checked, setting.isValid() && setting.toInt() == 7 ? 0 : 1);
}

void TestRadioViewController::loadingAndPlaying() {
    feed(sampleStations());
    const Station b = controller_->displayStations().first();
    controller_->loadStation(b, true);
    QCOMPARE(controller_->view()->playButton->text(), QStringLiteral("Loading..."));
    QVERIFY(!controller_->view()->playButton->isEnabled());
    QCOMPARE(shell_.animations.last(), true);
    QTRY_COMPARE(emulator_->requestCount("/json/url/b"), 1);
    QCOMPARE(f_->api->recentStations().size(), 1);
    player_->becomeReady(MediaPlayer::TrackFormat{true, 22050, 1});
    QCOMPARE(controller_->view()->playButton->text(), QStringLiteral("Stop"));
    QCOMPARE(controller_->loadedStationFormat(), QStringLiteral("22.1kHz - 1ch"));

    controller_->loadStation(b, true); // already playing: nothing
    QCOMPARE(player_->plays, 1);
    controller_->togglePlayAction(); // stop
    QCOMPARE(controller_->view()->playButton->text(), QStringLiteral("Play"));
    QCOMPARE(shell_.animations.last(), false);
    controller_->loadStation(b, true); // stopped: plays again, no second click
    QCOMPARE(player_->plays, 2);
    QTest::qWait(200);
    QCOMPARE(emulator_->requestCount("/json/url/"), 1);

    // The notification without "play" loads without playing; the stored file follows.
    notifications_->post(kLoadStationNotification, {}); // nothing to load
    controller_->prepareFirstTime();
    notifications_->post(kLoadStationNotification, {{"station", QVariant::fromValue(sampleStations().at(0))}});
    QCOMPARE(controller_->loadedStation().string(Station::Key::Name), QStringLiteral("Radio FM"));
    QCOMPARE(controller_->view()->playButton->text(), QStringLiteral("Play"));
    QCOMPARE(controller_->nowPlaying(), RadioViewController::kLiveBroadcast);
    QCOMPARE(f_->api->readStationFromURL(QUrl::fromLocalFile(f_->supportFile("loadedStation.dat"))).string(Station::Key::Name),
             QStringLiteral("Radio FM"));

    controller_->loadStation(sampleStations().at(2), true); // no stream address
    QCOMPARE(shell_.beeps, 1);
}

void TestRadioViewController::playerFailureEndsLoading() {
    feed(sampleStations());
    controller_->loadStation(sampleStations().at(0), true);
    player_->fail("Stream not available");
    QCOMPARE(controller_->view()->playButton->text(), QStringLiteral("Play"));
    QVERIFY(controller_->view()->playButton->isEnabled());
    QCOMPARE(shell_.animations.last(), false);
    QCOMPARE(controller_->nowPlaying(), QStringLiteral("⚠️ Stream not available"));
    Q_EMIT player_->reconnecting(1);
    QCOMPARE(controller_->nowPlaying(), QStringLiteral("Reconnecting…"));
}

void TestRadioViewController::nowPlayingTitles_data() {
    using Item = MediaPlayer::MetadataItem;
    QTest::addColumn<QList<MediaPlayer::MetadataGroup>>("groups");
    QTest::addColumn<QString>("expected");
    QTest::newRow("title") << QList<MediaPlayer::MetadataGroup>{{Item{"icy/StreamTitle", "Artist - Song"}}} << "Artist - Song";
    QTest::newRow("first empty, second kept")
        << QList<MediaPlayer::MetadataGroup>{{Item{"icy/StreamTitle", ""}, Item{"icy/StreamTitle", "B"}}} << "B";
    QTest::newRow("other identifiers only") << QList<MediaPlayer::MetadataGroup>{{Item{"icy/StreamUrl", "x"}}} << "Live Broadcast";
    QTest::newRow("nothing") << QList<MediaPlayer::MetadataGroup>{} << "Live Broadcast";
}

void TestRadioViewController::nowPlayingTitles() {
    QFETCH(QList<MediaPlayer::MetadataGroup>, groups);
    QFETCH(QString, expected);
    Q_EMIT player_->timedMetadataReceived(groups);
    QCOMPARE(controller_->view()->streamText->text(), expected);
}

void TestRadioViewController::favouritesAndStepper() {
    controller_->prepareFirstTime();
    QTRY_VERIFY_WITH_TIMEOUT(!controller_->countryStations().isEmpty(), 20000);
    feed(sampleStations());
    controller_->loadStation(sampleStations().at(0), false);
    QVERIFY(controller_->view()->stationStepper->isHidden());
    controller_->toggleLoadedStationFavoriteAction();
    QVERIFY(controller_->loadedStationIsFavorite());
    QVERIFY(controller_->view()->stationStepper->isHidden()); // the only favourite
    controller_->toggleFavoriteAction(0); // Café Central, row 0 by votes
    QVERIFY(!controller_->view()->stationStepper->isHidden());
    controller_->stepperAction(0); // towards the end
    QCOMPARE(f_->api->favoriteStations().last().string(Station::Key::Name), QStringLiteral("Radio FM"));
    controller_->toggleFavoriteAction(7); // outside the list
    QCOMPARE(shell_.beeps, 1);
    controller_->toggleLoadedStationFavoriteAction();
    QVERIFY(!controller_->loadedStationIsFavorite());
}

void TestRadioViewController::stripSegments_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("segment");
    QTest::addColumn<int>("expected");
    QTest::newRow("favourites shown, favourites clicked") << 1 << 0 << 0;
    QTest::newRow("favourites shown, recents clicked") << 1 << 1 << 2;
    QTest::newRow("recents shown, recents clicked") << 2 << 1 << 0;
    QTest::newRow("recents shown, favourites clicked") << 2 << 0 << 1;
    QTest::newRow("none shown, recents clicked") << 0 << 1 << 2;
    QTest::newRow("odd value, favourites clicked") << 9 << 0 << 1;
}

void TestRadioViewController::stripSegments() {
    QFETCH(int, stored);
    QFETCH(int, segment);
    QFETCH(int, expected);
    f_->defaults->setValue("stripVis", stored);
    controller_->stripSegmentAction(segment);
    QCOMPARE(f_->defaults->integer("stripVis"), expected);
    QCOMPARE(controller_->view()->favoritesSegment->isChecked(), expected == 1);
    QCOMPARE(controller_->view()->recentsSegment->isChecked(), expected == 2);
    QCOMPARE(controller_->view()->stationsStripHostView->isHidden(), expected == 0);
}

void TestRadioViewController::serverPopup() {
    QComboBox* popup = controller_->view()->serversPopup;
    controller_->tabViewWillSelect(1);
    QTRY_VERIFY_WITH_TIMEOUT(popup->count() > 0, 20000);
    // The emulator's servers do not include the one in use: a warning item, selected.
    QCOMPARE(popup->currentText(), RadioViewController::kWarningPrefix + f_->api->server());
    const int servers = popup->count() - 1;
    popup->setCurrentIndex(0);
    const QString chosen = popup->currentText();
    controller_->serverChosenAction();
    QCOMPARE(f_->api->server(), chosen);
    QTRY_COMPARE_WITH_TIMEOUT(popup->count(), servers, 20000);
    QCOMPARE(popup->currentText(), chosen);

    emulator_->setMode(R"({"mode":"http500","path_prefix":"/json/servers"})");
    f_->launch(emulator_->baseUrl(), emulator_->baseUrl() + "/nowhere"); // a fresh cache
    init();
    emulator_->setMode(R"({"mode":"http500","path_prefix":"/json/servers"})");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^requestServers \\[.*500"));
    controller_->prepereServerPopup();
    popup = controller_->view()->serversPopup;
    QTRY_COMPARE_WITH_TIMEOUT(popup->count(), 1, 20000);
    QVERIFY(popup->currentText().startsWith(RadioViewController::kWarningPrefix));
    const QString before = f_->api->server();
    controller_->serverChosenAction();
    QCOMPARE(f_->api->server(), before);
}

void TestRadioViewController::links_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<int>("beeps");
    QTest::newRow("station page") << "station" << "a" << "https://a.example/" << 0;
    QTest::newRow("station page of another scheme") << "station" << "b" << "" << 1;
    QTest::newRow("web page") << "page" << "https://www.radio-browser.info/" << "https://www.radio-browser.info/" << 0;
    QTest::newRow("custom scheme") << "page" << "javascript:alert(1)" << "" << 1;
    QTest::newRow("search") << "search" << "Artist - Song" << "https://duckduckgo.com/search?q=Artist%20-%20Song" << 0;
    QTest::newRow("search placeholder") << "search" << "Live Broadcast" << "" << 1;
    QTest::newRow("search too short") << "search" << "ab" << "" << 1;
}

void TestRadioViewController::links() {
    QFETCH(QString, action);
    QFETCH(QString, argument);
    QFETCH(QString, opened);
    QFETCH(int, beeps);
    if (action == "station") {
        feed(sampleStations());
        controller_->loadStation(sampleStations().at(argument == "a" ? 0 : 1), false);
        controller_->visitStationPage();
    } else if (action == "page") {
        controller_->visitPage(argument);
    } else {
        controller_->visitNowPlayingAction(argument);
    }
    QTRY_COMPARE(shell_.opened.size(), opened.isEmpty() ? 0 : 1); // pages open after the current event
    QCOMPARE(shell_.beeps, beeps);
    QCOMPARE(shell_.opened.isEmpty() ? QString() : shell_.opened.first().toString(QUrl::FullyEncoded), opened);
}

void TestRadioViewController::desktopMediaControls() {
    int raised = 0;
    RadioPlaybackControl control(*controller_, *player_, *f_->defaults, *icons_, {[&] { ++raised; }, {}});
    QSignalSpy changed(&control, &PlaybackControl::changed);
    feed(sampleStations());
    controller_->loadStation(sampleStations().at(0), false);
    QCOMPARE(control.stationName(), QStringLiteral("Radio FM"));
    QCOMPARE(control.title(), QString()); // "Live Broadcast" is no title
    QCOMPARE(control.playbackStatus(), PlaybackControl::Status::Stopped);
    control.play();
    QCOMPARE(control.playbackStatus(), PlaybackControl::Status::Playing);
    Q_EMIT player_->timedMetadataReceived({{MediaPlayer::MetadataItem{"icy/StreamTitle", "Artist - Song"}}});
    QCOMPARE(control.title(), QStringLiteral("Artist - Song"));
    control.pause(); // a live stream stops
    QCOMPARE(controller_->view()->playButton->text(), QStringLiteral("Play"));
    control.setVolume(0.25);
    QCOMPARE(f_->defaults->doubleValue("radioVolume"), 0.25);
    QCOMPARE(player_->volume(), 0.25f);
    control.raise();
    QCOMPARE(raised, 1);
    QVERIFY(changed.count() >= 4);
    QVERIFY(control.artUrl().isEmpty()); // no picture cached
}

QTEST_MAIN(TestRadioViewController)
#include "tst_radioviewcontroller.moc"
