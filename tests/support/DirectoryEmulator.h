#pragma once

#include "support/Tether.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTest>
#include <QUrl>

// The local directory emulator (tools/directory-emulator), started on a free loopback port for
// the life of this object.
class DirectoryEmulator {
public:
    explicit DirectoryEmulator(const QStringList& extraArguments = {}) {
        const QString script = QStringLiteral(OSTREL_SOURCE_DIR "/tools/directory-emulator/emulator.py");
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        startTethered(process_, QStringLiteral("python3"),
                      QStringList{script, QStringLiteral("--port"), QStringLiteral("0")} + extraArguments);
        if (!process_.waitForStarted(10000))
            qFatal("directory emulator did not start: %s", qPrintable(process_.errorString()));
        while (port_ == 0 && process_.waitForReadyRead(30000)) {
            const QByteArray line = process_.readLine().trimmed();
            if (line.startsWith("LISTENING "))
                port_ = line.mid(10).toInt();
        }
        if (port_ == 0)
            qFatal("directory emulator did not report its port");
    }

    ~DirectoryEmulator() {
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
    }

    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

    // The requests received so far, each {"method","path","query","headers"}.
    QJsonArray requests() { return QJsonDocument::fromJson(call("GET", "/_control/requests")).array(); }
    int requestCount(const QString& pathPrefix) {
        int n = 0;
        for (const QJsonValue& r : requests())
            n += r.toObject().value(QLatin1String("path")).toString().startsWith(pathPrefix);
        return n;
    }
    // Failure rules: {"mode": "...", "path_prefix": ..., "count": ...} or an array of them.
    void setMode(const QByteArray& json) { call("POST", "/_control/mode", json); }
    void reset() { call("POST", "/_control/reset"); }

private:
    QByteArray call(const QByteArray& verb, const QString& path, const QByteArray& body = QByteArray()) {
        QNetworkRequest request(QUrl(baseUrl() + path));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
        QNetworkReply* reply = network_.sendCustomRequest(request, verb, body);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError)
            qWarning("emulator control %s failed: %s", qPrintable(path), qPrintable(reply->errorString()));
        return reply->readAll();
    }

    QProcess process_;
    QNetworkAccessManager network_;
    int port_ = 0;
};
