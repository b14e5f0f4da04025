#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <unistd.h>

// Starts a server that ends with this test even when the test crashes, aborts or is killed
// (tests/support/tether.py). terminate() ends the server and everything it started.
inline void startTethered(QProcess& process, const QString& program, const QStringList& arguments) {
    QProcessEnvironment env = process.processEnvironment();
    if (env.isEmpty())
        env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TETHER_PARENT"), QString::number(::getpid()));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("python3"),
                  QStringList{QStringLiteral(OSTREL_SOURCE_DIR "/tests/support/tether.py"), program} + arguments);
}
