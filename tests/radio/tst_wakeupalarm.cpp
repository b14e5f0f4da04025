// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/GeneralSettingsPage.h"
#include "radio/PlaybackSession.h"
#include "radio/SleepTimer.h"
#include "radio/WakeUpAlarm.h"
#include "radio/WakeUpAlarmView.h"
#include "support/DirectoryFixture.h"
#include "util/UserDefaults.h"

#include <QtTest>
#include <QtWidgets>

namespace {
QDateTime local(const QString& text) {
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}
} // namespace

// Runs in Europe/Berlin (set by CTest), so daylight-saving time starts on 31 March 2024 and ends
// on 27 October 2024. The clock is a variable: each step sets it and acts, as the timer and the
// player would.
class TestWakeUpAlarm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QCOMPARE(local("2024-03-31 03:00:00").offsetFromUtc(), 7200); // the zone the rows are written for
    }

    void nextDue_data() {
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("weekdays");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("due");
        QTest::addColumn<int>("hoursLater"); // as the clock counts them
        constexpr int workdays = 0x1f, everyDay = 0x7f, monday = 0x01;
        // 2024-03-04 is a Monday.
        QTest::newRow("later today") << "07:00" << workdays << "2024-03-04 06:00:00" << "2024-03-04 07:00:00" << 1;
        QTest::newRow("at the time: tomorrow") << "07:00" << workdays << "2024-03-04 07:00:00" << "2024-03-05 07:00:00" << 24;
        QTest::newRow("across midnight") << "00:15" << workdays << "2024-03-04 23:30:00" << "2024-03-05 00:15:00" << 0;
        QTest::newRow("Friday evening to Monday") << "07:00" << workdays << "2024-03-08 20:00:00" << "2024-03-11 07:00:00" << 59;
        QTest::newRow("one weekday: a week on") << "07:00" << monday << "2024-03-04 08:00:00" << "2024-03-11 07:00:00" << 167;
        QTest::newRow("no weekday: never") << "07:00" << 0 << "2024-03-04 06:00:00" << "" << 0;
        QTest::newRow("summer time starts: 07:00 still") << "07:00" << everyDay << "2024-03-30 08:00:00" << "2024-03-31 07:00:00" << 22;
        QTest::newRow("summer time ends: 07:00 still") << "07:00" << everyDay << "2024-10-26 08:00:00" << "2024-10-27 07:00:00" << 24;
        QTest::newRow("in the skipped hour: the hour after")
            << "02:30" << everyDay << "2024-03-30 09:30:00" << "2024-03-31 03:30:00" << 17;
    }

    void nextDue() {
        QFETCH(QString, time);
        QFETCH(int, weekdays);
        QFETCH(QString, after);
        QFETCH(QString, due);
        QFETCH(int, hoursLater);
        WakeUpAlarm::Schedule schedule{true, QTime::fromString(time, "HH:mm"), weekdays, "x"};
        const QDateTime from = local(after);
        const QDateTime next = WakeUpAlarm::nextDue(schedule, from);
        QCOMPARE(next.toString("yyyy-MM-dd HH:mm:ss"), due);
        if (hoursLater > 0)
            QCOMPARE(from.secsTo(next), hoursLater * 3600LL);
    }

    // Each step: seconds after 06:59:30 on Monday 4 March 2024 (the alarm is set for 07:00 on
    // workdays), then what happens: the timer ticks, the stream plays, drops or fails, the
    // listener stops or plays.
    void rings_data() {
        QTest::addColumn<QString>("station");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("calls");
        QTest::newRow("fades in from the first sound")
            << "morning" << true << QStringList{"20 tick", "30 tick", "36 playing", "51 tick", "66 tick", "70 tick"}
            << "fade 0.00 play Morning fade 0.50 fade 1.00";
        QTest::newRow("failed: the tone after a minute, until the station plays")
            << "morning" << true
            << QStringList{"30 tick", "45 failed", "89 tick", "90 tick", "100 playing", "115 tick"}
            << "fade 0.00 play Morning tone on tone off fade 0.50";
        QTest::newRow("dropped after sound: the tone a minute later")
            << "morning" << true << QStringList{"30 tick", "32 playing", "62 tick", "100 reconnecting", "159 tick", "160 tick"}
            << "fade 0.00 play Morning fade 1.00 tone on";
        QTest::newRow("the listener's stop ends it")
            << "morning" << true << QStringList{"30 tick", "40 failed", "50 stop", "200 tick"}
            << "fade 0.00 play Morning fade 1.00";
        QTest::newRow("the listener's play ends the tone")
            << "morning" << true << QStringList{"30 tick", "40 failed", "90 tick", "95 play", "200 tick"}
            << "fade 0.00 play Morning tone on tone off fade 1.00";
        QTest::newRow("deleted favourite: the tone at once")
            << "gone" << true << QStringList{"30 tick", "31 tick"} << "tone on";
        QTest::newRow("left ringing: ends after an hour")
            << "morning" << true << QStringList{"30 tick", "31 failed", "90 tick", "3629 tick", "3630 tick"}
            << "fade 0.00 play Morning tone on tone off fade 1.00";
        QTest::newRow("disabled: never") << "morning" << false << QStringList{"30 tick", "120 tick"} << "";
        QTest::newRow("missed while asleep: the next day")
            << "morning" << true << QStringList{"631 tick", "86400 tick", "86430 tick"} << "fade 0.00 play Morning";
    }

    void rings() {
        QFETCH(QString, station);
        QFETCH(bool, enabled);
        QFETCH(QStringList, steps);
        QFETCH(QString, calls);

        const QDateTime start = local("2024-03-04 06:59:30");
        QDateTime now = start;
        QTemporaryDir dir;
        UserDefaults defaults(dir.filePath("settings.ini"));
        WakeUpAlarm::Schedule{enabled, QTime(7, 0), 0x1f, station}.save(defaults);
        PlaybackSession session;
        using State = PlaybackSession::State;
        QStringList log;
        WakeUpAlarm::Hooks hooks;
        hooks.favourite = [](const QString& uuid) { return uuid == "morning" ? namedStation(uuid, "Morning") : Station(); };
        hooks.play = [&](const Station& s) { // as StationPlayer does
            log << "play " + s.string(Station::Key::Name);
            session.setStation(s);
            session.setState(State::Loading);
        };
        hooks.setFade = [&](double f) { log << QStringLiteral("fade %1").arg(f, 0, 'f', 2); };
        hooks.setTone = [&](bool on) { log << (on ? "tone on" : "tone off"); };
        WakeUpAlarm alarm(defaults, session, hooks, [&] { return now; });
        for (const QString& step : steps) {
            const QStringList words = step.split(' ');
            now = start.addSecs(words.at(0).toInt());
            const QString what = words.at(1);
            if (what == "tick") {
                alarm.tick();
            } else if (what == "playing") {
                session.setState(State::Playing);
            } else if (what == "reconnecting") {
                session.setState(State::Reconnecting);
            } else if (what == "failed") { // StationPlayer stops, then says why
                session.setState(State::Stopped);
                session.setState(State::Failed, "Stream not available");
            } else if (what == "stop") {
                session.setState(State::Stopped);
            } else if (what == "play") {
                session.setState(State::Loading);
            }
            QCoreApplication::processEvents(); // a stop counts once it stays
        }
        QCOMPARE(log.join(u' '), calls);
    }

    void generalTabSetsTheAlarm() {
        QTemporaryDir dir;
        UserDefaults defaults(dir.filePath("settings.ini"));
        PlaybackSession session;
        QDateTime now = local("2024-03-04 06:00:00");
        WakeUpAlarm alarm(defaults, session, {}, [&] { return now; });
        StationList favourites{namedStation("first", "Morning"), namedStation("second", "Evening")};
        SleepTimer timer({});
        GeneralSettingsPage::Hooks hooks;
        hooks.favourites = [&] { return favourites; };
        auto page = std::make_unique<GeneralSettingsPage>(timer, defaults, hooks, &alarm);
        page->show();
        WakeUpAlarmView* view = page->alarmView;
        QVERIFY(view);
        QCOMPARE(view->next->text(), "");
        QCOMPARE(view->station->currentText(), "Morning"); // the first favourite until one is chosen

        view->enabled->click();
        QCOMPARE(view->next->text(), "Next alarm: Monday at 7:00 AM");
        view->time->setFocus();
        view->time->setTime(QTime(6, 30));
        view->days.at(0)->click(); // Monday off
        view->days.at(5)->click(); // Saturday on
        view->station->setCurrentIndex(1);
        Q_EMIT view->station->activated(1);
        QCOMPARE(view->next->text(), "Next alarm: Tuesday at 6:30 AM");
        for (int i = 1; i < 6; ++i)
            view->days.at(i)->click();
        QCOMPARE(view->next->text(), "Choose the days it rings.");
        view->days.at(2)->click(); // Wednesday

        const QStringList stored{defaults.string(settingskeys::kAlarmTime), defaults.string(settingskeys::kAlarmWeekdays),
                                 defaults.string(settingskeys::kAlarmStation), defaults.string(settingskeys::kAlarmEnabled)};
        QCOMPARE(stored, QStringList({"06:30", "4", "second", "true"}));

        // Opened again after the chosen favourite was removed: the tab says so, and the alarm
        // keeps it (and rings the tone) until another is chosen.
        page.reset();
        favourites.removeLast();
        WakeUpAlarm again(defaults, session, {}, [&] { return now; });
        GeneralSettingsPage reopened(timer, defaults, hooks, &again);
        reopened.show();
        WakeUpAlarmView* shown = reopened.alarmView;
        QCOMPARE(shown->enabled->isChecked(), true);
        QCOMPARE(shown->time->time(), QTime(6, 30));
        QCOMPARE(shown->station->currentText(), "A removed favourite (only a tone rings)");
        QCOMPARE(shown->next->text(), "Next alarm: Wednesday at 6:30 AM");
        favourites.clear();
        shown->refreshStations();
        QCOMPARE(shown->station->currentText() + QString::number(shown->station->isEnabled()), "No favourites yet0");
        QCOMPARE(again.schedule().stationUuid, "second");
    }
};

QTEST_MAIN(TestWakeUpAlarm)
#include "tst_wakeupalarm.moc"
