// SPDX-License-Identifier: GPL-3.0-or-later
// Stations of the user's own, as a user adds them: by the address of a playlist or a stream
// on a real Icecast, in the dialog and on the command line; refused addresses; import and
// export; and the directory, which never hears of them.
#include "directory/ListRefresher.h"
#include "directory/OwnStations.h"
#include "directory/PlaylistWriter.h"
#include "directory/StationResolver.h"
#include "media/GstMediaPlayer.h"
#include "panels/AddStationDialog.h"
#include "panels/StationCollectionViewItem.h"
#include "panels/StationsStripView.h"
#include "support/DirectoryFixture.h"
#include "support/FakeStationDirectory.h"
#include "support/IcecastServer.h"
#include "support/IconServer.h"
#include "support/TestTones.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace std::chrono_literals;

namespace {
// An own station's fields with only a name and an address.
OwnStations::Fields fields(const QString& name, const QString& url) {
    OwnStations::Fields f;
    f.name = name;
    f.url = url;
    return f;
}

constexpr int kWait = 30000;
const QString kMount = QStringLiteral("/radio.mp3");
} // namespace

class TestOwnStations : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void addsWhatPlays_data();
    void addsWhatPlays();
    void refusesAndChangesNothing_data();
    void refusesAndChangesNothing();
    void fullFavouritesSaySo();
    void editedFromItsTile();
    void commandLineAddsImportsAndExports();
    void directoryNeverHearsOfThem();

private:
    // An address of the local server that answers `body` with `type`.
    QUrl served(const QString& name, const QByteArray& type, const QByteArray& body) const {
        return icons_->url(QStringLiteral("/text/%1?type=%2&body=%3")
                               .arg(name, QString::fromLatin1(QUrl::toPercentEncoding(QString::fromLatin1(type))),
                                    QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(body)))));
    }
    QByteArray stream() const { return icecast_->url(kMount).toEncoded(); }
    // Opens the dialog, checks `address` and waits for the check's answer.
    std::unique_ptr<AddStationDialog> checked(const QString& address) {
        auto dialog = std::make_unique<AddStationDialog>(*f_->api, resolver_.get());
        dialog->addressField->setText(address);
        dialog->checkButton->click();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(dialog->checkButton->isEnabled(), kWait); }();
        return dialog;
    }

    QTemporaryDir dir_;
    std::unique_ptr<IcecastServer> icecast_;
    std::unique_ptr<IconServer> icons_;
    std::unique_ptr<DirectoryFixture> f_;
    HttpTransport transport_;
    std::unique_ptr<StationResolver> resolver_;
};

void TestOwnStations::initTestCase() {
    const QString mp3 = dir_.filePath(QStringLiteral("tone.mp3"));
    const QString error = TestTones::mp3(mp3, 44100, 2, 20);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    icecast_ = std::make_unique<IcecastServer>(QList<IcecastServer::Mount>{{kMount, mp3, QStringLiteral("MP3")}});
    icons_ = std::make_unique<IconServer>();
    f_ = std::make_unique<DirectoryFixture>(QStringLiteral("http://127.0.0.1:1"));
    resolver_ = std::make_unique<StationResolver>(transport_);
}

void TestOwnStations::addsWhatPlays_data() {
    QTest::addColumn<QUrl>("address");
    QTest::addColumn<QString>("name");
    const QByteArray pls = "[playlist]\nFile1=" + stream() + "\nTitle1=Tone Radio (PLS)\nNumberOfEntries=1\n";
    const QUrl m3u = served(QStringLiteral("bare.m3u"), "audio/x-mpegurl", "#EXTM3U\n" + stream() + "\n");
    QTest::newRow("pls names it") << served(QStringLiteral("a.pls"), "audio/x-scpls", pls) << "Tone Radio (PLS)";
    QTest::newRow("m3u without names: the ICY name") << m3u << "Test Station";
    // A dead first entry falls back to the next: a playlist in a playlist, two levels down.
    QTest::newRow("nested, first entry dead")
        << served(QStringLiteral("n.pls"), "audio/x-scpls",
                  "[playlist]\nFile1=http://127.0.0.1:1/dead\nFile2=" + m3u.toEncoded() + "\n")
        << "Test Station";
}

void TestOwnStations::addsWhatPlays() {
    QFETCH(QUrl, address);
    QFETCH(QString, name);
    f_->api->setFavoriteStations({});
    auto dialog = checked(address.toString());
    QVERIFY2(dialog->acceptButton->isEnabled(), qPrintable(dialog->message->text()));
    QCOMPARE(dialog->nameField->text(), name);
    QCOMPARE((QStringList{dialog->tagsField->text(), dialog->homepageField->text(), dialog->formatLabel->text()}),
             (QStringList{"Test Tones", "http://www.example.org/", "MP3 - 128 kbps"}));
    dialog->countryField->setText(QStringLiteral("de"));
    dialog->acceptButton->click();

    const StationList favorites = f_->api->favoriteStations();
    QCOMPARE(favorites.size(), 1);
    const Station& station = favorites.first();
    QVERIFY(OwnStations::isOwn(station));
    QCOMPARE((QStringList{station.string(Station::Key::Name), station.string(Station::Key::Url),
                          station.string(Station::Key::CountryCode)}),
             (QStringList{name, icecast_->url(kMount).toString(), "DE"}));
    QCOMPARE(QUuid::fromString(station.string(Station::Key::StationUuid)).isNull(), false);
    // The list file keeps it, mark included.
    f_->api->waitForSaves();
    const StationList stored = f_->api->readStationsFromURL(f_->api->favoriteStationsURL()).value_or(StationList());
    QCOMPARE(stored.size(), 1);
    QVERIFY(OwnStations::isOwn(stored.first()));

    GstMediaPlayer player(GstMediaPlayer::Options{.audioSink = QStringLiteral("fakesink sync=true")});
    player.replaceCurrentItem(QUrl(station.string(Station::Key::Url)));
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(player.itemStatus(), MediaPlayer::ItemStatus::ReadyToPlay, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(icecast_->listeners(kMount), 1, kWait);
}

void TestOwnStations::refusesAndChangesNothing_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("message");
    QTest::newRow("web page") << icons_->url(QStringLiteral("/notimage")).toString() << "leads to a web page";
    QTest::newRow("dead host") << "http://127.0.0.1:1/live" << "Could not reach the station";
    QTest::newRow("playlist without web entries")
        << served(QStringLiteral("local.pls"), "audio/x-scpls", "[playlist]\nFile1=file:///etc/passwd\nFile2=smb://x/y\n").toString()
        << "no http:// or https:// entry";
    QTest::newRow("not a web address") << "file:///etc/passwd" << "Only http:// and https:// addresses";
    QTest::newRow("missing") << icons_->url(QStringLiteral("/status/404")).toString() << "HTTP 404";
    QTest::newRow("an image") << icons_->url(QStringLiteral("/png/a")).toString() << "gives image/png";
    QUrl nested = served(QStringLiteral("l4.m3u"), "audio/x-mpegurl", stream() + "\n");
    for (int level = 3; level >= 0; --level)
        nested = served(QStringLiteral("l%1.m3u").arg(level), "audio/x-mpegurl", nested.toEncoded() + "\n");
    QTest::newRow("playlists nested four deep") << nested.toString() << "nested more than 3 deep";
}

void TestOwnStations::refusesAndChangesNothing() {
    QFETCH(QString, address);
    QFETCH(QString, message);
    const StationList before = namedStations({QStringLiteral("kept")});
    f_->api->setFavoriteStations(before);
    f_->api->saveFavoriteStations();
    f_->api->waitForSaves();
    QFile file(f_->api->favoriteStationsURL().toLocalFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();

    auto dialog = checked(address);
    QVERIFY2(dialog->message->text().startsWith(QStringLiteral("⚠️")) && dialog->message->text().contains(message),
             qPrintable(dialog->message->text()));
    QVERIFY(!dialog->acceptButton->isEnabled());
    dialog->acceptButton->click(); // does nothing while disabled, and nothing if it were not
    dialog->acceptAction();
    QCOMPARE(f_->api->favoriteStations(), before);
    f_->api->waitForSaves();
    file.seek(0);
    QCOMPARE(file.readAll(), stored);
}

void TestOwnStations::fullFavouritesSaySo() {
    QStringList ids;
    for (int i = 0; i < RadioBrowser::kMaxFavorites; ++i)
        ids.append(QStringLiteral("s%1").arg(i));
    f_->api->setFavoriteStations(namedStations(ids));
    AddStationDialog dialog(*f_->api, resolver_.get());
    QCOMPARE(dialog.message->text(), QStringLiteral("⚠️ ") + OwnStations::favoritesFullText());
    QVERIFY(!dialog.checkButton->isEnabled());
    // The command line's (and import's) way: counted as beyond the limit, nothing dropped.
    const OwnStations::Report report =
        OwnStations::addToFavorites(*f_->api, {OwnStations::make(fields(QStringLiteral("X"), QStringLiteral("http://x/")))});
    QCOMPARE(report.overLimit, 1);
    QCOMPARE(uuids(f_->api->favoriteStations()), ids);
}

void TestOwnStations::editedFromItsTile() {
    const Station own = OwnStations::make(fields(QStringLiteral("Mine"), QStringLiteral("http://mine.example/live")));
    f_->api->setFavoriteStations({own, namedStation(QStringLiteral("dir"))});
    IconLoader icons(transport_, dir_.filePath(QStringLiteral("icons")));
    QWidget window;
    auto* strip = StationsStripView::createStationsStripView(StationsStripView::List::Favorites, *f_->api, icons, &window);
    window.show();
    QTRY_COMPARE(strip->tiles().size(), 2);
    StationCollectionViewItem* mine = strip->tiles().at(0);
    QVERIFY(mine->editMenuAction()->isVisible());
    QVERIFY(mine->toolTip().contains(QStringLiteral("Your own station")));
    QVERIFY(!strip->tiles().at(1)->editMenuAction()->isVisible());

    mine->editMenuAction()->trigger();
    auto* dialog = window.findChild<AddStationDialog*>();
    QVERIFY(dialog);
    QVERIFY(dialog->addressField->isReadOnly());
    dialog->nameField->setText(QStringLiteral("Mine, renamed"));
    dialog->homepageField->setText(QStringLiteral("javascript:alert(1)"));
    dialog->acceptButton->click();
    QVERIFY(dialog->message->text().contains(QStringLiteral("home page")));
    dialog->homepageField->clear();
    dialog->acceptButton->click();
    QCOMPARE(names(f_->api->favoriteStations()), (QStringList{"Mine, renamed", "dir"}));
    QCOMPARE(uuids(f_->api->favoriteStations()).first(), own.string(Station::Key::StationUuid));
}

void TestOwnStations::commandLineAddsImportsAndExports() {
    const QString program = qEnvironmentVariable("OSTREL_EXECUTABLE");
    if (program.isEmpty())
        QSKIP("OSTREL_EXECUTABLE names the program");
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        env.insert(QString::fromLatin1(name), home.filePath(QString::fromLatin1(name)));
    QDir().mkpath(home.filePath(QStringLiteral("XDG_RUNTIME_DIR")));
    QFile::setPermissions(home.filePath(QStringLiteral("XDG_RUNTIME_DIR")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString favorites = home.filePath(QStringLiteral("XDG_DATA_HOME/Ostrel Radio/favoriteStations.dat"));
    struct Run {
        int code;
        QString out;
        QString err;
    };
    auto run = [&](const QStringList& arguments) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        process.waitForFinished(60000);
        return Run{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
                   QString::fromUtf8(process.readAllStandardError()).trimmed()};
    };
    auto storedNames = [&] {
        DirectoryFixture reader; // reads the file the program wrote
        return names(reader.api->readStationsFromURL(QUrl::fromLocalFile(favorites)).value_or(StationList()));
    };

    Run r = run({QStringLiteral("--add-station"), icons_->url(QStringLiteral("/notimage")).toString()});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("web page")), qPrintable(r.err));
    QVERIFY(!QFile::exists(favorites));

    const QUrl pls = served(QStringLiteral("cli.pls"), "audio/x-scpls", "[playlist]\nFile1=" + stream() + "\n");
    r = run({QStringLiteral("--add-station"), pls.toString(), QStringLiteral("--name"), QStringLiteral("Named Here")});
    QCOMPARE(r.code, 0);
    QCOMPARE(storedNames(), QStringList{"Named Here"});
    r = run({QStringLiteral("--add-station"), pls.toString()});
    QCOMPARE(r.code, 1); // the same address again
    QCOMPARE(storedNames(), QStringList{"Named Here"});

    // Another player's favourites: a repeat and an entry that is no web address are skipped.
    const QString file = home.filePath(QStringLiteral("theirs.m3u"));
    QFile theirs(file);
    QVERIFY(theirs.open(QIODevice::WriteOnly));
    theirs.write("#EXTM3U\n#EXTINF:-1,Jazz Café\nhttps://jazz.example/live?a=1&b=2\n#EXTINF:-1,Local\n/music/x.mp3\n"
                 "#EXTINF:-1,Again\n" + stream() + "\n#EXTINF:-1,News\nhttp://news.example:8000/\n");
    theirs.close();
    r = run({QStringLiteral("--import"), file});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("Added 2 station(s). Skipped 1 already among the favourites; "
                                   "1 without an http:// or https:// address."));
    QCOMPARE(storedNames(), (QStringList{"Jazz Café", "News", "Named Here"}));

    const QString exported = home.filePath(QStringLiteral("ours.pls"));
    r = run({QStringLiteral("--export"), exported});
    QCOMPARE(r.code, 0);
    QString why;
    const StationList back = OwnStations::readPlaylistFile(exported, &why).value_or(StationList());
    QCOMPARE(names(back), (QStringList{"Jazz Café", "News", "Named Here"}));
    QCOMPARE(strings(back, Station::Key::Url),
             (QStringList{"https://jazz.example/live?a=1&b=2", "http://news.example:8000/", QString::fromUtf8(stream())}));
    QCOMPARE(run({QStringLiteral("--export"), home.filePath(QStringLiteral("ours.txt"))}).code, 2);
    QCOMPARE(run({QStringLiteral("--import"), home.filePath(QStringLiteral("missing.m3u"))}).code, 1);
}

void TestOwnStations::directoryNeverHearsOfThem() {
    FakeStationDirectory directory;
    auto f = std::make_unique<DirectoryFixture>(directory);
    const Station own = OwnStations::make(fields(QStringLiteral("Mine"), icecast_->url(kMount).toString()));
    const Station listed = namedStation(QStringLiteral("not-in-the-directory"));
    f->api->setFavoriteStations({own, listed});
    f->api->setRecentStations({own});

    ListRefresher refresher(f->api.get(), f->defaults.get());
    QSignalSpy finished(&refresher, &ListRefresher::finished);
    refresher.refreshIfDue(QDateTime::currentDateTimeUtc());
    QVERIFY(finished.wait(kWait));
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(directory.last("byuuid").argument, QStringLiteral("not-in-the-directory"));
    const StationList favorites = f->api->favoriteStations();
    QCOMPARE(favorites.first(), own); // as it was: not marked, not replaced
    QVERIFY(ListRefresher::isUnlisted(favorites.at(1)));
    QCOMPARE(f->api->recentStations(), StationList{own});

    // Play counts and votes: asked for both, the directory hears of the listed station only.
    f->api->incrementClickForStation(own);
    f->api->incrementClickForStation(listed);
    QCOMPARE(directory.count("click"), 1);
    QCOMPARE(directory.last("click").argument, QStringLiteral("not-in-the-directory"));
    QString answer;
    f->api->voteForStation(own, QDateTime::currentSecsSinceEpoch(), [&](bool, QString message) { answer = message; });
    QCOMPARE(answer, QStringLiteral("This station cannot be voted for"));
    QCOMPARE(directory.count("vote"), 0);
}

QTEST_MAIN(TestOwnStations)
#include "tst_ownstations.moc"
