// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Tether.h"

#include <QtNetwork>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

// Writes a file for a test's server or program, or ends the test.
inline void writeFileOrFail(const QString& file, const QByteArray& bytes) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file));
}

// Apache 2 with mod_dav on a free loopback port, with its own configuration, folders and
// password file in a temporary folder, for the life of this object.
//   /dav/                             a WebDAV folder for the user below (basic auth)
//   /lax/                             the same, but a server that ignores If-Match
//   /nc/status.php                    what a Nextcloud server answers there (no login)
//   /nc/remote.php/dav/files/alice/   the user's folder on that "Nextcloud"
// Entity tags are content digests (FileETag Digest): strong, and equal for equal bytes.
// The access log lists "METHOD path status" per request.
class WebDavServer {
public:
    static inline const QString kUser = QStringLiteral("alice");
    static inline const QString kPassword = QStringLiteral("s3cret pass");

    WebDavServer() {
        if (!dir_.isValid())
            qFatal("no temporary folder for the WebDAV server");
        ::chmod(qPrintable(dir_.path()), 0755); // Apache started as root serves as www-data
        QDir root(dir_.path());
        for (const char* folder : {"www/dav", "www/lax", "www/nc/remote.php/dav/files/alice", "lock"})
            root.mkpath(QString::fromLatin1(folder));
        writeFileOrFail(
            path("www/nc/status.php"),
            R"({"installed":true,"maintenance":false,"needsDbUpgrade":false,"version":"28.0.0.11",)"
            R"("versionstring":"28.0.0","edition":"","productname":"Nextcloud","extendedSupport":false})");
        QProcess htpasswd;
        htpasswd.start(QStringLiteral("htpasswd"), {QStringLiteral("-nbB"), kUser, kPassword});
        if (!htpasswd.waitForFinished(20000) || htpasswd.exitCode() != 0)
            qFatal("htpasswd failed (apache2-utils missing?)");
        writeFileOrFail(path("htpasswd"), htpasswd.readAllStandardOutput());
        if (geteuid() == 0) { // started as root, Apache serves as www-data
            user_ = QStringLiteral("www-data");
            giveToServer({path("www"), path("lock")});
        }
        start();
    }

    ~WebDavServer() { stop(); }

    QUrl url(const QString& pathAndQuery = QStringLiteral("/")) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(pathAndQuery));
    }
    // A file or folder of the server's document root, on disk.
    QString documentPath(const QString& relative) const { return path("www/" + relative); }
    // Puts a file into the document root as if a client had saved it.
    void putFile(const QString& relative, const QByteArray& bytes) const {
        const QFileInfo info(documentPath(relative));
        QDir().mkpath(info.path());
        writeFileOrFail(info.filePath(), bytes);
        giveToServer({info.path()});
    }
    QStringList accessLog() const {
        QFile log(path("access.log"));
        log.open(QIODevice::ReadOnly); // none yet: no lines
        return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    void stop() {
        process_.terminate();
        if (!process_.waitForFinished(10000))
            process_.kill();
        process_.waitForFinished(5000);
    }

    // Starts the server again after stop(), on the same port when it can; nothing when it runs.
    void start() {
        if (process_.state() != QProcess::NotRunning)
            return;
        for (int attempt = 0; attempt < 3; ++attempt) {
            port_ = attempt == 0 && port_ ? port_ : freePort(); // the same address again if it is free
            writeConfiguration();
            QFile::remove(path("error.log"));
            process_.setProcessChannelMode(QProcess::ForwardedChannels);
            startTethered(process_, QStringLiteral("apache2"),
                          {QStringLiteral("-f"), path("httpd.conf"), QStringLiteral("-DFOREGROUND")});
            if (!process_.waitForStarted(10000))
                qFatal("apache2 did not start: %s", qPrintable(process_.errorString()));
            if (waitUntilListening())
                return;
            stop(); // most likely the port was taken in between: another one
        }
        QFile log(path("error.log"));
        log.open(QIODevice::ReadOnly);
        qFatal("apache2 did not come up: %s", log.readAll().constData());
    }

private:
    QString path(const QString& relative) const { return dir_.filePath(relative); }

    // Gives files and folders to the user Apache serves as, when that is not ours.
    void giveToServer(const QStringList& files) const {
        const QStringList arguments = QStringList{QStringLiteral("-R"), user_ + u':'} + files;
        if (!user_.isEmpty() && QProcess::execute(QStringLiteral("chown"), arguments) != 0)
            qFatal("cannot give %s to the server's user", qPrintable(files.join(u' ')));
    }

    static int freePort() {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            qFatal("no free loopback port");
        return probe.serverPort();
    }

    bool waitUntilListening() {
        const auto listeningOrGone = [this] {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, quint16(port_));
            return process_.state() == QProcess::NotRunning || socket.waitForConnected(100);
        };
        return QTest::qWaitFor(listeningOrGone, 30000) && process_.state() != QProcess::NotRunning;
    }

    void writeConfiguration() {
        QString conf = QStringLiteral("ServerRoot \"%1\"\nListen 127.0.0.1:%2\nServerName 127.0.0.1\n"
                                      "PidFile \"%3\"\nErrorLog \"%4\"\nLogLevel warn\n")
                           .arg(dir_.path(), QString::number(port_), path("httpd.pid"), path("error.log"));
        if (!user_.isEmpty())
            conf += QStringLiteral("User %1\nGroup %1\n").arg(user_);
        for (const char* module : {"mpm_event", "authz_core", "authn_core", "authn_file", "auth_basic",
                                   "authz_user", "dav", "dav_fs", "headers"})
            conf += QStringLiteral("LoadModule %1_module /usr/lib/apache2/modules/mod_%1.so\n")
                        .arg(QLatin1String(module));
        conf += QStringLiteral("LogFormat \"%m %U %>s\" short\nCustomLog \"%1\" short\nDavLockDB \"%2\"\n"
                               "DocumentRoot \"%3\"\nFileETag Digest\nKeepAliveTimeout 2\nTimeout 20\n"
                               "<Directory \"%3\">\n  Dav On\n  AuthType Basic\n  AuthName dav\n"
                               "  AuthUserFile \"%4\"\n  Require valid-user\n</Directory>\n"
                               "<Location /lax>\n  RequestHeader unset If-Match\n</Location>\n"
                               "<Location /nc/status.php>\n  Dav Off\n  Require all granted\n</Location>\n")
                    .arg(path("access.log"), path("lock/davlock"), path("www"), path("htpasswd"));
        writeFileOrFail(path("httpd.conf"), conf.toUtf8());
    }

    QTemporaryDir dir_;
    QProcess process_;
    QString user_; // the server's user when it differs from ours
    int port_ = 0;
};
