// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/OwnStations.h"
#include "directory/SongHistoryFile.h"
#include "directory/StationArchive.h"
#include "media/GstMediaPlayer.h"
#include "radio/PlaybackSession.h"
#include "radio/SongHistory.h"
#include "radio/StationPlayer.h"
#include "support/DirectoryFixture.h"
#include "support/IcecastServer.h"
#include "support/LogCapture.h"
#include "support/TestTones.h"

#include <QtTest>

using namespace std::chrono_literals;

namespace {
constexpr int kWait = 30000;

Station station(const QString& name) {
    return stationFromJson(QJsonObject{{"stationuuid", "uuid-" + name},
                                       {"name", name},
                                       {"url", "http://stream.example/" + name},
                                       {"favicon", "http://stream.example/" + name + ".png"},
                                       {"tags", "pop"},
                                       {"votes", 12}});
}

QStringList titles(const SongList& songs) {
    QStringList list;
    for (const SongEntry& song : songs)
        list.append(song.title);
    return list;
}

// A clock that moves a minute on each reading, from a fixed local time.
SongHistory::Clock minutes(QDateTime start = QDateTime(QDate(2024, 5, 1), QTime(12, 0))) {
    auto at = std::make_shared<QDateTime>(start);
    return [at] { return std::exchange(*at, at->addSecs(60)); };
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The history file's layout written by hand, as the fuzz seeds are.
QByteArray songFile(const QList<QCborMap>& songs, quint64 tag = songhistoryfile::kFormatTag) {
    QCborArray array;
    for (const QCborMap& song : songs)
        array.append(song);
    return QCborValue(QCborTag(55799), QCborValue(QCborTag(tag), array)).toCbor();
}

QCborMap song(const QString& title) {
    return QCborMap{{"time", qint64(1714564800000)}, {"title", title}, {"name", "Radio"}, {"url", "http://r.example/"}};
}
} // namespace

class TestSongHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What the session hears, step by step ("station:title"; "-" stops, "*" loads another station).
    void keepsEachTitleOnce_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("kept"); // newest first
        QTest::newRow("each title") << QStringList{"A:one", "A:two"} << QStringList{"two", "one"};
        QTest::newRow("the same twice in a row") << QStringList{"A:one", "A:one"} << QStringList{"one"};
        QTest::newRow("again after another") << QStringList{"A:one", "A:two", "A:one"} << QStringList{"one", "two", "one"};
        QTest::newRow("a pause without title between") << QStringList{"A:one", "A:", "A:one"} << QStringList{"one"};
        QTest::newRow("no title, blanks") << QStringList{"A:", "A:   "} << QStringList{};
        QTest::newRow("the same title on another station") << QStringList{"A:one", "B:one"} << QStringList{"one", "one"};
        QTest::newRow("back to the first station") << QStringList{"A:one", "B:two", "A:one"} << QStringList{"one", "two", "one"};
        QTest::newRow("as sent, spaces and all") << QStringList{"A: Artist - Song "} << QStringList{" Artist - Song "};
    }

    void keepsEachTitleOnce() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, kept);
        QTemporaryDir dir;
        PlaybackSession session;
        SongHistory history(dir.filePath("songHistory.dat"), minutes());
        history.follow(session);
        for (const QString& step : steps) {
            const QString name = step.section(u':', 0, 0);
            if (session.station().string(Station::Key::Name) != name)
                session.setStation(station(name));
            session.setTitle(step.section(u':', 1));
        }
        QCOMPARE(titles(history.songs()), kept);
        for (const SongEntry& song : history.songs()) // the station heard, enough of it to play again
            QVERIFY(song.station.string(Station::Key::StationUuid).startsWith("uuid-"));
    }

    void newestThousandAndStarredAreKept_data() {
        QTest::addColumn<QList<int>>("starred"); // in the order heard
        QTest::addColumn<int>("kept");
        QTest::addColumn<QString>("oldest");
        QTest::newRow("none starred") << QList<int>{} << 1000 << "song 5";
        QTest::newRow("two of the oldest starred") << QList<int>{0, 2} << 1002 << "song 0";
        QTest::newRow("a new one starred") << QList<int>{1004} << 1000 << "song 5";
    }

    void newestThousandAndStarredAreKept() {
        QFETCH(QList<int>, starred);
        QFETCH(int, kept);
        QFETCH(QString, oldest);
        QTemporaryDir dir;
        const QString path = dir.filePath("songHistory.dat");
        {
            SongHistory history(path, minutes());
            const Station radio = station("A");
            for (int i = 0; i < 1005; ++i) {
                QVERIFY(history.add(radio, QStringLiteral("song %1").arg(i)));
                if (starred.contains(i))
                    history.setStarred(history.songs().first().id, true);
            }
            QCOMPARE(history.songs().size(), kept);
            QCOMPARE(history.songs().last().title, oldest);
            QCOMPARE(history.songs().first().title, QStringLiteral("song 1004"));
            QCOMPARE(history.starredSongs().size(), starred.size());
        }
        SongHistory again(path); // written at the end, read as it was
        QCOMPARE(again.songs().size(), kept);
        QCOMPARE(again.songs().last().title, oldest);
        // A star taken off an old song lets it go.
        if (kept > 1000) {
            again.setStarred(again.songs().last().id, false);
            QCOMPARE(again.songs().size(), kept - 1);
        }
    }

    void damagedFileIsSetAside_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        const QByteArray good = songFile({song("One")});
        QTest::newRow("not CBOR") << QByteArray("<html>oops</html>") << "at byte 0";
        QTest::newRow("cut short") << good.chopped(3) << "unexpected end of data";
        QTest::newRow("bytes after the list") << good + '\0' << "bytes after";
        QTest::newRow("a station list") << songFile({song("One")}, archive::kStationListTag) << "missing format tag";
        QCborMap noTitle = song("One");
        noTitle.remove(QStringLiteral("title"));
        QTest::newRow("a song without title") << songFile({noTitle}) << "no title";
        QCborMap noStation = song("One");
        noStation.remove(QStringLiteral("name"));
        QTest::newRow("a song without station") << songFile({noStation}) << "no station";
        QCborMap textTime = song("One");
        textTime.insert(QStringLiteral("time"), "yesterday");
        QTest::newRow("a time that is text") << songFile({textTime}) << "no time";
        QCborMap farTime = song("One");
        farTime.insert(QStringLiteral("time"), qint64(1) << 60);
        QTest::newRow("a time far off") << songFile({farTime}) << "no time";
        QCborMap starText = song("One");
        starText.insert(QStringLiteral("starred"), "yes");
        QTest::newRow("a star that is text") << songFile({song("Two"), starText}) << "song 1: an unknown key";
        QCborMap extra = song("One");
        extra.insert(QStringLiteral("bitrate"), 128);
        QTest::newRow("a key of its own") << songFile({extra}) << "an unknown key";
    }

    void damagedFileIsSetAside() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString path = dir.filePath("songHistory.dat");
        QVERIFY(writeFile(path, bytes));
        LogCapture log({"ostrel.radio"});
        {
            SongHistory history(path, minutes());
            QVERIFY(history.songs().isEmpty());
            QCOMPARE(log.count("song history unreadable"), 1);
            QVERIFY2(log.lines().first().contains(why), qPrintable(log.lines().first()));
            QCOMPARE(fileBytes(path + ".damaged"), bytes); // kept for whoever wants to look
            QVERIFY(!QFile::exists(path));
            QVERIFY(history.add(station("A"), "Heard after"));
        }
        QCOMPARE(titles(*SongHistory::read(path)), QStringList{"Heard after"});
    }

    void readsWhatItWrote() {
        QTemporaryDir dir;
        const QString path = dir.filePath("songHistory.dat");
        const Station own = OwnStations::make({.name = "Mine, \"quoted\"", .url = "https://mine.example/live"});
        const QDateTime at(QDate(2024, 2, 29), QTime(23, 59, 58, 123));
        SongList written;
        {
            SongHistory history(path, minutes(at));
            QVERIFY(history.add(station("Café ☕ 東京"), "Ünder – the Moon"));
            QVERIFY(history.add(own, "Artist - Title"));
            history.setStarred(history.songs().last().id, true);
            written = history.songs();
            history.flush();
            QCOMPARE(titles(*SongHistory::read(path)), titles(written));
        }
        QVERIFY(fileBytes(path).startsWith("\xd9\xd9\xf7\xda\x4f\x53\x48\x01"));
        SongHistory again(path);
        QCOMPARE(again.songs().size(), 2);
        for (qsizetype i = 0; i < 2; ++i) {
            QCOMPARE(again.songs()[i].title, written[i].title);
            QCOMPARE(again.songs()[i].time, written[i].time);
            QCOMPARE(again.songs()[i].starred, written[i].starred);
            QCOMPARE(again.songs()[i].station, written[i].station);
        }
        QCOMPARE(again.songs()[1].time, at.toUTC());
        // What a song keeps of its station: identity, name, address, icon, and whether it is an own one.
        QCOMPARE(again.songs()[1].station.keys(), (QStringList{"name", "url", "stationuuid", "favicon"}));
        QVERIFY(OwnStations::isOwn(again.songs()[0].station));
        QCOMPARE(again.songs()[0].station.string(Station::Key::Url), QStringLiteral("https://mine.example/live"));
        // The same title again right after a restart is the same song.
        QVERIFY(!again.add(own, "Artist - Title"));
    }

    void clearingKeepsTheStarred() {
        QTemporaryDir dir;
        SongHistory history(dir.filePath("songHistory.dat"), minutes());
        QSignalSpy reset(&history, &SongHistory::songsReset);
        for (const QString& title : {"one", "two", "three"})
            history.add(station("A"), title);
        history.setStarred(history.songs()[1].id, true);
        history.clear();
        QCOMPARE(titles(history.songs()), QStringList{"two"});
        QCOMPARE(reset.size(), 1);
    }

    // Titles in quick succession are written together, later, and none is lost at the end.
    void writesAreBatchedAndFlushedAtTheEnd() {
        QTemporaryDir dir;
        const QString path = dir.filePath("songHistory.dat");
        {
            SongHistory history(path, minutes());
            history.setSaveDelay(1h);
            for (int i = 0; i < 50; ++i)
                history.add(station("A"), QStringLiteral("title %1").arg(i));
            QVERIFY(!QFile::exists(path)); // nothing yet: one write will carry them all
        }
        QCOMPARE(SongHistory::read(path)->size(), 50);
        SongHistory history(path, minutes());
        history.setSaveDelay(10ms);
        history.add(station("B"), "later");
        QTRY_COMPARE_WITH_TIMEOUT(SongHistory::read(path)->size(), 51, kWait);
    }

    void exports_data() {
        QTest::addColumn<bool>("csv");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text") << false
                              << "2024-05-01 12:00:00, A, plain\n"
                                 "2024-05-01 12:01:00, A, Artist, \"Quoted\" - Song\n";
        QTest::newRow("csv") << true
                             << "time,station,title,address\r\n"
                                "2024-05-01 12:00:00,A,plain,http://stream.example/A\r\n"
                                "2024-05-01 12:01:00,A,\"Artist, \"\"Quoted\"\" - Song\",http://stream.example/A\r\n";
    }

    void exports() {
        QFETCH(bool, csv);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        SongHistory history(dir.filePath("songHistory.dat"), minutes());
        history.add(station("A"), "plain");
        history.add(station("A"), "Artist, \"Quoted\" - Song");
        SongList songs = history.songs();
        std::reverse(songs.begin(), songs.end());
        QCOMPARE(csv ? SongHistory::toCsv(songs) : SongHistory::toText(songs), expected);
    }

    void playsTheStationAsTheListsKnowIt() {
        const Station kept = songhistoryfile::keptStation(station("A"));
        QVERIFY(!kept.contains("tags"));
        const Station full = station("A");
        QCOMPARE(SongHistory::stationToPlay(kept, {{station("B")}, {full}}), full);
        QCOMPARE(SongHistory::stationToPlay(kept, {{station("B")}}), kept);
    }

    // A real station: Icecast's titles, set through its admin interface, reach the history
    // through the stream player, the station player and the session.
    void titlesOfARealStream() {
        QTemporaryDir dir;
        const QString mp3 = dir.filePath("tone.mp3");
        const QString error = TestTones::mp3(mp3, 44100, 2, 20);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        IcecastServer icecast({{QStringLiteral("/radio.mp3"), mp3, QStringLiteral("MP3")}});
        DirectoryFixture directory(QStringLiteral("http://127.0.0.1:9")); // a closed port: no directory
        QDir().mkpath(directory.supportFile(QString()));
        GstMediaPlayer player({.audioSink = QStringLiteral("fakesink sync=true")});
        PlaybackSession session;
        StationPlayer stations({directory.api.get(), &player, &session, directory.defaults.get(),
                                QUrl::fromLocalFile(directory.supportFile(QString())), {}});
        const QString path = dir.filePath("songHistory.dat");
        auto history = std::make_unique<SongHistory>(path);
        history->follow(session);

        const Station own = OwnStations::make({.name = "Test FM", .url = icecast.url("/radio.mp3").toString()});
        stations.loadStation(own, true);
        QTRY_COMPARE_WITH_TIMEOUT(session.state(), PlaybackSession::State::Playing, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(icecast.listeners("/radio.mp3"), 1, kWait);
        const QStringList sent{QStringLiteral("First Artist - Opening"), QStringLiteral("Zweite Künstlerin - Schluss")};
        for (const QString& title : sent) {
            QVERIFY(icecast.setTitle("/radio.mp3", title));
            QTRY_COMPARE_WITH_TIMEOUT(history->songs().isEmpty() ? QString() : history->songs().first().title, title, kWait);
        }
        stations.stop();
        QCOMPARE(titles(history->songs()), (QStringList{sent[1], sent[0]}));
        QCOMPARE(history->songs().first().station.string(Station::Key::Name), QStringLiteral("Test FM"));
        QVERIFY(history->songs().first().time >= history->songs().last().time);

        history.reset(); // as at quit; the next start finds them
        SongHistory next(path);
        QCOMPARE(titles(next.songs()), (QStringList{sent[1], sent[0]}));
        QCOMPARE(next.songs().first().station.string(Station::Key::StationUuid), own.string(Station::Key::StationUuid));
    }
};

QTEST_GUILESS_MAIN(TestSongHistory)
#include "tst_songhistory.moc"
