#pragma once

#include "support/Tether.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QUrl>

// The local icon server (tests/ui/icon_server.py), started on a free loopback port for the
// life of this object.
class IconServer {
public:
    IconServer() {
        const QString script = QStringLiteral(OSTREL_SOURCE_DIR "/tests/ui/icon_server.py");
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        startTethered(process_, QStringLiteral("python3"), {script, QStringLiteral("--port"), QStringLiteral("0")});
        if (!process_.waitForStarted(10000))
            qFatal("icon server did not start: %s", qPrintable(process_.errorString()));
        while (port_ == 0 && process_.waitForReadyRead(30000)) {
            const QByteArray line = process_.readLine().trimmed();
            if (line.startsWith("LISTENING "))
                port_ = line.mid(10).toInt();
        }
        if (port_ == 0)
            qFatal("icon server did not report its port");
    }

    ~IconServer() {
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
    }

    QUrl url(const QString& pathAndQuery) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(pathAndQuery));
    }
    // Requests whose path starts with `prefix` since the last reset.
    int requestCount(const QString& prefix) {
        return call(QStringLiteral("/_control/count?prefix=") + QString::fromLatin1(QUrl::toPercentEncoding(prefix)))
            .toInt();
    }
    void reset() { call(QStringLiteral("/_control/reset")); }

private:
    QByteArray call(const QString& pathAndQuery) {
        QNetworkReply* reply = network_.get(QNetworkRequest(url(pathAndQuery)));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        reply->deleteLater();
        return reply->readAll();
    }

    QProcess process_;
    QNetworkAccessManager network_;
    int port_ = 0;
};
