// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/GeneralSettingsPage.h"
#include "radio/SleepTimer.h"
#include "radio/SleepTimerMenu.h"
#include "util/UserDefaults.h"

#include <QtTest>
#include <QtWidgets>

// The clock is a variable: each step sets it and ticks, as the timer would.
class TestSleepTimer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countsDownFadesAndStops_data() {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QList<int>>("ticksAtSeconds");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<int>("thenStart"); // minutes to start again after the ticks; -1 for nothing
        QTest::addColumn<QString>("remaining");
        QTest::newRow("counts down, volume untouched")
            << 15 << QList<int>{60, 800} << "" << -1 << "2 min left";
        QTest::newRow("last minute in seconds") << 15 << QList<int>{859} << "" << -1 << "41 s left";
        QTest::newRow("fades, stops, gives the volume back")
            << 15 << QList<int>{885, 890, 900} << "fade 0.50 fade 0.33 stop fade 1.00" << -1 << "";
        QTest::newRow("tick long after the end (suspend)") << 30 << QList<int>{5000} << "stop" << -1 << "";
        QTest::newRow("chosen again in the fade")
            << 15 << QList<int>{890} << "fade 0.33 fade 1.00" << 60 << "60 min left";
        QTest::newRow("off in the fade: no stop")
            << 90 << QList<int>{5370, 5390} << "fade 0.33 fade 1.00" << 0 << "";
    }

    void countsDownFadesAndStops() {
        QFETCH(int, minutes);
        QFETCH(QList<int>, ticksAtSeconds);
        QFETCH(QString, calls);
        QFETCH(int, thenStart);
        QFETCH(QString, remaining);

        qint64 now = 1'000'000;
        QStringList log;
        SleepTimer timer({[&](double f) { log << QStringLiteral("fade %1").arg(f, 0, 'f', 2); },
                          [&] { log << QStringLiteral("stop"); }},
                         [&] { return now; });
        const qint64 started = now;
        timer.start(minutes);
        for (int second : ticksAtSeconds) {
            now = started + second * 1000LL;
            timer.tick();
        }
        if (thenStart == 0)
            timer.cancel();
        else if (thenStart > 0)
            timer.start(thenStart);
        timer.tick(); // a tick after stopping or restarting changes nothing
        QCOMPARE(log.join(u' '), calls);
        QCOMPARE(timer.remainingText(), remaining);
        QCOMPARE(timer.isActive(), !remaining.isEmpty());
    }

    void trayMenuAndPanelAgree() {
        qint64 now = 0;
        SleepTimer timer({}, [&] { return now; });
        SleepTimerMenu menu(timer);
        QTemporaryDir dir;
        UserDefaults defaults(dir.filePath("settings.ini"));
        GeneralSettingsPage page(timer, defaults, {});
        menu.actions().at(2)->trigger(); // 30 minutes, from the tray
        now = 28 * 60'000;
        timer.tick();
        QCOMPARE(menu.title() + page.sleepChoice->currentText() + page.sleepLeft->text(),
                 "Sleep timer (2 min left)30 minutes2 min left");
        Q_EMIT page.sleepChoice->activated(0); // "Off", from the panel
        QVERIFY(!timer.isActive() && menu.actions().at(0)->isChecked() && !menu.actions().at(2)->isChecked());
        QCOMPARE(menu.title() + page.sleepLeft->text(), "Sleep timer");
    }
};

QTEST_MAIN(TestSleepTimer)
#include "tst_sleeptimer.moc"
