// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/TitleNotifier.h"
#include "media/mpris/MprisService.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
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
    bool steps = false;
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
    bool canGoNext() const override { return steps; }
    bool canGoPrevious() const override { return steps; }
    void play() override { calls.append(QStringLiteral("play")); }
    void pause() override { calls.append(QStringLiteral("pause")); }
    void playPause() override { calls.append(QStringLiteral("playPause")); }
    void stop() override { calls.append(QStringLiteral("stop")); }
    void next() override { calls.append(QStringLiteral("next")); }
    void previous() override { calls.append(QStringLiteral("previous")); }
    bool openUri(const QString& uri) override {
        if (!uri.startsWith(QLatin1String("http")))
            return false;
        calls.append(QStringLiteral("open ") + uri);
        return true;
    }
    void raise() override { calls.append(QStringLiteral("raise")); }
    void quit() override { calls.append(QStringLiteral("quit")); }
};

// The desktop's notification server, as far as the player uses it.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList shown; // "id<replaces summary|body"
    uint lastId = 0;
public Q_SLOTS:
    uint Notify(const QString&, uint replaces, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int) {
        const uint id = replaces ? replaces : ++lastId;
        shown << QStringLiteral("%1<%2 %3|%4").arg(id).arg(replaces).arg(summary, body);
        return id;
    }
};

QVariant plain(const QVariant& value) {
    // Containers arrive still marshalled.
    const bool marshalled = value.userType() == qMetaTypeId<QDBusArgument>();
    if (marshalled && value.value<QDBusArgument>().currentType() == QDBusArgument::MapType)
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value;
}
} // namespace

class TestMprisService : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void methodsReachTheControl();
    void everyChangeIsAnnounced();
    void titlesSplitIntoArtistAndTitle_data();
    void titlesSplitIntoArtistAndTitle();
    void serviceNameFollowsTheBus();
    void newTitlesNotify();

    void propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    QDBusMessage call(const QString& interface, const QString& method, const QVariantList& arguments = {});
    QVariant property(const QString& interface, const QString& name);

    std::unique_ptr<FakePlaybackControl> control_;
    std::unique_ptr<MprisService> service_;
    QDBusConnection desktop_{QString()};
    QList<QVariantMap> changes_; // PropertiesChanged of the player interface, as the desktop receives them
};

void TestMprisService::initTestCase() {
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "needs a session bus: run under dbus-run-session");
    desktop_ = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("desktop"));
    QVERIFY(desktop_.connect(MprisService::kServiceName, MprisService::kObjectPath, kProperties,
                             QStringLiteral("PropertiesChanged"), this,
                             SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
}

void TestMprisService::init() {
    service_.reset();
    control_ = std::make_unique<FakePlaybackControl>();
    service_ = std::make_unique<MprisService>(control_.get());
    QVERIFY(service_->start());
    QTRY_VERIFY(desktop_.interface()->isServiceRegistered(MprisService::kServiceName));
    changes_.clear();
}

void TestMprisService::propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&) {
    QVariantMap values;
    for (auto it = changed.cbegin(); it != changed.cend(); ++it)
        values.insert(it.key(), plain(it.value()));
    if (interface == kPlayer)
        changes_.append(values);
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
    return plain(reply.arguments().value(0).value<QDBusVariant>().variant());
}

void TestMprisService::methodsReachTheControl() {
    const QList<std::tuple<QString, QString, QVariantList>> methods{
        {kPlayer, "Play", {}},  {kPlayer, "Pause", {}},    {kPlayer, "PlayPause", {}},
        {kPlayer, "Stop", {}},  {kPlayer, "Next", {}},     {kPlayer, "Previous", {}},
        {kPlayer, "OpenUri", {"https://radio.example/list.pls"}}, {kRoot, "Raise", {}}, {kRoot, "Quit", {}}};
    for (const auto& [interface, method, arguments] : methods) {
        const QDBusMessage reply = call(interface, method, arguments);
        QVERIFY2(reply.type() == QDBusMessage::ReplyMessage,
                 qPrintable(method + ": " + reply.errorMessage()));
    }
    QCOMPARE(control_->calls, (QStringList{"play", "pause", "playPause", "stop", "next", "previous",
                                           "open https://radio.example/list.pls", "raise", "quit"}));
    // An address of another kind is refused, as the schemes offered say.
    const QDBusMessage refused = call(kPlayer, QStringLiteral("OpenUri"), {QStringLiteral("file:///etc/passwd")});
    QCOMPARE(refused.errorName(), QStringLiteral("org.freedesktop.DBus.Error.NotSupported"));
    QCOMPARE(property(kRoot, QStringLiteral("SupportedUriSchemes")).toStringList(), (QStringList{"http", "https"}));
    QVERIFY(property(kRoot, QStringLiteral("SupportedMimeTypes")).toStringList().contains("audio/x-scpls"));
}

void TestMprisService::everyChangeIsAnnounced() {
    QCOMPARE(property(kPlayer, QStringLiteral("Metadata")).toMap(), QVariantMap()); // no station
    control_->status = PlaybackControl::Status::Playing;
    Q_EMIT control_->changed();
    QTRY_COMPARE(changes_.size(), 1);
    QCOMPARE(changes_[0], (QVariantMap{{"PlaybackStatus", QStringLiteral("Playing")}}));

    // A change signal without a change announces nothing; the next real one only itself. The object
    // path and the list arrive as their D-Bus types.
    Q_EMIT control_->changed();
    control_->station = QStringLiteral("Radio Eins");
    control_->titleText = QStringLiteral("Café Müller – Live");
    control_->art = QUrl(QStringLiteral("file:///home/u/.cache/Ostrel Radio/icon.png"));
    Q_EMIT control_->changed();
    QVariantMap metadata{{"mpris:trackid", QVariant::fromValue(QDBusObjectPath("/org/ostrel/radio/track/2"))},
                         {"xesam:title", QStringLiteral("Café Müller – Live")},
                         {"xesam:album", QStringLiteral("Radio Eins")},
                         {"mpris:artUrl", QStringLiteral("file:///home/u/.cache/Ostrel%20Radio/icon.png")}};
    QTRY_COMPARE(changes_.size(), 2);
    QCOMPARE(changes_[1], (QVariantMap{{"Metadata", metadata}}));
    QCOMPARE(property(kPlayer, QStringLiteral("Metadata")).toMap(), metadata);

    // Written from the desktop: kept between silent and full, and announced back as well.
    for (const auto& [written, kept] : {std::pair(0.25, 0.25), std::pair(1.7, 1.0), std::pair(-0.5, 0.0)}) {
        const QVariant value = QVariant::fromValue(QDBusVariant(written));
        QCOMPARE(call(kProperties, QStringLiteral("Set"), {kPlayer, QStringLiteral("Volume"), value}).type(),
                 QDBusMessage::ReplyMessage);
        QCOMPARE(control_->level, kept);
        QCOMPARE(property(kPlayer, QStringLiteral("Volume")).toDouble(), kept);
        QTRY_COMPARE(changes_.last(), (QVariantMap{{"Volume", kept}}));
    }

    // Stopped with no title yet: the station stands in, as a track of its own.
    control_->status = PlaybackControl::Status::Stopped;
    control_->titleText.clear();
    control_->art.clear();
    Q_EMIT control_->changed();
    QTRY_COMPARE(changes_.size(), 6);
    metadata.insert("xesam:title", QStringLiteral("Radio Eins"));
    metadata.insert("mpris:trackid", QVariant::fromValue(QDBusObjectPath("/org/ostrel/radio/track/3")));
    metadata.remove("mpris:artUrl");
    QCOMPARE(changes_[5],
             (QVariantMap{{"Metadata", metadata}, {"PlaybackStatus", QStringLiteral("Stopped")}}));

    // A second favourite: Next and Previous have somewhere to go.
    control_->steps = true;
    Q_EMIT control_->changed();
    QTRY_COMPARE(changes_.size(), 7);
    QCOMPARE(changes_[6], (QVariantMap{{"CanGoNext", true}, {"CanGoPrevious", true}}));
    QCOMPARE(property(kPlayer, QStringLiteral("CanGoNext")), QVariant(true));
}

// The stream's title as the desktop shows it: artist and title when it has that form.
void TestMprisService::titlesSplitIntoArtistAndTitle_data() {
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("artist"); // none when empty
    QTest::addColumn<QString>("title");
    QTest::newRow("artist - title") << "Die Band - Das Lied" << "Die Band" << "Das Lied";
    QTest::newRow("a dash in the title") << "AC/DC - T.N.T. - Live" << "AC/DC" << "T.N.T. - Live";
    QTest::newRow("title alone") << "Nachrichten" << "" << "Nachrichten";
    QTest::newRow("a dash without blanks") << "Jay-Z" << "" << "Jay-Z";
    QTest::newRow("nothing before the dash") << " - Intro" << "" << " - Intro";
    QTest::newRow("nothing after it") << "Werbung - " << "" << "Werbung - ";
}

void TestMprisService::titlesSplitIntoArtistAndTitle() {
    QFETCH(QString, sent);
    QFETCH(QString, artist);
    QFETCH(QString, title);
    control_->station = QStringLiteral("Radio Eins");
    control_->titleText = sent;
    Q_EMIT control_->changed();
    QTRY_COMPARE(changes_.size(), 1);
    const QVariantMap metadata = changes_[0].value("Metadata").toMap();
    QCOMPARE(metadata.value("xesam:title").toString(), title);
    QCOMPARE(metadata.value("xesam:artist").toStringList(), artist.isEmpty() ? QStringList() : QStringList{artist});
    QCOMPARE(metadata.value("xesam:album").toString(), QStringLiteral("Radio Eins"));
}

void TestMprisService::serviceNameFollowsTheBus() {
    // Another running player: its own connection, as another process would have.
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
    const QString name =
        MprisService::kServiceName + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
    {
        MprisService second(control_.get());
        QVERIFY(second.start(other));
        QCOMPARE(second.serviceName(), name);
        QTRY_VERIFY(desktop_.interface()->isServiceRegistered(name));
    }
    QTRY_VERIFY(!desktop_.interface()->isServiceRegistered(name));
    QDBusConnection::disconnectFromBus(QStringLiteral("other"));

    MprisService offBus(control_.get());
    QVERIFY(!offBus.start(QDBusConnection(QStringLiteral("no such connection"))));
    QVERIFY(offBus.serviceName().isEmpty());
}

void TestMprisService::newTitlesNotify() {
    // "station|title" as the control reports them, then after "=>" the notification that shows
    // ("id<replaced summary|body"), if any; "on" turns notifying on. A notification follows each
    // silent step, so a stray one sent before it would show.
    const QStringList steps{"Eins|Song A =>",
                            "on",
                            "Eins| =>",
                            "Eins|Song A => 1<0 Eins|Song A",
                            "Eins|Song A =>",
                            "Eins| =>",
                            "Eins|Song <B> => 1<1 Eins|Song &lt;B&gt;",
                            "Zwei|Song <B> => 1<1 Zwei|Song &lt;B&gt;"};
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
