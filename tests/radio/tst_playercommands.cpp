// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/PlaybackSession.h"
#include "radio/PlayerCommands.h"
#include "radio/StationPlayer.h"
#include "radio/StreamRecorder.h"
#include "support/DirectoryFixture.h"
#include "support/FakeStationDirectory.h"
#include "support/FakeMediaPlayer.h"
#include "util/SettingsKeys.h"

#include <QtTest>

namespace {
Station station(const char* uuid, const char* name) {
    return stationFromJson(QJsonObject{{"stationuuid", uuid}, {"name", name}, {"url", QStringLiteral("http://s/%1").arg(uuid)}});
}

const StationList kFavourites{station("a", "Café Eins"), station("b", "Radio Eins Classic"), station("c", "Ö1")};
const StationList kRecents{station("d", "Radio Eins"), station("e", "FM4")};

// "next", "play Café eins", "volume +5" as the command line gives them.
PlayerCommands::Command command(const QString& words) {
    const QString verb = words.section(u' ', 0, 0);
    for (const auto kind : {PlayerCommands::Kind::Play, PlayerCommands::Kind::Stop, PlayerCommands::Kind::Toggle,
                            PlayerCommands::Kind::Next, PlayerCommands::Kind::Previous, PlayerCommands::Kind::Volume,
                            PlayerCommands::Kind::Record})
        if (PlayerCommands::toRequest({kind, QString()}) == verb)
            return {kind, words.section(u' ', 1)};
    qFatal("no command: %s", qPrintable(words));
}
} // namespace

class TestPlayerCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        directory_ = std::make_unique<FakeStationDirectory>();
        f_ = std::make_unique<DirectoryFixture>(*directory_);
        f_->defaults->registerDefaults({{settingskeys::kRadioVolume, 1.0}});
        f_->api->setFavoriteStations(kFavourites);
        f_->api->setRecentStations(kRecents);
        session_ = std::make_unique<PlaybackSession>();
        playback_ = std::make_unique<StationPlayer>(StationPlayer::Collaborators{
            f_->api.get(), &player_, session_.get(), f_->defaults.get(), QUrl::fromLocalFile(f_->supportFile(QString())), {}});
        recorder_ = std::make_unique<StreamRecorder>(StreamRecorder::Environment{
            &player_, session_.get(), f_->defaults.get(), f_->supportFile("Music"), {}, [](const QString&) { return 1LL << 40; }});
        commands_ = std::make_unique<PlayerCommands>(
            PlayerCommands::Collaborators{playback_.get(), f_->api.get(), {}, recorder_.get()});
    }

    void cleanup() {
        commands_.reset();
        recorder_.reset();
        playback_.reset();
        f_->api->waitForSaves();
    }

    // The identifier first, then the whole name, then a part of it; favourites before recents.
    void findsStations_data() {
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<QString>("found");
        QTest::newRow("name without accent, other case") << "cafe EINS" << "a";
        QTest::newRow("name with accent") << "Café eins" << "a";
        QTest::newRow("folded letter") << "o1" << "c";
        QTest::newRow("a whole recent name before a favourite containing it") << "radio eins" << "d";
        QTest::newRow("a part: the first favourite") << "eins" << "a";
        QTest::newRow("a recent") << "fm" << "e";
        QTest::newRow("identifier") << "b" << "b";
        QTest::newRow("nothing") << "Nirgendwo" << "";
        QTest::newRow("blank") << " " << "";
    }

    void findsStations() {
        QFETCH(QString, wanted);
        QFETCH(QString, found);
        QCOMPARE(PlayerCommands::findStation(wanted, kFavourites, kRecents).string(Station::Key::StationUuid),
                 found.isEmpty() ? QString() : found);
    }

    void parsesVolumes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("percent"); // -1000: refused
        QTest::addColumn<bool>("relative");
        QTest::newRow("set") << "40" << 40 << false;
        QTest::newRow("silence") << "0" << 0 << false;
        QTest::newRow("full, with blanks") << " 100 " << 100 << false;
        QTest::newRow("up") << "+5" << 5 << true;
        QTest::newRow("down") << "-100" << -100 << true;
        QTest::newRow("too loud") << "101" << -1000 << false;
        QTest::newRow("too far up") << "+101" << -1000 << false;
        QTest::newRow("fraction") << "4.5" << -1000 << false;
        QTest::newRow("two signs") << "--5" << -1000 << false;
        QTest::newRow("a word") << "loud" << -1000 << false;
        QTest::newRow("empty") << "" << -1000 << false;
    }

    void parsesVolumes() {
        QFETCH(QString, text);
        QFETCH(int, percent);
        QFETCH(bool, relative);
        const auto change = PlayerCommands::parseVolume(text);
        QCOMPARE(change, percent == -1000 ? std::nullopt : std::optional(PlayerCommands::VolumeChange{percent, relative}));
    }

    // One line on the socket whatever the argument holds; other requests are no commands.
    void requestsCrossTheSocket_data() {
        QTest::addColumn<QString>("words");
        QTest::newRow("plain") << "next";
        QTest::newRow("blanks and accents") << "play Café  Eins ";
        QTest::newRow("line break and percent") << "play a\nstatus 100%";
        QTest::newRow("address") << "play https://example.org/a b?x=1&y=%20";
        QTest::newRow("volume") << "volume -5";
        QTest::newRow("record") << "record start";
    }

    void requestsCrossTheSocket() {
        QFETCH(QString, words);
        const PlayerCommands::Command sent = command(words);
        const QString request = PlayerCommands::toRequest(sent);
        QVERIFY2(!request.contains(u'\n') && request.count(u' ') <= 1, qPrintable(request));
        QCOMPARE(PlayerCommands::fromRequest(request), std::optional(sent));
        for (const QString other : {"status", "show", "quit", ""})
            QCOMPARE(PlayerCommands::fromRequest(other), std::nullopt);
    }

    // Commands in a row from a loaded station (an identifier, or none), and what is loaded after
    // them, whether it plays, and the last one's error.
    void runs_data() {
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QString>("station");
        QTest::addColumn<bool>("active");
        QTest::addColumn<QString>("error");
        QTest::newRow("a name") << "" << QStringList{"play cafe eins"} << "Café Eins" << true << "";
        QTest::newRow("no match") << "b" << QStringList{"play Nirgendwo"} << "Radio Eins Classic" << false
                                  << "No favourite or recent station matches 'Nirgendwo'.";
        QTest::newRow("the loaded station") << "c" << QStringList{"play"} << "Ö1" << true << "";
        QTest::newRow("nothing loaded") << "" << QStringList{"play"} << "" << false << "No station is loaded.";
        QTest::newRow("toggle nothing") << "" << QStringList{"toggle"} << "" << false << "No station is loaded.";
        QTest::newRow("toggle twice") << "a" << QStringList{"toggle", "toggle"} << "Café Eins" << false << "";
        QTest::newRow("stop") << "a" << QStringList{"play", "stop"} << "Café Eins" << false << "";
        QTest::newRow("next from none") << "" << QStringList{"next"} << "Café Eins" << true << "";
        QTest::newRow("next") << "a" << QStringList{"next"} << "Radio Eins Classic" << true << "";
        QTest::newRow("next wraps") << "b" << QStringList{"next", "next"} << "Café Eins" << true << "";
        QTest::newRow("previous wraps") << "a" << QStringList{"previous"} << "Ö1" << true << "";
        QTest::newRow("previous from a recent") << "e" << QStringList{"previous"} << "Café Eins" << true << "";
        QTest::newRow("an address") << "a" << QStringList{"play https://radio.example/live.mp3"}
                                    << "radio.example/live.mp3" << true << "";
        QTest::newRow("another scheme") << "a" << QStringList{"play ftp://radio.example/live.mp3"} << "Café Eins"
                                        << false << "Not a web address: 'ftp://radio.example/live.mp3'.";
        QTest::newRow("record nothing") << "a" << QStringList{"record"} << "Café Eins" << false
                                        << "Nothing is playing to record.";
        QTest::newRow("record, playing on") << "a" << QStringList{"play", "record start", "record stop", "record"}
                                            << "Café Eins" << true << "";
        QTest::newRow("an address without host") << "a" << QStringList{"play http:///live"} << "Café Eins" << false
                                                 << "Not a web address: 'http:///live'.";
    }

    void runs() {
        QFETCH(QString, loaded);
        QFETCH(QStringList, commands);
        QFETCH(QString, station);
        QFETCH(bool, active);
        QFETCH(QString, error);
        if (!loaded.isEmpty())
            playback_->loadStation(PlayerCommands::findStation(loaded, kFavourites, kRecents), false);
        QList<PlayerCommands::Outcome> outcomes;
        for (const QString& words : commands)
            commands_->run(command(words), [&outcomes](const PlayerCommands::Outcome& o) { outcomes.append(o); });
        QCOMPARE(outcomes.size(), commands.size());
        QCOMPARE(outcomes.last().done, error.isEmpty());
        QCOMPARE(outcomes.last().error, error);
        QCOMPARE(playback_->loadedStation().string(Station::Key::Name), station.isEmpty() ? QString() : station);
        QCOMPARE(session_->isActive(), active);
        // `record` switches, `record start` and `record stop` say which; stopping ends it.
        QCOMPARE(recorder_->isRecording(), commands.last() == u"record" && active);
        commands_->run(command("stop"), {});
        QVERIFY(!recorder_->isRecording());
    }

    // Kept between silence and full; the setting follows.
    void setsTheVolume_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<double>("volume");
        QTest::newRow("set") << "30" << 0.3;
        QTest::newRow("up") << "+20" << 0.7;
        QTest::newRow("down to silence") << "-80" << 0.0;
        QTest::newRow("up to full") << "+100" << 1.0;
    }

    void setsTheVolume() {
        QFETCH(QString, argument);
        QFETCH(double, volume);
        playback_->setVolume(0.5);
        bool done = false;
        commands_->run({PlayerCommands::Kind::Volume, argument}, [&done](const auto& o) { done = o.done; });
        QVERIFY(done);
        QCOMPARE(session_->volume(), volume);
        QCOMPARE(f_->defaults->doubleValue(settingskeys::kRadioVolume), volume);
        QCOMPARE(player_.volume(), float(volume));
    }

    // An address plays once: no click is counted, and no list takes it.
    void oneOffStationJoinsNoList() {
        commands_->run(command("play http://radio.example/live"), {});
        QCOMPARE(player_.currentItemUrl(), QUrl("http://radio.example/live"));
        QCOMPARE(uuids(f_->api->recentStations()), uuids(kRecents));
        QCOMPARE(uuids(f_->api->favoriteStations()), uuids(kFavourites));
        QCOMPARE(directory_->count("click"), 0);
    }

    // A playlist address goes through the resolver, which names the stream.
    void addressesGoThroughTheResolver() {
        commands_ = std::make_unique<PlayerCommands>(PlayerCommands::Collaborators{
            playback_.get(), f_->api.get(), [](const QUrl& address, auto done) {
                if (address.path().endsWith(".pls"))
                    done(QUrl("http://radio.example/stream"), QStringLiteral("Radio Beispiel"), QString());
                else
                    done(QUrl(), QString(), QStringLiteral("Not a playlist"));
            }});
        QString error;
        commands_->run(command("play http://radio.example/list.pls"), [&error](const auto& o) { error = o.error; });
        QCOMPARE(error, QString());
        QCOMPARE(player_.currentItemUrl(), QUrl("http://radio.example/stream"));
        QCOMPARE(playback_->loadedStation().string(Station::Key::Name), QStringLiteral("Radio Beispiel"));
        commands_->run(command("play http://radio.example/list.txt"), [&error](const auto& o) { error = o.error; });
        QCOMPARE(error, QStringLiteral("Not a playlist"));
    }

    // Any station of the directory by its identifier, when no list has it; the directory's
    // failure is the command's.
    void identifierFromTheDirectory() {
        const Station wanted = stationFromJson(QJsonObject{{"stationuuid", "5e3f1c2a-0b7d-4c1e-9a8f-2d6b4e0c7a91"},
                                                           {"name", "Radio Anderswo"},
                                                           {"url", "http://anderswo.example/live"},
                                                           {"bitrate", 128}});
        directory_->catalogue = {wanted};
        QList<PlayerCommands::Outcome> outcomes;
        const auto record = [&outcomes](const PlayerCommands::Outcome& o) { outcomes.append(o); };
        commands_->run({PlayerCommands::Kind::Play, wanted.string(Station::Key::StationUuid).toUpper()}, record);
        QTRY_COMPARE_WITH_TIMEOUT(outcomes.size(), 1, 20000);
        QCOMPARE(outcomes[0].error, QString());
        QCOMPARE(playback_->loadedStation().string(Station::Key::Name), wanted.string(Station::Key::Name));
        QVERIFY(session_->isActive());
        commands_->run(command("play 99999999-9999-4999-8999-999999999999"), record);
        QTRY_COMPARE_WITH_TIMEOUT(outcomes.size(), 2, 20000);
        QCOMPARE(outcomes[1].error,
                 QStringLiteral("The directory has no station with the identifier '99999999-9999-4999-8999-999999999999'."));
        directory_->failWith(Error::make(Error::Code::TimedOut, QStringLiteral("The server did not answer")));
        commands_->run(command("play 99999999-9999-4999-8999-999999999999"), record);
        QTRY_COMPARE_WITH_TIMEOUT(outcomes.size(), 3, 20000);
        QCOMPARE(outcomes[2].error, QStringLiteral("The server did not answer"));
    }

    // Next and Previous have somewhere to go with two favourites or more.
    void canStepFollowsTheFavourites() {
        QSignalSpy changed(commands_.get(), &PlayerCommands::canStepChanged);
        QVERIFY(commands_->canStep());
        f_->api->setFavoriteStations(kFavourites.mid(0, 2));
        QCOMPARE(changed.count(), 0);
        f_->api->setFavoriteStations(kFavourites.mid(0, 1));
        QCOMPARE(changed.count(), 1);
        QVERIFY(!commands_->canStep());
        f_->api->setFavoriteStations({});
        QString error;
        commands_->run(command("next"), [&error](const auto& o) { error = o.error; });
        QCOMPARE(error, QStringLiteral("There are no favourites to go through."));
        QCOMPARE(changed.count(), 1);
    }

private:
    std::unique_ptr<FakeStationDirectory> directory_;
    std::unique_ptr<DirectoryFixture> f_;
    FakeMediaPlayer player_;
    std::unique_ptr<PlaybackSession> session_;
    std::unique_ptr<StationPlayer> playback_;
    std::unique_ptr<StreamRecorder> recorder_;
    std::unique_ptr<PlayerCommands> commands_;
};

QTEST_GUILESS_MAIN(TestPlayerCommands)
#include "tst_playercommands.moc"
