// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Autostart.h"

#include <QtTest>

// The entry is written where the desktop looks for it, in a form its validator accepts.
class TestAutostart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesAndRemovesTheEntry_data() {
        QTest::addColumn<QString>("xdgConfigHome"); // "@" stands for a temporary folder, "@/home" is home
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("execLine");
        QTest::newRow("XDG_CONFIG_HOME")
            << "@/conf" << QStringLiteral("ostrel-radio") << "Exec=ostrel-radio --autostart";
        QTest::newRow("unset: ~/.config")
            << "" << QStringLiteral("/opt/radio/ostrel-radio") << "Exec=/opt/radio/ostrel-radio --autostart";
        QTest::newRow("relative is ignored")
            << "conf" << QStringLiteral("/opt/My Radio/$x") << "Exec=\"/opt/My Radio/\\\\$x\" --autostart";
    }

    void writesAndRemovesTheEntry() {
        QFETCH(QString, xdgConfigHome);
        QFETCH(QString, program);
        QFETCH(QString, execLine);
        QTemporaryDir dir;
        qputenv("HOME", (dir.path() + "/home").toUtf8());
        qputenv("XDG_CONFIG_HOME", QString(xdgConfigHome).replace(u'@', dir.path()).toUtf8());
        const QString folder =
            xdgConfigHome.startsWith(u'@') ? xdgConfigHome : QStringLiteral("@/home/.config");
        const QString path =
            QString(folder).replace(u'@', dir.path()) + "/autostart/org.ostrel.Radio.desktop";

        const Autostart autostart(program);
        QCOMPARE(Autostart::filePath(), path);
        QVERIFY(!autostart.isEnabled());
        QString error;
        QVERIFY2(autostart.setEnabled(true, &error) && autostart.isEnabled(), qPrintable(error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(file.readAll()).split(u'\n').contains(execLine));

        QProcess validate; // desktop-file-utils
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start("desktop-file-validate", {path});
        QVERIFY(validate.waitForFinished(30000));
        QVERIFY2(validate.exitCode() == 0, validate.readAll().constData());

        QVERIFY(autostart.setEnabled(false) && !QFile::exists(path));
        QVERIFY(autostart.setEnabled(false)); // already off
    }

    void bareNameOnlyWhenPathFindsThisProgram() {
        const QString self = QCoreApplication::applicationFilePath();
        qputenv("PATH", "/usr/bin:/bin");
        QCOMPARE(Autostart::programFor(self), self);
        qputenv("PATH", QCoreApplication::applicationDirPath().toUtf8() + ":/usr/bin");
        QCOMPARE(Autostart::programFor(self), QFileInfo(self).fileName());
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
