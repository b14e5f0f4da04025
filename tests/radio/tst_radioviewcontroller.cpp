// SPDX-License-Identifier: GPL-3.0-or-later
#include "panels/CountriesView.h"
#include "panels/StationCollectionViewItem.h"
#include "panels/StationsStripView.h"
#include "panels/TagsView.h"
#include "radio/PlayerCommands.h"
#include "radio/PopoverView.h"
#include "radio/RadioPlaybackControl.h"
#include "radio/RadioShell.h"
#include "radio/RadioViewController.h"
#include "radio/StationCellView.h"
#include "radio/StationTableModel.h"
#include "directory/ListingRefresher.h"
#include "support/AccessibleAction.h"
#include "support/DirectoryFixture.h"
#include "support/FakeMediaPlayer.h"
#include "support/FakeStationDirectory.h"
#include "support/LogCapture.h"
#include "ui/ElidedTextButton.h"
#include "ui/IconLoader.h"
#include "util/TextUtils.h"

#include <QtTest>
#include <QtWidgets>

using namespace std::chrono_literals;

namespace {
struct RecordingShell : RadioShell {
    QUrl support;
    int beeps = 0;
    QList<QUrl> opened;
    void beep() override { ++beeps; }
    void openURL(const QUrl& url) override { opened.append(url); }
};

using Groups = QList<MediaPlayer::MetadataGroup>;
const QString kTitle = QStringLiteral("icy/StreamTitle");

StationList sampleStations() {
    return {
        stationFromJson(R"({"stationuuid":"a","name":"Radio FM","tags":"pop","votes":5,"url":"http://s/a","homepage":"https://a.example/"})"),
        stationFromJson(R"({"stationuuid":"b","name":"Café Central","tags":"jazz","votes":9,"url":"http://s/b","homepage":"file:///etc/passwd"})"),
        stationFromJson(R"({"stationuuid":"c","name":"Zeta","tags":"rock","votes":1,"url":""})"),
    };
}

Error http500() { return Error::make(Error::Code::HttpStatus, QStringLiteral("The server answered HTTP 500"), 500); }

// A country's stations as the directory lists them: most of them pop, some jazz, votes falling.
StationList countryStations(const QString& code, int count) {
    static const QStringList kNames{"Welle", "Radio", "Antenne", "Melodie", "Jazz Lounge"};
    static const QStringList kTags{"pop,rock", "pop", "jazz", "pop,oldies", "news"};
    StationList list;
    for (int i = 0; i < count; ++i)
        list.append(stationFromJson(QJsonObject{{"stationuuid", QStringLiteral("%1-%2").arg(code).arg(i)},
                                                {"name", QStringLiteral("%1 %2 %3").arg(kNames[i % kNames.size()], code).arg(i)},
                                                {"tags", kTags[i % kTags.size()]},
                                                {"votes", 1000 - i},
                                                {"url", QStringLiteral("http://stream.example/%1/%2").arg(code).arg(i)},
                                                {"countrycode", code}}));
    return list;
}

} // namespace

class TestRadioViewController : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        directory_ = std::make_unique<FakeStationDirectory>();
        directory_->stationsByCountry = {{"AT", countryStations("AT", 80)}, {"DE", countryStations("DE", 7)}};
        directory_->catalogue = countryStations("AT", 80) + countryStations("CH", 20);
        f_ = std::make_unique<DirectoryFixture>(*directory_);
        f_->defaults->registerDefaults({{settingskeys::kRadioVolume, 1.0}, {settingskeys::kStripVis, 1}});
        f_->defaults->setValue(settingskeys::kRadioStationsCountryCode, "AT");
        player_ = std::make_unique<FakeMediaPlayer>();
        shell_ = RecordingShell();
        shell_.support = QUrl::fromLocalFile(f_->supportFile(QString()));
        makeController();
    }

    void cleanup() {
        controller_.reset();
        f_->api->waitForSaves();
    }

    // A station loaded before the panel was made (at launch, for the media keys) shows whole.
    void stationLoadedBeforeThePanel() {
        controller_.reset();
        playback_->loadStation(sampleStations().at(1), false);
        makeController(true);
        QCOMPARE(controller_->loadedStation().string(Station::Key::Name), QStringLiteral("Café Central"));
        QCOMPARE(part<QLabel>("stationTags")->text(), QStringLiteral("Jazz"));
        QCOMPARE(part<QLabel>("stationName")->text(), QStringLiteral("Café Central"));
    }

    // The stored sort setting applies (1: clicks, all even here, so the given order stays).
    void filtersAndCounts() {
        f_->defaults->setValue(settingskeys::kRadioStationsSortBy, 1);
        feed(sampleStations());
        QCOMPARE(controller_->message(), QStringLiteral("3 Stations"));
        search()->setText("caf");
        QCOMPARE(names(controller_->displayStations()), QStringList{"Café Central"});
        QCOMPARE(controller_->message(), QStringLiteral("1 Station"));
        search()->setText("cafe c"); // narrowing while typing
        QCOMPARE(names(controller_->displayStations()), QStringList{"Café Central"});
        search()->setText("ra"); // another text widens again
        QCOMPARE(names(controller_->displayStations()), (QStringList{"Radio FM", "Café Central"}));
        controller_->selectionTagsChanged({"Rock"});
        QCOMPARE(names(controller_->displayStations()), (QStringList{"Radio FM", "Café Central", "Zeta"}));
        controller_->menuWillOpen(controller_->sortMenu());
        const QList<QAction*> items = controller_->sortMenu()->actions();
        QCOMPARE(std::ranges::count_if(items, &QAction::isChecked), 1);

        // A failed download clears the search and the list; an empty one says so.
        QTest::ignoreMessage(QtWarningMsg, "⚠️ [The server answered HTTP 500]");
        controller_->requestStations_Callback(http500());
        QCOMPARE(controller_->message(), RadioViewController::serverNotWorkingText());
        QVERIFY(search()->text().isEmpty() && controller_->matchTags().isEmpty());
        QCOMPARE(controller_->countryStations().size(), 0);
        feed({});
        QCOMPARE(controller_->message(), RadioViewController::noStationsText());
    }

    void latestCountryFillsTheTable() {
        // The country chosen first answers late, after the one chosen next.
        directory_->hold();
        part<QToolButton>("countries")->click(); // the picker opens, and a choice closes it
        QVERIFY(!controller_->view()->auxHostView()->isHidden());
        controller_->selectionCountryCodeChanged("DE");
        QVERIFY(controller_->view()->auxHostView()->isHidden());
        controller_->selectionCountryCodeChanged("AT");
        directory_->release(true);
        QTRY_COMPARE_WITH_TIMEOUT(controller_->message(), QStringLiteral("80 Stations"), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(f_->supportFile("Listings/DE.dat")), 20000); // DE's answer came
        QCoreApplication::processEvents();
        QCOMPARE(controller_->message(), QStringLiteral("80 Stations"));
        QCOMPARE(controller_->countryCode(), QStringLiteral("AT"));
        QCOMPARE(part<QToolButton>("countries")->text(), QStringLiteral("\U0001F1E6\U0001F1F9"));
    }

    // A country whose stations cannot be had shows none: not the country's before, whatever
    // the user then types or chooses.
    void failedCountryChangeShowsNoStations() {
        PopoverView* v = controller_->view();
        controller_->popoverWillShow();
        QTRY_COMPARE_WITH_TIMEOUT(controller_->message(), QStringLiteral("80 Stations"), 20000);
        directory_->failWith(http500(), 1);
        controller_->selectionCountryCodeChanged("DE");
        QTRY_COMPARE_WITH_TIMEOUT(controller_->message(), RadioViewController::serverNotWorkingText(), 20000);
        QCOMPARE(part<QToolButton>("countries")->text(), QStringLiteral("\U0001F1E9\U0001F1EA"));

        QTest::keyClicks(search(), "a");
        QCOMPARE(v->table()->model()->rowCount(), 0);
        QCOMPARE(controller_->message(), RadioViewController::noStationsText());
        search()->clear();
        controller_->menuWillOpen(controller_->tagsMenu());
        QCOMPARE(controller_->tagsView()->items(), QStringList());
        controller_->selectionTagsChanged({"Pop"});
        QCOMPARE(v->table()->model()->rowCount(), 0);
        QVERIFY(controller_->countryStations().isEmpty());
    }

    // The first opening sets up once and takes and keeps the country of the user's region; the
    // loaded station is restored on the next start.
    void firstOpeningAndSearchEverywhere() {
        f_->defaults->remove(settingskeys::kRadioStationsCountryCode);
        const QByteArray saved = qgetenv("LC_ALL");
        qputenv("LC_ALL", "de_AT.UTF-8");
        controller_->popoverWillShow();
        qputenv("LC_ALL", saved);
        QCOMPARE(f_->defaults->string(settingskeys::kRadioStationsCountryCode), QStringLiteral("AT"));
        controller_->popoverWillShow();
        QCOMPARE(controller_->message(), RadioViewController::loadingText());
        // Waiting, the table's place shows that it waits; then the stations.
        const PopoverView* view = controller_->view();
        QVERIFY(part("busy")->isVisibleTo(view) && !view->table()->isVisibleTo(view));
        QTRY_COMPARE_WITH_TIMEOUT(controller_->message(), QStringLiteral("80 Stations"), 20000);
        QVERIFY(!part("busy")->isVisibleTo(view) && view->table()->isVisibleTo(view));
        QCOMPARE(directory_->count("stations"), 1);
        QVERIFY(!controller_->loadedStation().isNull()); // loaded, not played
        QCOMPARE(player_->plays, 0);
        const Station loaded = controller_->displayStations().at(5);
        controller_->loadStation(loaded, false);
        f_->launch();
        makeController();
        controller_->popoverWillShow();
        QTRY_VERIFY_WITH_TIMEOUT(!controller_->loadedStation().isNull(), 20000);
        QVERIFY(RadioBrowser::stationIsEqualTo(controller_->loadedStation(), loaded));
        PopoverView* v = controller_->view();
        QTRY_COMPARE_WITH_TIMEOUT(controller_->message(), QStringLiteral("80 Stations"), 20000);
        controller_->selectionCountryCodeChanged(CountriesViewDelegate::kEverywhere);
        QVERIFY(part("facets")->isVisibleTo(v));
        QCOMPARE(part<QToolButton>("countries")->text(), QStringLiteral("🌐"));
        QCOMPARE(controller_->displayCount(), 0); // nothing until something is asked for
        QTest::keyClicks(search(), "jazz");
        QTRY_VERIFY_WITH_TIMEOUT(controller_->displayCount() > 0, 20000);
        QCOMPARE(directory_->count("search"), 1); // typing waited for the pause
        for (const Station& s : controller_->displayStations())
            QVERIFY(s.string(Station::Key::Name).contains("jazz", Qt::CaseInsensitive));
        QCOMPARE(controller_->message(), text::countOf(controller_->displayCount(), "Station", "Stations"));

        // A stale search answer never replaces a country chosen afterwards.
        directory_->hold("search");
        QTest::keyClicks(search(), "x");
        QTRY_COMPARE_WITH_TIMEOUT(directory_->count("search"), 2, 20000);
        controller_->selectionCountryCodeChanged("AT");
        QTRY_COMPARE_WITH_TIMEOUT(controller_->message(), QStringLiteral("80 Stations"), 20000);
        directory_->release();
        QCoreApplication::processEvents(); // the search's answer comes
        QCOMPARE(controller_->message(), QStringLiteral("80 Stations"));
        QVERIFY(!part("facets")->isVisibleTo(v));
    }

    // A listing two days old fills the table at once; the country fetched afresh behind it
    // then changes the rows in place, keeping the user's place, search and tags. A failed fetch
    // changes nothing and says so in one log line.
    void oldListingIsRefreshedInPlace_data() {
        QTest::addColumn<bool>("fetchFails");
        QTest::newRow("fresh answer") << false;
        QTest::newRow("failed fetch") << true;
    }

    void oldListingIsRefreshedInPlace() {
        QFETCH(bool, fetchFails);
        // Two days ago one station was still on air and another not yet.
        StationList old = directory_->stationsByCountry.value("AT");
        const Station opened = old.takeAt(10);
        old.prepend(stationFromJson(
            QJsonObject{{"stationuuid", "closed"}, {"name", "Closed FM"}, {"url", "http://s/c"}, {"votes", 99999}}));
        controller_.reset();
        f_->launch();
        const QUrl listing = f_->api->listingURLForCountryCode("AT");
        f_->api->writeStations(old, listing);
        QFile file(listing.toLocalFile());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
        file.close();
        makeController();
        if (fetchFails)
            directory_->failWith(http500());
        else
            directory_->hold(); // until the user has found their place

        PopoverView* v = controller_->view();
        QListView* table = v->table();
        v->resize(440, 600);
        v->show();
        QVERIFY(QTest::qWaitForWindowExposed(v));
        LogCapture log({"ostrel.directory"});
        controller_->popoverWillShow();
        QTRY_COMPARE_WITH_TIMEOUT(controller_->countryStations().size(), old.size(), 20000);
        QVERIFY(uuids(controller_->countryStations()).contains("closed"));

        // The user's place, set before the directory answers.
        const QString tag = StationFields::tagsForStation(old.at(30)).value(0);
        QVERIFY(!tag.isEmpty());
        search()->setText("e");
        controller_->selectionTagsChanged({tag});
        table->doItemsLayout();
        const QModelIndex chosen = table->model()->index(controller_->displayCount() / 2, 0);
        table->setCurrentIndex(chosen);
        table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum() / 2);
        const int scrolled = table->verticalScrollBar()->value();
        QVERIFY(scrolled > 0);
        const QString chosenUuid = chosen.data(StationTableModel::StationRole).value<Station>().string(Station::Key::StationUuid);

        if (fetchFails) {
            QTRY_COMPARE_WITH_TIMEOUT(log.count("Listing refresh AT failed"), 1, 20000);
        } else {
            directory_->release();
            QTRY_VERIFY_WITH_TIMEOUT(!uuids(controller_->countryStations()).contains("closed"), 20000);
        }
        QCoreApplication::processEvents();
        table->doItemsLayout();
        QCOMPARE(uuids(controller_->countryStations()).contains(opened.string(Station::Key::StationUuid)), !fetchFails);
        QCOMPARE(uuids(controller_->countryStations()).contains("closed"), fetchFails);
        QCOMPARE(table->currentIndex().data(StationTableModel::StationRole).value<Station>().string(Station::Key::StationUuid),
                 chosenUuid);
        QVERIFY(table->selectionModel()->isSelected(table->currentIndex()));
        QCOMPARE(table->verticalScrollBar()->value(), scrolled);
        QCOMPARE(search()->text(), QStringLiteral("e"));
        QCOMPARE(controller_->matchTags(), QStringList{tag});
        QCOMPARE(controller_->message(), text::countOf(controller_->displayCount(), "Station", "Stations"));
        QCOMPARE(log.lines().filter("Listing refresh").size(), fetchFails ? 1 : 0);
        if (!fetchFails) // written anew: the next start asks no more
            QTRY_VERIFY_WITH_TIMEOUT(!ListingRefresher(f_->api.get()).isStale("AT"), 20000);
    }

    // The panel and the desktop's media controls follow the stream through all its states.
    void playback() {
        PlayerCommands commands({playback_.get(), f_->api.get(), {}});
        RadioPlaybackControl control(*playback_, commands, *icons_, {});
        QSignalSpy changed(&control, &PlaybackControl::changed);
        feed(sampleStations());
        QAbstractButton* button = part<QAbstractButton>("play");
        const Station b = controller_->displayStations().first();
        controller_->loadStation(b, true);
        QVERIFY(session_->state() == PlaybackSession::State::Loading && !button->isEnabled());
        QVERIFY(session_->isActive()); // the tray icon animates
        QCOMPARE(control.playbackStatus(), PlaybackControl::Status::Stopped); // no sound yet
        QTRY_COMPARE(directory_->count("click"), 1);
        QCOMPARE(directory_->last("click").argument, QStringLiteral("b"));
        QCOMPARE(f_->api->recentStations().size(), 1);
        controller_->togglePlayAction(); // stopped while loading
        QVERIFY(session_->state() == PlaybackSession::State::Stopped && button->isEnabled());
        QVERIFY(!session_->isActive());
        controller_->loadStation(b, true); // stopped: plays again
        player_->fail("Stream not available");
        QVERIFY(session_->state() == PlaybackSession::State::Failed && button->isEnabled());
        QCOMPARE(controller_->nowPlaying(), QStringLiteral("⚠️ Stream not available"));
        controller_->togglePlayAction(); // the retry: the warning stays until sound comes
        QCOMPARE(controller_->nowPlaying(), QStringLiteral("⚠️ Stream not available"));
        player_->becomeReady(MediaPlayer::TrackFormat{true, 22050, 1});
        QCOMPARE(control.playbackStatus(), PlaybackControl::Status::Playing);
        QCOMPARE((QStringList{button->accessibleName(), controller_->loadedStationFormat(), controller_->nowPlaying(),
                              control.stationName(), control.title()}), // "Live Broadcast" is no title
                 (QStringList{"Stop", "22.1kHz - 1ch", RadioViewController::liveBroadcastText(),
                              "Café Central", ""}));
        controller_->loadStation(b, true);    // already playing: nothing
        QCOMPARE(player_->plays, 3);
        QCOMPARE(directory_->count("click"), 1); // one click for the station

        // Back from a reconnection, the line shows the title again, unchanged or none.
        for (const QString& title : {QString(), QStringLiteral("Artist - Song")}) {
            if (!title.isEmpty())
                Q_EMIT player_->timedMetadataReceived({{MediaPlayer::MetadataItem{"icy/StreamTitle", title}}});
            // The wait before the next try counts down; during the try itself there is none.
            // Only sound is "Playing" to the desktop.
            const bool waits = title.isEmpty();
            Q_EMIT player_->reconnecting(1, waits ? 20s : 0s);
            QCOMPARE(control.playbackStatus(), PlaybackControl::Status::Stopped);
            if (waits) {
                QCOMPARE(controller_->nowPlaying(), QStringLiteral("Reconnecting… next try in 20 s"));
                QTRY_COMPARE_WITH_TIMEOUT(controller_->nowPlaying(), QStringLiteral("Reconnecting… next try in 19 s"), 5000);
            } else {
                QCOMPARE(controller_->nowPlaying(), QStringLiteral("Reconnecting…"));
            }
            Q_EMIT player_->reconnected();
            QCOMPARE(controller_->nowPlaying(), title.isEmpty() ? RadioViewController::liveBroadcastText() : title);
        }
        QCOMPARE(control.title(), QStringLiteral("Artist - Song"));
        control.pause(); // a live stream stops
        QCOMPARE(session_->state(), PlaybackSession::State::Stopped);
        control.play();
        player_->becomeReady(std::nullopt);
        player_->fail("Stream not available");
        QCOMPARE(control.playbackStatus(), PlaybackControl::Status::Stopped);
        control.setVolume(0.25);
        QCOMPARE(f_->defaults->doubleValue(settingskeys::kRadioVolume), 0.25);
        QCOMPARE(player_->volume(), 0.25f);
        QVERIFY(changed.count() >= 4);

        // A strip's request without playing loads without playing; the stored file follows.
        controller_->prepareFirstTime();
        Q_EMIT controller_->recentsStripView()->loadStationRequested(Station(), true); // nothing to load
        Q_EMIT controller_->favoritesStripView()->loadStationRequested(sampleStations().at(0), false);
        QCOMPARE(controller_->loadedStation().string(Station::Key::Name), QStringLiteral("Radio FM"));
        QCOMPARE(session_->state(), PlaybackSession::State::Stopped);
        const QUrl stored = QUrl::fromLocalFile(f_->supportFile("loadedStation.dat"));
        QTRY_COMPARE(f_->api->readStationFromURL(stored).string(Station::Key::Name),
                     QStringLiteral("Radio FM"));
        controller_->loadStation(sampleStations().at(2), true); // no stream address
        QCOMPARE(shell_.beeps, 1);
    }

    // The format line belongs to the stream that told it: gone with its stop, not shown for a
    // station loaded next.
    void streamFormatGoesWithTheStream_data() {
        QTest::addColumn<QString>("then");
        QTest::newRow("stopped") << "stop";
        QTest::newRow("another station loaded") << "load";
        QTest::newRow("the stream fails") << "fail";
    }

    void streamFormatGoesWithTheStream() {
        QFETCH(QString, then);
        QLabel* details = part<QLabel>("stationDetails");
        feed(sampleStations());
        controller_->loadStation(sampleStations().at(0), true);
        player_->becomeReady(MediaPlayer::TrackFormat{true, 48000, 2});
        QVERIFY2(details->text().contains("48.0kHz - 2ch"), qPrintable(details->text()));
        if (then == "stop")
            controller_->togglePlayAction();
        else if (then == "load")
            controller_->loadStation(sampleStations().at(1), false);
        else
            player_->fail("Stream not available");
        QCOMPARE(controller_->loadedStationFormat(), QString());
        QVERIFY2(!details->text().contains("kHz"), qPrintable(details->text()));
    }

    void tableInput_data() {
        QTest::addColumn<int>("key");       // 0 for the mouse
        QTest::addColumn<QString>("click"); // on the row or its star, once or twice
        QTest::addColumn<int>("actions"); // row actions run: each beeps, as the row has no stream
        QTest::addColumn<bool>("favorite");
        QTest::newRow("double click") << 0 << "row double" << 1 << false;
        QTest::newRow("single click") << 0 << "row" << 0 << false;
        QTest::newRow("Return") << int(Qt::Key_Return) << QString() << 1 << false;
        QTest::newRow("Enter") << int(Qt::Key_Enter) << QString() << 1 << false;
        QTest::newRow("Space stars") << int(Qt::Key_Space) << QString() << 0 << true;
        QTest::newRow("star click") << 0 << "star" << 0 << true;
        QTest::newRow("star double click: two toggles") << 0 << "star double" << 0 << false;
    }

    void tableInput() {
        QFETCH(int, key);
        QFETCH(QString, click);
        QFETCH(int, actions);
        QFETCH(bool, favorite);
        QListView* table = controller_->view()->table();
        feed(sampleStations());
        controller_->view()->resize(440, 600);
        controller_->view()->show();
        QVERIFY(QTest::qWaitForWindowExposed(controller_->view()));
        const QModelIndex zeta = table->model()->index(2, 0); // no stream address: every play beeps
        table->setCurrentIndex(zeta);
        table->setFocus();
        const QRect row = table->visualRect(zeta);
        const QPoint point =
            click.startsWith("star") ? StationCellView::starRect(row).center() : row.center();
        if (key)
            QTest::keyClick(table, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        else
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, point);
        if (click.endsWith("double")) { // what a system sends for a double click
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, point);
            QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, point);
        }
        QCOMPARE(shell_.beeps, actions);
        QCOMPARE(f_->api->isFavoriteStation(sampleStations().at(2)), favorite);
        QCOMPARE(player_->plays, 0);
    }

    // A row shows as much of the tags as fits; its tooltip has them all.
    void rowToolTips_data() {
        QTest::addColumn<QString>("tags");
        QTest::addColumn<bool>("unlisted");
        QTest::addColumn<QString>("tip");
        const QString many = QStringLiteral("Jazz, Classic Rock, Electronic, Ambient, Chillout, Lounge, Indie Pop, "
                                            "Singer Songwriter, Drum And Bass, World Music");
        QTest::newRow("many tags") << many.toLower() << false << QStringLiteral("Lounge FM\n") + many;
        QTest::newRow("one tag") << "jazz" << false << "Lounge FM\nJazz";
        QTest::newRow("no longer in the directory") << "jazz" << true << "Lounge FM\nJazz\nNo longer in the directory";
    }

    void rowToolTips() {
        QFETCH(QString, tags);
        QFETCH(bool, unlisted);
        QFETCH(QString, tip);
        QJsonObject json{{"stationuuid", "t"}, {"name", "Lounge FM"}, {"url", "http://s/t"}, {"tags", tags}};
        if (unlisted)
            json.insert("ostrel_unlisted", 1);
        feed({stationFromJson(json)});
        PopoverView* v = controller_->view();
        v->resize(440, 600);
        v->show();
        QVERIFY(QTest::qWaitForWindowExposed(v));
        const QPoint point = v->table()->visualRect(v->table()->model()->index(0, 0)).center();
        QHelpEvent hover(QEvent::ToolTip, point, v->table()->viewport()->mapToGlobal(point));
        QApplication::sendEvent(v->table()->viewport(), &hover);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText(), tip);
        QToolTip::hideText();
    }

    void nowPlayingTitles_data() {
        using Item = MediaPlayer::MetadataItem;
        QTest::addColumn<QList<MediaPlayer::MetadataGroup>>("groups");
        QTest::addColumn<QString>("expected");
        const QString longTitle = QStringLiteral("Long title ").repeated(28).left(300);
        QTest::newRow("first empty, second kept") << Groups{{Item{kTitle, ""}, Item{kTitle, "B"}}} << "B";
        QTest::newRow("other identifiers only") << Groups{{Item{"icy/StreamUrl", "x"}}} << "Live Broadcast";
        QTest::newRow("mnemonic-like")
            << Groups{{Item{kTitle, "Simon & Garfunkel - Rock &Roll"}}} << "Simon & Garfunkel - Rock &Roll";
        QTest::newRow("300 characters") << Groups{{Item{kTitle, longTitle}}} << longTitle;
    }

    void nowPlayingTitles() {
        QFETCH(QList<MediaPlayer::MetadataGroup>, groups);
        QFETCH(QString, expected);
        ElidedTextButton* line = part<ElidedTextButton>("nowPlaying");
        QWidget* panel = controller_->view();
        panel->show();
        QVERIFY(QTest::qWaitForWindowActive(panel));
        const int width = panel->width();
        controller_->loadStation(sampleStations().at(0), false);
        Q_EMIT player_->timedMetadataReceived(groups);
        // Whole to screen readers and in the tooltip, elided on screen, never a shortcut.
        QCOMPARE(line->text(), expected);
        QCOMPARE(QAccessible::queryAccessibleInterface(line)->text(QAccessible::Name), expected);
        QCOMPARE(line->toolTip(), expected);
        QVERIFY(expected.startsWith(line->shownText().chopped(1)) || line->shownText() == expected);
        QTest::keyClick(panel, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(shell_.opened.size(), 0);
        QApplication::processEvents();
        QCOMPARE(panel->width(), width);
        QVERIFY(line->fontMetrics().horizontalAdvance(line->shownText()) <= line->width());
    }

    void favouritesAndStepper() {
        controller_->prepareFirstTime();
        QTRY_VERIFY_WITH_TIMEOUT(!controller_->countryStations().isEmpty(), 20000);
        feed(sampleStations());
        controller_->loadStation(sampleStations().at(0), false);
        QVERIFY(!part("stepUp")->isVisibleTo(controller_->view()));
        controller_->toggleLoadedStationFavoriteAction();
        QVERIFY(controller_->loadedStationIsFavorite());
        QVERIFY(!part("stepUp")->isVisibleTo(controller_->view())); // the only favourite
        const QModelIndex row = controller_->view()->table()->model()->index(0, 0);
        QCOMPARE(row.data(Qt::AccessibleTextRole).toString(), QStringLiteral("Café Central, Jazz"));
        controller_->toggleFavoriteAction(0); // Café Central, row 0 by votes
        QVERIFY(!!part("stepUp")->isVisibleTo(controller_->view()));
        QCOMPARE(row.data(Qt::AccessibleTextRole).toString(), QStringLiteral("Café Central, Jazz, favourite"));
        controller_->stepperAction(0); // towards the end
        QCOMPARE(f_->api->favoriteStations().last().string(Station::Key::Name), QStringLiteral("Radio FM"));
        controller_->toggleFavoriteAction(7); // outside the list
        QCOMPARE(shell_.beeps, 1);
        controller_->toggleLoadedStationFavoriteAction();
        QVERIFY(!controller_->loadedStationIsFavorite());
    }

    // Stored choice, segment clicked, choice after: the shown list's segment hides the strip.
    void stripSegments() {
        const PopoverView* v = controller_->view();
        for (const auto& [stored, segment, expected] :
             {std::tuple{1, 0, 0}, {1, 1, 2}, {2, 1, 0}, {2, 0, 1}, {9, 0, 1}}) {
            f_->defaults->setValue(settingskeys::kStripVis, stored);
            controller_->stripSegmentAction(segment);
            QCOMPARE(f_->defaults->integer(settingskeys::kStripVis), expected);
            QCOMPARE((QList<bool>{part<QToolButton>("favoritesSegment")->isChecked(), part<QToolButton>("recentsSegment")->isChecked(),
                                  v->stationsStripHostView()->isHidden()}),
                     (QList<bool>{expected == 1, expected == 2, expected == 0}));
        }
    }

    // Checkable controls act on their state change, whoever makes it: a click, or a screen
    // reader's "Toggle", which calls toggle() and never clicks.
    void checkableControls_data() {
        QTest::addColumn<bool>("screenReader");
        QTest::newRow("mouse") << false;
        QTest::newRow("screen reader") << true;
    }

    void checkableControls() {
        QFETCH(bool, screenReader);
        controller_->prepareFirstTime();
        PopoverView* v = controller_->view();
        auto act = [screenReader](QAbstractButton* control) {
            if (screenReader)
                QVERIFY(doAccessibleAction(control, QAccessibleActionInterface::toggleAction()));
            else
                QTest::mouseClick(control, Qt::LeftButton);
        };
        act(part<QToolButton>("favorite")); // nothing loaded: refused
        QCOMPARE(shell_.beeps, 1);
        QVERIFY(!part<QToolButton>("favorite")->isChecked());
        controller_->loadStation(sampleStations().at(0), false);
        act(part<QToolButton>("favorite"));
        QCOMPARE(names(f_->api->favoriteStations()), QStringList{"Radio FM"});
        QVERIFY(part<QToolButton>("favorite")->isChecked());
        act(part<QToolButton>("favorite"));
        QVERIFY(f_->api->favoriteStations().isEmpty());
        QVERIFY(!part<QToolButton>("favorite")->isChecked());

        act(part<QToolButton>("countries"));
        QVERIFY(!v->auxHostView()->isHidden());
        QVERIFY(v->findChild<CountriesView*>());
        act(part<QToolButton>("countries"));
        QVERIFY(v->auxHostView()->isHidden());
        QVERIFY(!part<QToolButton>("countries")->isChecked());

        QCOMPARE(f_->defaults->integer("stripVis"), 1);
        act(part<QToolButton>("recentsSegment"));
        QCOMPARE(f_->defaults->integer("stripVis"), 2);
        QVERIFY(!part<QToolButton>("favoritesSegment")->isChecked());
        act(part<QToolButton>("recentsSegment")); // the shown list's segment hides the strip
        QCOMPARE(f_->defaults->integer("stripVis"), 0);
        QVERIFY(v->stationsStripHostView()->isHidden());
        act(part<QToolButton>("favoritesSegment"));
        QCOMPARE(f_->defaults->integer("stripVis"), 1);
        QCOMPARE(shell_.beeps, 1);
    }

    void serverPopup() {
        directory_->servers = {"de1.api.radio-browser.info", "nl1.api.radio-browser.info"};
        QComboBox* popup = part<QComboBox>("servers");
        controller_->tabViewWillSelect(1);
        QTRY_VERIFY_WITH_TIMEOUT(popup->count() > 0, 20000);
        // The directory's servers do not include the one in use: a warning item, selected.
        QCOMPARE(popup->currentText(), RadioViewController::kWarningPrefix + f_->api->server());
        QCOMPARE(popup->itemText(0), QStringLiteral("Any server (all.api.radio-browser.info)"));
        const int servers = popup->count() - 1;
        for (const int index : {1, 0}) {
            popup->setCurrentIndex(index); // as the user's choice in the list
            Q_EMIT popup->activated(index);
            const QString chosen = popup->currentText();
            QCOMPARE(f_->api->server(), index ? chosen : RadioBrowser::kDefaultServer);
            QTRY_COMPARE_WITH_TIMEOUT(popup->count(), servers, 20000);
            QCOMPARE(popup->currentText(), chosen);
        }
    }

    void links_data() {
        QTest::addColumn<QString>("call"); // what is asked for, then after a colon what with
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QString>("opened");
        QTest::newRow("station page") << "station:a" << 0 << "https://a.example/";
        QTest::newRow("station page of another scheme") << "station:b" << 1 << "";
        QTest::newRow("station page without a scheme") << "homepage:www.example.com" << 0 << "http://www.example.com";
        QTest::newRow("station page with a port, without a scheme")
            << "homepage:radio.example.com:8000/live" << 0 << "http://radio.example.com:8000/live";
        QTest::newRow("station page without a scheme or host") << "homepage://www.example.com/a b" << 0
                                                                << "http://www.example.com/a%20b";
        QTest::newRow("station page between blanks") << "homepage: www.example.com " << 0 << "http://www.example.com";
        QTest::newRow("station page of a mail address") << "homepage:mailto:a@example.com" << 1 << "";
        QTest::newRow("custom scheme") << "page:javascript:alert(1)" << 1 << "";
        QTest::newRow("search with query characters")
            << "search:Simon & Garfunkel = 1+1 #2" << 0
            << "https://duckduckgo.com/search?q=Simon%20%26%20Garfunkel%20%3D%201%2B1%20%232";
        QTest::newRow("search placeholder") << "search:Live Broadcast" << 1 << "";
        QTest::newRow("search too short") << "search:ab" << 1 << "";
    }

    void links() {
        QFETCH(QString, call);
        QFETCH(int, beeps);
        QFETCH(QString, opened);
        const QString action = call.section(u':', 0, 0);
        const QString argument = call.section(u':', 1);
        if (action == "station") {
            feed(sampleStations());
            controller_->loadStation(sampleStations().at(argument == "a" ? 0 : 1), false);
            controller_->visitStationPage();
        } else if (action == "homepage") {
            const Station station = stationFromJson(
                QJsonObject{{"stationuuid", "h"}, {"name", "Home"}, {"url", "http://s/h"}, {"homepage", argument}});
            feed({station});
            controller_->loadStation(station, false);
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

    void keyboardReachesEverything() {
        PopoverView* v = controller_->view();
        f_->api->addFavoriteStation(sampleStations().at(0));
        f_->api->addFavoriteStation(sampleStations().at(1));
        v->show();
        QVERIFY(QTest::qWaitForWindowActive(v));
        controller_->popoverWillShow();
        QTRY_COMPARE_WITH_TIMEOUT(controller_->message(), QStringLiteral("80 Stations"), 20000);
        StationsStripView* strip = controller_->favoritesStripView();
        controller_->loadStation(strip->tiles().first()->representedObject(), false);
        QCOMPARE(QApplication::focusWidget(), search());

        // Tab goes round in reading order; the strip is one stop. A recording control goes
        // into the station's tool row, after the vote.
        auto* record = new QToolButton;
        v->setRecordingControl(record);
        QTRY_VERIFY(record->isVisible());
        QList<QWidget*> order{part("sort"), part("tags"), v->table()};
        for (const char* name : {"favoritesSegment", "recentsSegment", "ownStations", "detach"})
            order.append(part(name));
        order.append(strip->tiles().first());
        for (const char* name : {"nowPlaying", "play", "favorite", "stepUp", "stepDown", "homepage", "vote"})
            order.append(part(name));
        order << record << part("volume") << part<QTabWidget>("tabs")->tabBar() << part("countries") << search();
        for (QWidget* expected : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected);
        }

        // The country picker follows the table and gives the keyboard back when it closes.
        QTest::keyClick(part<QToolButton>("countries"), Qt::Key_Space);
        CountriesView* picker = controller_->countriesView();
        QVERIFY(picker && picker->isVisible());
        v->table()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(v->table(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), picker->searchField());
        QTest::keyClick(part<QToolButton>("countries"), Qt::Key_Space);
        QCOMPARE(QApplication::focusWidget(), v->table());
    }

    // The header keeps its height whatever it shows: long details and tags elide instead of
    // wrapping, and a title or a warning takes a line that is always there.
    void headerKeepsItsHeight() {
        PopoverView* v = controller_->view();
        v->resize(440, 600);
        v->show();
        QVERIFY(QTest::qWaitForWindowExposed(v));
        const int top = part("tabs")->y();
        const QString many = QStringLiteral("German,English,French,Italian,Spanish,Portuguese");
        const Station wordy = stationFromJson(QJsonObject{
            {"stationuuid", "w"}, {"name", QStringLiteral("A Very Long Station Name ").repeated(4)},
            {"language", many.toLower()}, {"country", "Austria"}, {"state", "Vienna"}, {"codec", "MP3"},
            {"bitrate", 320}, {"tags", many.toLower()}, {"url", "http://s/w"}});
        feed({wordy});
        controller_->loadStation(wordy, true);
        player_->becomeReady(MediaPlayer::TrackFormat{true, 48000, 2});
        Q_EMIT player_->timedMetadataReceived({{MediaPlayer::MetadataItem{kTitle, many.repeated(3)}}});
        auto* details = part<QLabel>("stationDetails");
        QVERIFY2(details->text().contains("German, English"), qPrintable(details->text()));
        v->layout()->activate();
        QCOMPARE(part("tabs")->y(), top);
        player_->fail("Stream not available");
        v->layout()->activate();
        QCOMPARE(part("tabs")->y(), top);
        QCOMPARE(v->width(), 440);
    }

    void remoteTextShowsNoMarkup() {
        QTemporaryDir dir;
        const QString picture = dir.filePath(QStringLiteral("tall.png"));
        QImage image(40, 400, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(picture));
        const QString name = QStringLiteral("<img src=\"%1\"> <b>Radio</b>").arg(picture);
        const Station station = stationFromJson(QJsonObject{{"stationuuid", "x"}, {"name", name}, {"tags", name}, {"url", "http://s/x"}});
        feed({station});
        controller_->loadStation(station, false);
        PopoverView* v = controller_->view();
        for (QLabel* label : {part<QLabel>("stationName"), part<QLabel>("stationTags")}) // the picture would make them 400 px tall
            QVERIFY2(label->sizeHint().height() < 100, qPrintable(label->accessibleName()));
        // A tooltip is drawn as a text document: it must read as the name and tags, with nothing in it.
        const QString tip = v->table()->model()->index(0, 0).data(Qt::ToolTipRole).toString();
        QCOMPARE((Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip).section(u'\n', 0, 0),
                 name);
    }

private:
    // A new player too, unless the one before is to go on (as at launch, before the panel).
    void makeController(bool keepPlayback = false) {
        controller_.reset();
        icons_ = std::make_unique<IconLoader>(transport_, f_->dir.filePath("icons"));
        if (!keepPlayback) {
            session_ = std::make_unique<PlaybackSession>();
            playback_ = std::make_unique<StationPlayer>(StationPlayer::Collaborators{
                f_->api.get(), player_.get(), session_.get(), f_->defaults.get(), shell_.support, [this] { shell_.beep(); }});
        }
        RadioViewController::Collaborators c{f_->api.get(), f_->defaults.get(), playback_.get(), &shell_, icons_.get()};
        controller_ = std::make_unique<RadioViewController>(c);
    }

    void feed(const StationList& stations) { controller_->requestStations_Callback(stations); }

    // A control of the panel, found as a user's tool finds it: by its name.
    template <class T = QWidget>
    T* part(const char* name) const {
        T* found = controller_->view()->findChild<T*>(QLatin1String(name));
        Q_ASSERT(found);
        return found;
    }
    QLineEdit* search() const { return part<QLineEdit>("search"); }

    HttpTransport transport_;
    std::unique_ptr<FakeStationDirectory> directory_;
    std::unique_ptr<DirectoryFixture> f_;
    std::unique_ptr<FakeMediaPlayer> player_;
    std::unique_ptr<IconLoader> icons_;
    RecordingShell shell_;
    std::unique_ptr<PlaybackSession> session_;
    std::unique_ptr<StationPlayer> playback_;
    std::unique_ptr<RadioViewController> controller_;
};

QTEST_MAIN(TestRadioViewController)
#include "tst_radioviewcontroller.moc"
