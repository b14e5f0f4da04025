#pragma once

#include "support/Tether.h"

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
#include <algorithm>
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
        QString error = dir_.isValid() ? QString() : QStringLiteral("no temporary folder");
        // The free port found may be taken again before Icecast binds it: try another.
        for (int round = 0; round < 3 && dir_.isValid(); ++round) {
            if ((error = startServer()).isEmpty())
                break;
        }
        for (const Mount& mount : mounts) {
            if (error.isEmpty())
                error = startSource(mount);
        }
        for (int i = 0; i < 300 && error.isEmpty(); ++i) {
            if (std::all_of(mounts.begin(), mounts.end(), [this](const Mount& m) { return listeners(m.path) >= 0; }))
                return {};
            QThread::msleep(100);
        }
        return error.isEmpty() ? QStringLiteral("the sources did not reach Icecast:\n") + log() : error;
    }

    QUrl url(const QString& mount) const { return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(mount)); }

    // Sets the mount's stream title through the admin interface, as a station's playout does.
    // With `latin1`, Icecast is told the text is UTF-8 and sends it to listeners in its MP3
    // mounts' default, ISO-8859-1; without, it passes the bytes on as they are.
    bool setTitle(const QString& mount, const QString& title, bool latin1 = false) {
        const QString path = QStringLiteral("/admin/metadata?mount=%1&mode=updinfo&song=%2%3")
                                 .arg(QString::fromLatin1(QUrl::toPercentEncoding(mount)),
                                      QString::fromLatin1(QUrl::toPercentEncoding(title)),
                                      latin1 ? QStringLiteral("&charset=UTF-8") : QString());
        const auto [status, body] = get(path, "admin:" + adminPassword_);
        return status == 200 && body.contains("Metadata update successful");
    }

    // Listeners of the mount now, -1 if it is not there.
    int listeners(const QString& mount) const {
        const QJsonDocument status = QJsonDocument::fromJson(get(QStringLiteral("/status-json.xsl")).second);
        const QJsonValue sources = status[QLatin1String("icestats")][QLatin1String("source")];
        // One source is an object, several an array.
        for (const QJsonValue& source : sources.isArray() ? sources.toArray() : QJsonArray{sources}) {
            if (source[QLatin1String("listenurl")].toString() == url(mount).toString())
                return source[QLatin1String("listeners")].toInt();
        }
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
        // Icecast will not run as root without somebody to become; the rest are its defaults.
        const QString owner = geteuid() == 0 ? QStringLiteral("<changeowner><user>nobody</user><group>nogroup</group>"
                                                              "</changeowner>")
                                             : QString();
        const QString config =
            QStringLiteral(
                "<icecast><limits><sources>8</sources></limits>"
                "<authentication><source-password>%1</source-password>"
                "<admin-user>admin</admin-user><admin-password>%2</admin-password></authentication>"
                "<hostname>127.0.0.1</hostname>"
                "<listen-socket><port>%3</port><bind-address>127.0.0.1</bind-address></listen-socket>"
                "<paths><basedir>%4</basedir><logdir>%4</logdir><webroot>/usr/share/icecast2/web</webroot>"
                "<adminroot>/usr/share/icecast2/admin</adminroot></paths>"
                "<logging><accesslog>-</accesslog><errorlog>-</errorlog><loglevel>2</loglevel></logging>"
                "<security><chroot>0</chroot>%5</security></icecast>")
                .arg(QString::fromLatin1(sourcePassword_), QString::fromLatin1(adminPassword_))
                .arg(port_)
                .arg(dir_.path(), owner);
        QProcess* icecast = launch(QStringLiteral("icecast2"), QStringLiteral("icecast.xml"), config);
        if (!icecast)
            return QStringLiteral("cannot write the configuration");
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
        const QString file = QStringLiteral("ezstream%1.xml").arg(processes_.size());
        return launch(QStringLiteral("ezstream"), file, config) ? QString() : QStringLiteral("ezstream did not start");
    }

    // Writes the configuration into the folder and starts `program` with it; null on failure.
    QProcess* launch(const QString& program, const QString& configName, const QString& config) {
        QFile file(dir_.filePath(configName));
        // ezstream refuses a configuration that others may read: it holds a password.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(config.toUtf8()) < 0 ||
            !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner))
            return nullptr;
        file.close();
        processes_.push_back(std::make_unique<QProcess>());
        QProcess* p = processes_.back().get();
        p->setProcessChannelMode(QProcess::MergedChannels);
        startTethered(*p, program, {QStringLiteral("-c"), file.fileName()});
        return p->waitForStarted(10000) ? p : nullptr;
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
