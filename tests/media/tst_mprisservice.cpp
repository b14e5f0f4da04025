#include "media/TitleNotifier.h"
#include "media/mpris/MprisService.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QTest>

// Runs on a private session bus (dbus-run-session): the service on the default connection, the
// desktop's side on a second one, so every call crosses the bus.

namespace {
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

class FakePlaybackControl : public PlaybackControl {
public:
    Status status = Status::Stopped;
    QString titleText;
    QString station;
    QUrl art;
    double level = 1.0;
    QStringList calls;

    Status playbackStatus() const override { return status; }
    QString title() const override { return titleText; }
    QString stationName() const override { return station; }
    QUrl artUrl() const override { return art; }
    double volume() const override { return level; }
    void setVolume(double v) override {
        level = v;
        Q_EMIT changed();
    }
    void play() override { calls.append(QStringLiteral("play")); }
    void pause() override { calls.append(QStringLiteral("pause")); }
    void playPause() override { calls.append(QStringLiteral("playPause")); }
    void stop() override { calls.append(QStringLiteral("stop")); }
    void raise() override { calls.append(QStringLiteral("raise")); }
    void quit() override { calls.append(QStringLiteral("quit")); }
};

// A PropertiesChanged signal as the desktop receives it.
struct Change {
    QString interface;
    QVariantMap changed;
};

// The desktop's notification server, as far as the player uses it.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList shown; // "id<replaces summary|body"
public Q_SLOTS:
    uint Notify(const QString&, uint replaces, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int) {
        const uint id = replaces ? replaces : ++lastId_;
        shown << QStringLiteral("%1<%2 %3|%4").arg(id).arg(replaces).arg(summary, body);
        return id;
    }

private:
    uint lastId_ = 0;
};

QVariant plain(const QVariant& value) {
    // Containers arrive still marshalled.
    if (value.canConvert<QDBusArgument>()) {
        const auto arg = value.value<QDBusArgument>();
        if (arg.currentType() == QDBusArgument::MapType)
            return qdbus_cast<QVariantMap>(arg);
    }
    return value;
}
} // namespace

class TestMprisService : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void metadataFollowsTheControl_data();
    void metadataFollowsTheControl();
    void methodsReachTheControl_data();
    void methodsReachTheControl();
    void everyChangeIsAnnounced();
    void secondPlayerTakesAnInstanceName();
    void withoutABusTheServiceStaysOff();
    void newTitlesNotify_data();
    void newTitlesNotify();

    void propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    QDBusMessage call(const QString& interface, const QString& method, const QVariantList& arguments = {});
    QVariant property(const QString& interface, const QString& name);
    void setProperty(const QString& interface, const QString& name, const QVariant& value);

    std::unique_ptr<FakePlaybackControl> control_;
    std::unique_ptr<MprisService> service_;
    QDBusConnection desktop_{QString()};
    QList<Change> changes_;
};

void TestMprisService::initTestCase() {
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "needs a session bus: run under dbus-run-session");
    desktop_ = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("desktop"));
    QVERIFY(desktop_.isConnected());
    QVERIFY(desktop_.connect(MprisService::kServiceName, MprisService::kObjectPath, kProperties,
                             QStringLiteral("PropertiesChanged"), this,
                             SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
}

void TestMprisService::init() {
    service_.reset();
    control_ = std::make_unique<FakePlaybackControl>();
    service_ = std::make_unique<MprisService>(control_.get());
    QVERIFY(service_->start());
    QCOMPARE(service_->serviceName(), MprisService::kServiceName);
    QTRY_VERIFY(desktop_.interface()->isServiceRegistered(MprisService::kServiceName));
    changes_.clear();
}

void TestMprisService::propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&) {
    QVariantMap values;
    for (auto it = changed.cbegin(); it != changed.cend(); ++it)
        values.insert(it.key(), plain(it.value()));
    changes_.append({interface, values});
}

QDBusMessage TestMprisService::call(const QString& interface, const QString& method, const QVariantList& arguments) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(MprisService::kServiceName, MprisService::kObjectPath, interface, method);
    message.setArguments(arguments);
    // Asynchronously: the service answers from this very thread's event loop.
    QDBusPendingCall pending = desktop_.asyncCall(message);
    if (!QTest::qWaitFor([&] { return pending.isFinished(); }, 20000))
        qWarning("no answer to %s", qPrintable(method));
    return pending.reply();
}

QVariant TestMprisService::property(const QString& interface, const QString& name) {
    const QDBusMessage reply = call(kProperties, QStringLiteral("Get"), {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage) {
        qWarning() << "Get" << name << reply.errorMessage();
        return {};
    }
    return plain(reply.arguments().value(0).value<QDBusVariant>().variant());
}

void TestMprisService::setProperty(const QString& interface, const QString& name, const QVariant& value) {
    const QDBusMessage reply =
        call(kProperties, QStringLiteral("Set"), {interface, name, QVariant::fromValue(QDBusVariant(value))});
    QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
}

void TestMprisService::metadataFollowsTheControl_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("art");
    QTest::addColumn<QVariantMap>("expected");
    const QVariant trackId = QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/ostrel/radio/stream")));
    QTest::newRow("title, station and picture")
        << "Café Müller – Live" << "Radio Eins" << "file:///home/u/.cache/Ostrel Radio/icon.png"
        << QVariantMap{{"mpris:trackid", trackId},
                       {"xesam:title", QStringLiteral("Café Müller – Live")},
                       {"xesam:artist", QStringList{QStringLiteral("Radio Eins")}},
                       {"mpris:artUrl", QStringLiteral("file:///home/u/.cache/Ostrel%20Radio/icon.png")}};
    QTest::newRow("no title yet: the station stands in")
        << "" << "Radio Eins" << ""
        << QVariantMap{{"mpris:trackid", trackId},
                       {"xesam:title", QStringLiteral("Radio Eins")},
                       {"xesam:artist", QStringList{QStringLiteral("Radio Eins")}}};
    QTest::newRow("no station") << "" << "" << "" << QVariantMap();
}

void TestMprisService::metadataFollowsTheControl() {
    QFETCH(QString, title);
    QFETCH(QString, station);
    QFETCH(QString, art);
    QFETCH(QVariantMap, expected);
    control_->titleText = title;
    control_->station = station;
    control_->art = QUrl(art);
    Q_EMIT control_->changed();
    QVariantMap metadata = property(kPlayer, QStringLiteral("Metadata")).toMap();
    // The object path and the list arrive as their D-Bus types.
    QCOMPARE(metadata.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(metadata.value(it.key()), it.value());
}

void TestMprisService::methodsReachTheControl_data() {
    QTest::addColumn<QString>("interface");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("Play") << kPlayer << "Play" << QStringList{"play"};
    QTest::newRow("Pause") << kPlayer << "Pause" << QStringList{"pause"};
    QTest::newRow("PlayPause") << kPlayer << "PlayPause" << QStringList{"playPause"};
    QTest::newRow("Stop") << kPlayer << "Stop" << QStringList{"stop"};
    QTest::newRow("Raise") << kRoot << "Raise" << QStringList{"raise"};
    QTest::newRow("Quit") << kRoot << "Quit" << QStringList{"quit"};
}

void TestMprisService::methodsReachTheControl() {
    QFETCH(QString, interface);
    QFETCH(QString, method);
    QFETCH(QStringList, calls);
    const QDBusMessage reply = call(interface, method);
    QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
    QCOMPARE(control_->calls, calls);
}

void TestMprisService::everyChangeIsAnnounced() {
    control_->status = PlaybackControl::Status::Playing;
    Q_EMIT control_->changed();
    QTRY_COMPARE(changes_.size(), 1);
    QCOMPARE(changes_[0].interface, kPlayer);
    QCOMPARE(changes_[0].changed, (QVariantMap{{"PlaybackStatus", QStringLiteral("Playing")}}));

    // A change signal without a change announces nothing; the next real one only itself.
    Q_EMIT control_->changed();
    control_->station = QStringLiteral("Radio Eins");
    control_->titleText = QStringLiteral("News");
    Q_EMIT control_->changed();
    QTRY_COMPARE(changes_.size(), 2);
    QCOMPARE(changes_[1].changed.keys(), QStringList{"Metadata"});
    QCOMPARE(changes_[1].changed.value("Metadata").toMap().value("xesam:title").toString(), QStringLiteral("News"));

    // Written from the desktop: kept between silent and full, and announced back as well.
    for (const auto& [written, kept] : {std::pair(0.25, 0.25), std::pair(1.7, 1.0), std::pair(-0.5, 0.0)}) {
        setProperty(kPlayer, QStringLiteral("Volume"), written);
        QCOMPARE(control_->level, kept);
        QCOMPARE(property(kPlayer, QStringLiteral("Volume")).toDouble(), kept);
        QTRY_COMPARE(changes_.last().changed, (QVariantMap{{"Volume", kept}}));
    }

    control_->status = PlaybackControl::Status::Stopped;
    control_->titleText.clear();
    Q_EMIT control_->changed();
    QTRY_COMPARE(changes_.size(), 6);
    QCOMPARE(changes_[5].changed.keys(), (QStringList{"Metadata", "PlaybackStatus"}));
    QCOMPARE(property(kPlayer, QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Stopped"));
}

void TestMprisService::secondPlayerTakesAnInstanceName() {
    // Another running player: its own connection, as another process would have.
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
    const QString name = MprisService::kServiceName + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
    FakePlaybackControl control;
    {
        MprisService second(&control);
        QVERIFY(second.start(other));
        QCOMPARE(second.serviceName(), name);
        QTRY_VERIFY(desktop_.interface()->isServiceRegistered(name));
    }
    QTRY_VERIFY(!desktop_.interface()->isServiceRegistered(name));
    QDBusConnection::disconnectFromBus(QStringLiteral("other"));
}

void TestMprisService::withoutABusTheServiceStaysOff() {
    FakePlaybackControl control;
    MprisService service(&control);
    QVERIFY(!service.start(QDBusConnection(QStringLiteral("no such connection"))));
    QVERIFY(service.serviceName().isEmpty());
}

void TestMprisService::newTitlesNotify_data() {
    // "station|title" as the control reports them, then after "=>" the notification that shows
    // ("id<replaced summary|body"), if any; "on" turns notifying on. Each row ends with a
    // notification, so a stray one sent before it would show.
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("each new title replaces the last")
        << QStringList{"on", "Eins| =>", "Eins|Song A => 1<0 Eins|Song A", "Eins|Song A =>", "Eins| =>",
                       "Eins|Song <B> => 1<1 Eins|Song &lt;B&gt;", "Zwei|Song <B> => 1<1 Zwei|Song &lt;B&gt;"};
    QTest::newRow("off until turned on") << QStringList{"Eins|Song A =>", "on", "Zwei|Song B => 1<0 Zwei|Song B"};
}

void TestMprisService::newTitlesNotify() {
    QFETCH(QStringList, steps);
    FakeNotifications server;
    QVERIFY(desktop_.registerObject(TitleNotifier::kPath, &server, QDBusConnection::ExportAllSlots));
    QVERIFY(desktop_.registerService(TitleNotifier::kService));
    TitleNotifier notifier(*control_);
    QStringList expected;
    for (const QString& step : steps) {
        if (step == "on") {
            notifier.setEnabled(true);
            continue;
        }
        control_->station = step.section(u'|', 0, 0);
        control_->titleText = step.section(u'|', 1).section(QStringLiteral(" =>"), 0, 0);
        Q_EMIT control_->changed();
        if (const QString shown = step.section(QStringLiteral("=> "), 1); !shown.isEmpty()) {
            expected << shown;
            QTRY_COMPARE_WITH_TIMEOUT(server.shown, expected, 10000);
        }
    }
    desktop_.unregisterService(TitleNotifier::kService);
    desktop_.unregisterObject(TitleNotifier::kPath);
}

QTEST_GUILESS_MAIN(TestMprisService)
#include "tst_mprisservice.moc"
