#pragma once

#include "support/Tether.h"

#include <QProcess>
#include <QStringList>
#include <QUrl>

// The misbehaving stream server (tools/media/faultstream.py) on a free loopback port, serving an
// MP3 file; the query of a stream's address picks the fault.
class FaultStreamServer {
public:
    explicit FaultStreamServer(const QString& mp3File) {
        const QString script = QStringLiteral(OSTREL_SOURCE_DIR "/tools/media/faultstream.py");
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        startTethered(process_, QStringLiteral("python3"),
                      {script, QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--audio"), mp3File});
        if (!process_.waitForStarted(10000))
            qFatal("stream server did not start: %s", qPrintable(process_.errorString()));
        while (port_ == 0 && process_.waitForReadyRead(30000))
            readLines();
        if (port_ == 0)
            qFatal("stream server did not report its port");
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { readLines(); });
    }

    ~FaultStreamServer() {
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
    }

    // A stream address; `query` as faultstream.py reads it ("close_after=40000&times=1").
    QUrl url(const QString& query = QString(), const QString& path = QStringLiteral("/stream.mp3")) const {
        QUrl url(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path));
        if (!query.isEmpty())
            url.setQuery(query, QUrl::StrictMode);
        return url;
    }

    // Requests received for `url` so far (needs the event loop to run).
    int connections(const QUrl& url) const {
        const QString path = url.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::FullyEncoded);
        return int(requests_.count(path));
    }

private:
    void readLines() {
        while (process_.canReadLine()) {
            const QString line = QString::fromUtf8(process_.readLine()).trimmed();
            if (line.startsWith(QLatin1String("LISTENING ")))
                port_ = line.mid(10).toInt();
            else if (line.startsWith(QLatin1String("CONNECTION ")))
                requests_.append(line.mid(11));
        }
    }

    QProcess process_;
    QStringList requests_;
    int port_ = 0;
};
