#include "directory/cloud/NextcloudLoginFlow.h"
#include "support/Tether.h"

#include <QtTest>

namespace {
// The Login Flow v2 stand-in of fake_login_server.py on a free loopback port.
const char* const kLoginServer = "tests/cloud/fake_login_server.py";
} // namespace

class TestNextcloudLoginFlow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The login in the browser, as the server's Login Flow v2 answers it.
    void loginFlow_data() {
        QTest::addColumn<QStringList>("serverArguments");
        QTest::addColumn<QString>("address"); // empty: the stand-in's
        QTest::addColumn<QString>("errorPart"); // null: the login is granted
        QTest::newRow("granted in the browser") << QStringList{"--pending", "2"} << QString() << QString();
        QTest::newRow("no login flow on the server") << QStringList{"--mode", "broken"} << QString() << "does not offer";
        QTest::newRow("plain http elsewhere") << QStringList{} << "http://cloud.example.org" << "https://";
        QTest::newRow("never granted") << QStringList{"--pending", "1000"} << QString() << "not completed";
    }

    void loginFlow() {
        QFETCH(QStringList, serverArguments);
        QFETCH(QString, address);
        QFETCH(QString, errorPart);
        ScriptServer server(kLoginServer, serverArguments);
        NextcloudLoginFlow flow({"Ostrel Radio/test", 50, errorPart.isNull() ? 20000 : 1000});
        QSignalSpy page(&flow, &NextcloudLoginFlow::loginPageReady);
        QSignalSpy failed(&flow, &NextcloudLoginFlow::failed);
        QSignalSpy done(&flow, &NextcloudLoginFlow::finished);
        flow.start(address.isEmpty() ? server.url(QStringLiteral("/nc")) : QUrl(address));
        QTRY_COMPARE_WITH_TIMEOUT(failed.count() + done.count(), 1, 20000);
        QVERIFY(!flow.isRunning());
        if (!errorPart.isNull()) {
            QCOMPARE(failed.count(), 1);
            QVERIFY2(failed.first().first().toString().contains(errorPart), qPrintable(failed.first().first().toString()));
            return;
        }
        QCOMPARE(done.count(), 1);
        QCOMPARE(page.count(), 1);
        QVERIFY(page.first().first().toUrl().path().endsWith("/login/v2/flow/abc"));
        QCOMPARE(done.first().at(1).toString(), QStringLiteral("alice"));
        QCOMPARE(done.first().at(2).toString(), QStringLiteral("app-pass-123"));
    }

    // Cancelled while the granting answer is on its way: nothing comes of that answer.
    void cancelledLoginIgnoresALateGrant() {
        ScriptServer server(kLoginServer, {"--pending", "0", "--grant-delay", "0.5"});
        NextcloudLoginFlow flow({"Ostrel Radio/test", 50, 20000});
        QSignalSpy failed(&flow, &NextcloudLoginFlow::failed);
        QSignalSpy done(&flow, &NextcloudLoginFlow::finished);
        flow.start(server.url(QStringLiteral("/nc")));
        QTRY_COMPARE_WITH_TIMEOUT(server.call(QStringLiteral("/_control/polls")), QByteArray("1"), 20000);
        flow.cancel();
        QTRY_COMPARE_WITH_TIMEOUT(server.call(QStringLiteral("/_control/granted")), QByteArray("1"), 20000);
        QTest::qWait(300); // the answer's way back: it must change nothing
        QCOMPARE(done.count() + failed.count(), 0);
        QVERIFY(!flow.isRunning());
    }
};

QTEST_GUILESS_MAIN(TestNextcloudLoginFlow)
#include "tst_nextcloudloginflow.moc"
