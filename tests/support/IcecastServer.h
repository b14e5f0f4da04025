#pragma once

#include "support/Tether.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <memory>
#include <unistd.h>
#include <vector>

// A local Icecast 2 server on a free loopback port, with one ezstream source client per mount
// that loops a prepared file, all configured in a temporary folder for the life of this object.
class IcecastServer {
public:
    struct Mount {
        QString path;   // "/radio.mp3"
        QString file;   // audio file to loop
        QString format; // ezstream's name: "MP3" or "Ogg"
    };

    ~IcecastServer() { stop(); }

    // Starts the server and its sources; returns an error text, empty on success.
    QString start(const QList<Mount>& mounts) {
        if (!dir_.isValid())
            return QStringLiteral("no temporary folder");
        QString error;
        // The free port found may be taken again before Icecast binds it: try another.
        for (int round = 0; round < 3; ++round) {
            error = startServer();
            if (error.isEmpty())
                break;
        }
        if (!error.isEmpty())
            return error;
        for (const Mount& mount : mounts) {
            error = startSource(mount);
            if (!error.isEmpty())
                return error;
        }
        for (int i = 0; i < 300; ++i) {
            const QByteArray status = get(QStringLiteral("/status-json.xsl")).second;
            bool all = true;
            for (const Mount& mount : mounts)
                all = all && status.contains((":" + QString::number(port_) + mount.path + "\"").toUtf8());
            if (all)
                return {};
            QThread::msleep(100);
        }
        return QStringLiteral("the sources did not reach Icecast:\n") + log();
    }

    QUrl url(const QString& mount) const { return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(mount)); }

    // Sets the mount's stream title through the admin interface, as a station's playout does.
    // With `latin1`, Icecast is told the text is UTF-8 and sends it to listeners in its MP3
    // mounts' default, ISO-8859-1; without, it passes the bytes on as they are.
    bool setTitle(const QString& mount, const QString& title, bool latin1 = false) {
        QString path = QStringLiteral("/admin/metadata?mount=%1&mode=updinfo&song=%2")
                           .arg(QString::fromLatin1(QUrl::toPercentEncoding(mount)),
                                QString::fromLatin1(QUrl::toPercentEncoding(title)));
        if (latin1)
            path += QStringLiteral("&charset=UTF-8");
        const auto [status, body] = get(path, "admin:" + adminPassword_);
        return status == 200 && body.contains("Metadata update successful");
    }

    // Listeners of the mount now, -1 if it is not there.
    int listeners(const QString& mount) const {
        const QJsonValue sources = QJsonDocument::fromJson(get(QStringLiteral("/status-json.xsl")).second)
                                       .object()
                                       .value(QLatin1String("icestats"))
                                       .toObject()
                                       .value(QLatin1String("source"));
        // One source is an object, several an array.
        const QJsonArray list = sources.isArray() ? sources.toArray() : QJsonArray{sources};
        for (const QJsonValue& source : list)
            if (source.toObject().value(QLatin1String("listenurl")).toString() == url(mount).toString())
                return source.toObject().value(QLatin1String("listeners")).toInt();
        return -1;
    }

    QString log() const {
        QString text;
        for (const auto& p : processes_)
            text += QString::fromLocal8Bit(p->readAll());
        return text;
    }

private:
    QString startServer() {
        stop();
        {
            QTcpServer probe;
            if (!probe.listen(QHostAddress::LocalHost))
                return QStringLiteral("no free port");
            port_ = probe.serverPort();
        }
        // Icecast will not run as root without somebody to become.
        const QString owner = geteuid() == 0 ? QStringLiteral("<changeowner><user>nobody</user><group>nogroup</group>"
                                                              "</changeowner>")
                                             : QString();
        const QString config =
            QStringLiteral(
                "<icecast><location>test</location><admin>test@localhost</admin>"
                "<limits><clients>50</clients><sources>8</sources><queue-size>524288</queue-size>"
                "<client-timeout>30</client-timeout><header-timeout>15</header-timeout>"
                "<source-timeout>10</source-timeout><burst-on-connect>1</burst-on-connect>"
                "<burst-size>65535</burst-size></limits>"
                "<authentication><source-password>%1</source-password><relay-password>%1</relay-password>"
                "<admin-user>admin</admin-user><admin-password>%2</admin-password></authentication>"
                "<hostname>127.0.0.1</hostname>"
                "<listen-socket><port>%3</port><bind-address>127.0.0.1</bind-address></listen-socket>"
                "<fileserve>1</fileserve>"
                "<paths><basedir>%4</basedir><logdir>%4</logdir><webroot>/usr/share/icecast2/web</webroot>"
                "<adminroot>/usr/share/icecast2/admin</adminroot></paths>"
                "<logging><accesslog>-</accesslog><errorlog>-</errorlog><loglevel>2</loglevel></logging>"
                "<security><chroot>0</chroot>%5</security></icecast>")
                .arg(QString::fromLatin1(sourcePassword_), QString::fromLatin1(adminPassword_))
                .arg(port_)
                .arg(dir_.path(), owner);
        const QString file = dir_.filePath(QStringLiteral("icecast.xml"));
        if (!write(file, config.toUtf8()))
            return QStringLiteral("cannot write %1").arg(file);
        QProcess* icecast = launch(QStringLiteral("icecast2"), {QStringLiteral("-c"), file});
        if (!icecast->waitForStarted(10000))
            return QStringLiteral("icecast2 did not start: %1").arg(icecast->errorString());
        for (int i = 0; i < 100; ++i) {
            if (icecast->state() != QProcess::Running)
                return QStringLiteral("icecast2 stopped:\n") + log();
            if (get(QStringLiteral("/status-json.xsl")).first == 200)
                return {};
            QThread::msleep(100);
        }
        return QStringLiteral("icecast2 does not answer:\n") + log();
    }

    QString startSource(const Mount& mount) {
        const QString config =
            QStringLiteral(
                "<ezstream><servers><server><hostname>127.0.0.1</hostname><port>%1</port>"
                "<password>%2</password><tls>None</tls><reconnect_attempts>20</reconnect_attempts></server></servers>"
                "<streams><stream><mountpoint>%3</mountpoint><format>%4</format>"
                "<stream_name>Test Station</stream_name></stream></streams>"
                "<intakes><intake><type>file</type><filename>%5</filename><stream_once>No</stream_once>"
                "</intake></intakes><metadata><no_updates>Yes</no_updates></metadata></ezstream>")
                .arg(port_)
                .arg(QString::fromLatin1(sourcePassword_), mount.path, mount.format, mount.file);
        const QString file = dir_.filePath(QStringLiteral("ezstream%1.xml").arg(processes_.size()));
        if (!write(file, config.toUtf8()))
            return QStringLiteral("cannot write %1").arg(file);
        // ezstream refuses a configuration that others may read: it holds a password.
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        QProcess* ezstream = launch(QStringLiteral("ezstream"), {QStringLiteral("-c"), file});
        if (!ezstream->waitForStarted(10000))
            return QStringLiteral("ezstream did not start: %1").arg(ezstream->errorString());
        return {};
    }

    QProcess* launch(const QString& program, const QStringList& arguments) {
        processes_.push_back(std::make_unique<QProcess>());
        QProcess* p = processes_.back().get();
        p->setProcessChannelMode(QProcess::MergedChannels);
        startTethered(*p, program, arguments);
        return p;
    }

    void stop() {
        // Sources first, so that Icecast does not log them as lost.
        for (auto it = processes_.rbegin(); it != processes_.rend(); ++it) {
            (*it)->terminate();
            if (!(*it)->waitForFinished(5000))
                (*it)->kill();
        }
        processes_.clear();
    }

    static bool write(const QString& path, const QByteArray& data) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
    }

    // A blocking HTTP/1.0 GET: status and body.
    std::pair<int, QByteArray> get(const QString& path, const QByteArray& credentials = QByteArray()) const {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, quint16(port_));
        if (!socket.waitForConnected(2000))
            return {0, {}};
        QByteArray request = "GET " + path.toUtf8() + " HTTP/1.0\r\nHost: 127.0.0.1\r\n";
        if (!credentials.isEmpty())
            request += "Authorization: Basic " + credentials.toBase64() + "\r\n";
        socket.write(request + "\r\n");
        QByteArray reply;
        while (socket.waitForReadyRead(5000))
            reply += socket.readAll();
        reply += socket.readAll();
        const qsizetype end = reply.indexOf("\r\n\r\n");
        if (!reply.startsWith("HTTP/") || end < 0)
            return {0, {}};
        return {reply.mid(9, 3).toInt(), reply.mid(end + 4)};
    }

    QTemporaryDir dir_;
    std::vector<std::unique_ptr<QProcess>> processes_;
    int port_ = 0;
    const QByteArray sourcePassword_ = "source-" + QByteArray::number(QRandomGenerator::global()->generate());
    const QByteArray adminPassword_ = "admin-" + QByteArray::number(QRandomGenerator::global()->generate());
};
