// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/GstMediaPlayer.h"
#include "media/SystemWatcher.h"
#include "support/CuttableProxy.h"
#include "support/IcecastServer.h"
#include "support/TestTones.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

namespace {
constexpr int kWait = 30000;

GstState pipelineState(const GstMediaPlayer& player) {
    GstState state = GST_STATE_VOID_PENDING;
    gst_element_get_state(player.pipeline(), &state, nullptr, 0);
    return state;
}
} // namespace

// The machine's network and sleep, as NetworkManager and logind announce them on the system bus
// (python-dbusmock's on a private one), bring a stream waiting to reconnect back at once.
class TestSystemWatcher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void streamComesBackWithTheMachine_data();
    void streamComesBackWithTheMachine();
    void cleanupTestCase();

private:
    // Has the mock system bus carry out a command and waits until it has.
    void tell(const QByteArray& command) {
        bus_.write(command + '\n');
        QTRY_VERIFY_WITH_TIMEOUT(busLines_.contains(QStringLiteral("DONE ") + QString::fromLatin1(command)), kWait);
        busLines_.clear();
    }

    QTemporaryDir dir_;
    QProcess bus_;
    QStringList busLines_;
    std::unique_ptr<IcecastServer> icecast_;
    std::unique_ptr<SystemWatcher> watcher_;
};

void TestSystemWatcher::initTestCase() {
    const QString mp3 = dir_.filePath(QStringLiteral("tone.mp3"));
    const QString error = TestTones::mp3(mp3, 44100, 2, 20);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    icecast_ = std::make_unique<IcecastServer>(QList<IcecastServer::Mount>{{QStringLiteral("/radio.mp3"), mp3, QStringLiteral("MP3")}});

    // python-dbusmock lives in the system's Python.
    bus_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(&bus_, &QProcess::readyReadStandardOutput, this, [this] {
        while (bus_.canReadLine())
            busLines_ << QString::fromUtf8(bus_.readLine()).trimmed();
    });
    startTethered(bus_, QStringLiteral("/usr/bin/python3"), {QStringLiteral(OSTREL_SOURCE_DIR "/tests/support/system_bus.py")});
    QString address;
    QTRY_VERIFY_WITH_TIMEOUT(std::any_of(busLines_.cbegin(), busLines_.cend(), [&](const QString& line) {
        return line.startsWith(QLatin1String("BUS ")) && !(address = line.mid(4)).isEmpty();
    }), kWait);
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8()); // before Qt's first use of the system bus
    watcher_ = std::make_unique<SystemWatcher>();
}

void TestSystemWatcher::streamComesBackWithTheMachine_data() {
    QTest::addColumn<QByteArray>("before"); // what the machine does when the line is cut
    QTest::addColumn<QByteArray>("after");  // and when it is back
    QTest::newRow("network down and up") << QByteArray("network-down") << QByteArray("network-up");
    QTest::newRow("sleep and wake") << QByteArray("sleep") << QByteArray("wake");
}

void TestSystemWatcher::streamComesBackWithTheMachine() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    const QString mount = QStringLiteral("/radio.mp3");
    CuttableProxy proxy(quint16(icecast_->url(QString()).port()));
    // The next try ten minutes off: only the machine's word brings the sound back soon.
    GstMediaPlayer player({.firstRetryDelay = 600s, .longestRetryDelay = 600s, .audioSink = QStringLiteral("fakesink sync=true")});
    // As the application wires them.
    connect(watcher_.get(), &SystemWatcher::networkUp, &player, &MediaPlayer::retryNow);
    connect(watcher_.get(), &SystemWatcher::resumed, &player, &MediaPlayer::retryNow);
    connect(watcher_.get(), &SystemWatcher::aboutToSleep, &player, &MediaPlayer::dropForSleep);
    QSignalSpy reconnecting(&player, &MediaPlayer::reconnecting);
    QSignalSpy reconnected(&player, &MediaPlayer::reconnected);
    player.replaceCurrentItem(proxy.url(icecast_->url(mount)));
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(pipelineState(player), GST_STATE_PLAYING, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(icecast_->listeners(mount), 1, kWait);

    tell(before);
    if (before == "sleep") {
        // The connection is closed before the machine sleeps, not left to time out.
        QTRY_COMPARE_WITH_TIMEOUT(reconnecting.size(), 1, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(icecast_->listeners(mount), 0, kWait);
    } else {
        proxy.cut();
        QTRY_COMPARE_WITH_TIMEOUT(reconnecting.size(), 1, kWait);
        QVERIFY(proxy.restore());
    }
    QElapsedTimer back;
    back.start();
    tell(after);
    QTRY_VERIFY_WITH_TIMEOUT(reconnected.size() == 1 && pipelineState(player) == GST_STATE_PLAYING, kWait);
    qInfo("sound again %lld ms after \"%s\"", qlonglong(back.elapsed()), after.constData());
    QCOMPARE(reconnecting.size(), 1);
    QCOMPARE(player.itemStatus(), MediaPlayer::ItemStatus::ReadyToPlay);
}

void TestSystemWatcher::cleanupTestCase() {
    bus_.closeWriteChannel(); // the mock bus ends with its input
    if (!bus_.waitForFinished(kWait))
        bus_.terminate();
}

QTEST_GUILESS_MAIN(TestSystemWatcher)
#include "tst_systemwatcher.moc"
