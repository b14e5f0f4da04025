#include <QProcess>
#include <QTest>

// Runs the real executable: these options must work without a display and open no window.
class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void options_data();
    void options();
};

void TestCommandLine::options_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutPattern");
    QTest::addColumn<QString>("stderrPattern");
    QTest::newRow("version") << QStringList{"--version"} << 0 << QStringLiteral("^Ostrel Radio \\d+\\.\\d+ \\(\\d+\\)\\n$")
                             << QStringLiteral("^$");
    QTest::newRow("help") << QStringList{"--help"} << 0 << QStringLiteral("^Usage: ostrel-radio \\[options\\][\\s\\S]*--version") << QStringLiteral("^$");
    QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << QStringLiteral("^$")
                                    << QStringLiteral("Unknown option 'bogus'");
    QTest::newRow("cloud set-up without a user") << QStringList{"--configure-cloud", "https://dav.example/"} << 2
                                                 << QStringLiteral("^$") << QStringLiteral("takes a server address and a user name");
    QTest::newRow("server that is no address") << QStringList{"--server", "ftp://x"} << 2 << QStringLiteral("^$")
                                               << QStringLiteral("neither a host name nor");
    QTest::newRow("status with nothing running") << QStringList{"--status"} << 1 << QStringLiteral("^$")
                                                 << QStringLiteral("not running");
    QTest::newRow("stray argument") << QStringList{"extra"} << 2 << QStringLiteral("^$")
                                    << QStringLiteral("Unexpected argument 'extra'");
}

void TestCommandLine::options() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutPattern);
    QFETCH(QString, stderrPattern);

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("USER"), QStringLiteral("ostrel-commandline-test"));
    process.setProcessEnvironment(env);
    process.start(qEnvironmentVariable("OSTREL_EXECUTABLE"), arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    QVERIFY2(QRegularExpression(stdoutPattern).match(QString::fromUtf8(process.readAllStandardOutput())).hasMatch(),
             qPrintable(stdoutPattern));
    QVERIFY2(QRegularExpression(stderrPattern).match(QString::fromUtf8(process.readAllStandardError())).hasMatch(),
             qPrintable(stderrPattern));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
