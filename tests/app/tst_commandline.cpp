// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HistoryCommand.h"
#include "radio/SongHistory.h"
#include "support/DirectoryFixture.h"
#include "support/Discoverer.h"
#include "support/IcecastServer.h"
#include "support/TestTones.h"

#include <QtNetwork>
#include <QtTest>

namespace {
// Starts the program with folders of its own and no display; leading NAME=value go to its environment.
void start(QProcess& process, const QTemporaryDir& dir, QStringList arguments) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    while (!arguments.isEmpty() && !arguments.first().startsWith(u'-') && arguments.first().contains(u'=')) {
        const QString assignment = arguments.takeFirst();
        env.insert(assignment.section(u'=', 0, 0), assignment.section(u'=', 1));
    }
    env.remove(QStringLiteral("DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    for (const QString name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        env.insert(name, dir.filePath(name));
    process.setProcessEnvironment(env);
    process.start(qEnvironmentVariable("OSTREL_EXECUTABLE"), arguments);
}

// Runs a command line to its end: its exit code and standard output.
std::pair<int, QString> run(const QTemporaryDir& dir, const QStringList& arguments) {
    QProcess process;
    start(process, dir, arguments);
    if (!process.waitForFinished(60000))
        return {-1, QString()};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())};
}

QJsonObject status(const QTemporaryDir& dir) {
    return QJsonDocument::fromJson(run(dir, {"--status"}).second.toUtf8()).object();
}

} // namespace

// Runs the real executable: these options must work without a display and open no window.
class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The pattern is for standard output after a success, else for standard error; the other stays empty.
    void options_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("version") << QStringList{"--version"} << 0
                                 << "^Ostrel Radio \\d+\\.\\d+ \\(\\d+\\)\\n$";
        QTest::newRow("help") << QStringList{"--help"} << 0
                              << "^Usage: ostrel-radio \\[options\\][\\s\\S]*--version";
        QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << "Unknown option 'bogus'";
        QTest::newRow("cloud set-up without a user")
            << QStringList{"--configure-cloud", "https://dav.example/"} << 2
            << "takes a server address and a user name";
        QTest::newRow("server that is no address")
            << QStringList{"--server", "ftp://x"} << 2 << "neither a host name nor";
        QTest::newRow("status with nothing running") << QStringList{"--status"} << 1 << "not running";
        QTest::newRow("volume too loud") << QStringList{"--volume", "150"} << 2 << "^'150' is no volume: .*\\n$";
        QTest::newRow("volume in words") << QStringList{"--volume=loud"} << 2 << "'loud' is no volume";
        QTest::newRow("volume without a value") << QStringList{"--volume"} << 2 << "Missing value after '--volume'";
        QTest::newRow("two commands") << QStringList{"--next", "--stop"} << 2 << "cannot go together";
        QTest::newRow("volume error in German") << QStringList{"LANG=de_DE.UTF-8", "--volume", "150"} << 2
                                                << "„150“ ist keine Lautstärke";
        QTest::newRow("help lists the commands") << QStringList{"--help"} << 0
                                                 << "--play[\\s\\S]*--stop[\\s\\S]*--toggle[\\s\\S]*--next"
                                                    "[\\s\\S]*--previous[\\s\\S]*--volume <N>[\\s\\S]*--record";
        QTest::newRow("record at some other time") << QStringList{"--record", "later"} << 2 << "--record takes start or stop";
        QTest::newRow("history with nothing heard") << QStringList{"--history"} << 0 << "^$";
        QTest::newRow("history of no number") << QStringList{"--history", "many"} << 2 << "--history takes one number";
        QTest::newRow("history of two numbers") << QStringList{"--history", "1", "2"} << 2 << "--history takes one number";
        QTest::newRow("stray argument") << QStringList{"extra"} << 2 << "Unexpected argument 'extra'";
        QTest::newRow("help in German") << QStringList{"LANG=de_DE.UTF-8", "--help"} << 0
                                        << "^Aufruf: ostrel-radio \\[Optionen\\][\\s\\S]*Die Version zeigen";
        QTest::newRow("error in French")
            << QStringList{"LANG=fr_FR.UTF-8", "extra"} << 2 << "Argument inattendu « extra »";
    }

    void options() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, pattern);
        QTemporaryDir dir;
        QProcess process;
        start(process, dir, arguments);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        QString out = QString::fromUtf8(process.readAllStandardOutput());
        QString error = QString::fromUtf8(process.readAllStandardError());
        if (exitCode != 0)
            std::swap(out, error);
        QVERIFY2(QRegularExpression(pattern).match(out).hasMatch(), qPrintable(out));
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void occupiedSocketNeverStopsTheStart_data() {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<bool>("claimed");
        QTest::newRow("stale socket") << "socket" << true;
        QTest::newRow("plain file") << "file" << true;
        QTest::newRow("folder") << "folder" << false;
    }

    void occupiedSocketNeverStopsTheStart() {
        QFETCH(QString, obstacle);
        QFETCH(bool, claimed);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ostrel-radio.socket"));
        if (obstacle == "socket") {
            QLocalServer crashed; // its socket file is kept past its end, as a crash leaves it
            QVERIFY(crashed.listen(path) && QFile::rename(path, path + "~"));
            crashed.close();
            QVERIFY(QFile::rename(path + "~", path));
        } else if (obstacle == "file") {
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        } else {
            QVERIFY(QDir().mkdir(path));
        }
        QProcess running;
        // A closed port as the directory: the test reaches no outside server.
        start(running, dir, {"--server", "http://127.0.0.1:9"});
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += running.readAllStandardError()).contains("Ostrel Radio: "), 30000);
        QCOMPARE(said.count("Ostrel Radio: "), 1);
        QVERIFY2(said.contains(QFile::encodeName(path)), said.constData());
        QCOMPARE(running.state(), QProcess::Running);
        QProcess status;
        start(status, dir, {"--status"});
        QVERIFY(status.waitForFinished(20000));
        QCOMPARE(status.exitCode(), claimed ? 0 : 1);
        running.terminate();
        QVERIFY(running.waitForFinished(20000));
    }

    // --history [N] prints the newest songs from the file, or, with a player running, after
    // asking it to write what it holds.
    void historyPrintsTheNewestSongs_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QStringList>("lines");
        const auto line = [](int i) {
            return QStringLiteral("2024-05-01 %1:%2:00, %3, Artist %4 - Song")
                .arg(12 + i / 60)
                .arg(i % 60, 2, 10, QLatin1Char('0'))
                .arg(i % 2 ? "Radio, Eins" : "FM4")
                .arg(i);
        };
        QStringList twenty;
        for (int i = 24; i > 4; --i)
            twenty.append(line(i));
        QTest::newRow("twenty by default") << QStringList{"--history"} << false << twenty;
        QTest::newRow("as many as asked") << QStringList{"--history", "2"} << false << QStringList{line(24), line(23)};
        QTest::newRow("more than there are") << QStringList{"--history", "1000"} << false << (twenty << line(4) << line(3) << line(2) << line(1) << line(0));
        QTest::newRow("the player's unwritten songs") << QStringList{"--history", "2"} << true << QStringList{line(24), line(23)};
    }

    void historyPrintsTheNewestSongs() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, running);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        const QString folder = dir.filePath("XDG_DATA_HOME/Ostrel Radio");
        QVERIFY(QDir().mkpath(folder));
        auto at = QDateTime(QDate(2024, 5, 1), QTime(12, 0));
        SongHistory history(HistoryCommand::filePath(folder), [&at] { return std::exchange(at, at.addSecs(60)); });
        history.setSaveDelay(std::chrono::hours(1)); // the running player has not written them yet
        for (int i = 0; i < 25; ++i) {
            const QString name = i % 2 ? "Radio, Eins" : "FM4";
            history.add(stationFromJson(QJsonObject{{"stationuuid", name}, {"name", name}, {"url", "http://s.example/"}}),
                        QStringLiteral("Artist %1 - Song").arg(i));
        }
        QLocalServer player; // stands in for the running player's socket
        if (running) {
            QVERIFY(player.listen(dir.filePath(QStringLiteral("ostrel-radio.socket"))));
            connect(&player, &QLocalServer::newConnection, &player, [&player, &history] {
                QLocalSocket* socket = player.nextPendingConnection();
                connect(socket, &QLocalSocket::readyRead, socket, [socket, &history] {
                    const QString request = QString::fromUtf8(socket->readLine()).trimmed();
                    socket->write(HistoryCommand::answer(history, request).value_or("not for us").toUtf8() + '\n');
                });
            });
        } else {
            history.flush();
        }
        QProcess process;
        start(process, dir, arguments);
        QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 30000);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()), lines.join(u'\n') + u'\n');
        QCOMPARE(process.readAllStandardError(), QByteArray());
    }

    // Twelve seconds of a real station recorded from the command line while its titles change:
    // MP3 as the station sends it, one file a title when split.
    void recordsFromTheCommandLine_data() {
        QTest::addColumn<bool>("split");
        QTest::addColumn<bool>("quit"); // ended by quitting the player rather than by --record
        QTest::addColumn<QStringList>("files"); // the names after the start time
        QTest::newRow("split at each title, then quit")
            << true << true << QStringList{"(partial).mp3", "Erstes Lied.mp3", "Zweites Lied (partial).mp3"};
        QTest::newRow("one file") << false << false << QStringList{".mp3"};
    }

    void recordsFromTheCommandLine() {
        QFETCH(bool, split);
        QFETCH(bool, quit);
        QFETCH(QStringList, files);
        QTemporaryDir dir;
        const QString tone = dir.filePath("tone.mp3");
        const QString error = TestTones::mp3(tone, 44100, 2, 30);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        IcecastServer icecast({{"/radio.mp3", tone, "MP3"}});
        QVERIFY(QDir().mkpath(dir.filePath("XDG_CONFIG_HOME/Ostrel Radio")));
        QFile settings(dir.filePath("XDG_CONFIG_HOME/Ostrel Radio/Ostrel Radio.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(split ? "" : "[General]\nsplitRecordingsAtTitles=false\n");
        settings.close();
        QProcess player;
        start(player, dir, {"OSTREL_AUDIO_SINK=fakesink sync=true", "--server", "http://127.0.0.1:9"});
        QTRY_COMPARE_WITH_TIMEOUT(run(dir, {"--status"}).first, 0, 30000); // it listens
        QCOMPARE(run(dir, {"--play", icecast.url("/radio.mp3").toString()}), std::make_pair(0, QString()));
        QTRY_COMPARE_WITH_TIMEOUT(status(dir)["state"].toString(), QStringLiteral("Playing"), 30000);

        QCOMPARE(run(dir, {"--record", "start"}), std::make_pair(0, QString()));
        for (const auto& [at, title] : {std::pair(4, "Erstes Lied"), std::pair(8, "Zweites Lied"), std::pair(12, "")}) {
            QTRY_VERIFY_WITH_TIMEOUT(status(dir)["recordingSeconds"].toInt() >= at, 30000);
            if (!*title)
                continue;
            QVERIFY(icecast.setTitle("/radio.mp3", title));
            QTRY_COMPARE_WITH_TIMEOUT(status(dir)["title"].toString(), QString::fromUtf8(title), 30000);
        }
        if (!quit) {
            QCOMPARE(run(dir, {"--record"}), std::make_pair(0, QString())); // a toggle: stops
            QCOMPARE(status(dir)["recording"].toBool(), false);
        }
        player.terminate(); // as --quit or the session's end: the last file is finished
        QVERIFY(player.waitForFinished(30000));

        const QDir folder(dir.filePath("HOME/Music/Ostrel Radio/Test Station"));
        const QStringList names = folder.entryList(QDir::Files, QDir::Name);
        QStringList ends;
        double seconds = 0;
        for (const QString& name : names) {
            ends << name.mid(QStringLiteral("2026-05-01 14.03.07").size()).trimmed();
            const Discovered found = discover(folder.filePath(name));
            QCOMPARE(found.codec, QStringLiteral("MPEG-1 Layer 3 (MP3)"));
            seconds += found.seconds;
        }
        QCOMPARE(ends, files);
        QVERIFY2(seconds >= 8 && seconds <= 16, qPrintable(QString::number(seconds)));
    }

    void statusAnswerIsCappedAndCleaned() {
        QTemporaryDir dir;
        QLocalServer server; // stands in for a running instance that answers without end
        QVERIFY(server.listen(dir.filePath(QStringLiteral("ostrel-radio.socket"))));
        connect(&server, &QLocalServer::newConnection, &server, [&server] {
            QLocalSocket* socket = server.nextPendingConnection();
            const QByteArray block = QByteArray("\x1b[2J\x07", 5) + QByteArray(4091, 'A');
            for (int i = 0; i < 256 && socket->state() == QLocalSocket::ConnectedState; ++i)
                socket->write(block);
        });
        QProcess status;
        start(status, dir, {"--status"});
        QTRY_COMPARE_WITH_TIMEOUT(status.state(), QProcess::NotRunning, 30000);
        QCOMPARE(status.exitCode(), 0);
        const QByteArray out = status.readAllStandardOutput();
        QVERIFY2(out.size() <= 64 * 1024 + 1, QByteArray::number(out.size()).constData());
        QVERIFY(out.contains("AAAA"));
        for (char c : out.chopped(1))
            QVERIFY2(uchar(c) >= 0x20, QByteArray::number(uchar(c)).constData());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
