// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QProcessEnvironment>
#include <QUrl>
#include <functional>
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

// A test server in Python (`script`, relative to the project folder) on a free loopback port
// for the life of this object. It prints "LISTENING <port>" when it serves; the lines it prints
// after that go to `onLine` while the event loop runs.
class ScriptServer {
public:
    ScriptServer(const char* script, const QStringList& arguments, std::function<void(const QString&)> onLine = {})
        : onLine_(std::move(onLine)) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        startTethered(process_, QStringLiteral("python3"),
                      QStringList{QStringLiteral(OSTREL_SOURCE_DIR "/") + QLatin1String(script)} + arguments);
        while (port_ == 0 && process_.waitForReadyRead(30000))
            readLines();
        if (port_ == 0)
            qFatal("%s did not report its port", script);
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { readLines(); });
    }
    ~ScriptServer() {
        process_.terminate();
        if (!process_.waitForFinished(10000))
            process_.kill();
    }

    int port() const { return port_; }
    QUrl url(const QString& pathAndQuery) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(pathAndQuery));
    }
    // A request to the server's own control paths, with "user:password" for Basic authentication
    // if given; the body of the answer.
    QByteArray call(const QString& pathAndQuery, const QByteArray& verb = "GET", const QByteArray& body = {},
                    const QByteArray& credentials = {}) {
        QNetworkRequest request(url(pathAndQuery));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
        if (!credentials.isEmpty())
            request.setRawHeader("Authorization", "Basic " + credentials.toBase64());
        QNetworkReply* reply = network_.sendCustomRequest(request, verb, body);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError)
            qWarning("%s failed: %s", qPrintable(pathAndQuery), qPrintable(reply->errorString()));
        return reply->readAll();
    }

private:
    void readLines() {
        while (process_.canReadLine()) {
            const QString line = QString::fromUtf8(process_.readLine()).trimmed();
            if (port_ == 0 && line.startsWith(QLatin1String("LISTENING ")))
                port_ = line.mid(10).toInt();
            else if (onLine_)
                onLine_(line);
        }
    }

    std::function<void(const QString&)> onLine_;
    QProcess process_;
    QNetworkAccessManager network_;
    int port_ = 0;
};
