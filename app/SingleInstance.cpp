// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The user id of the process at the other end, or -1 when it cannot be told.
long peerUid(qintptr descriptor) {
    struct ucred credentials {};
    socklen_t size = sizeof credentials;
    if (descriptor < 0 || ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return -1;
    return long(credentials.uid);
}

bool isOurUser(qintptr descriptor) {
    return peerUid(descriptor) == long(::getuid());
}
} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent) {
    // Never a guessable name in a shared folder: Qt's runtime location is $XDG_RUNTIME_DIR, or a
    // folder it makes for this user alone and checks is 0700 and ours.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    path_ = QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(name + QStringLiteral(".socket"));
}

bool SingleInstance::sendToRunning(const QString& request, QString* answer, int answerWaitMs) {
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(500)) {
        const auto error = socket.error();
        if (error != QLocalSocket::ServerNotFoundError && error != QLocalSocket::ConnectionRefusedError)
            problem_ =
                QStringLiteral("%1 is no socket of a running instance (%2)").arg(path_, socket.errorString());
        return false;
    }
    if (!isOurUser(socket.socketDescriptor())) {
        problem_ = QStringLiteral("%1 belongs to another user; not talking to it").arg(path_);
        return false;
    }
    socket.write(request.toUtf8() + '\n');
    socket.flush();
    socket.waitForBytesWritten(1000);
    // The answer says the request arrived; it is one line, and never more than we care to read.
    QByteArray line;
    while (!line.contains('\n') && line.size() < kMaxAnswerBytes && socket.waitForReadyRead(answerWaitMs))
        line += socket.read(kMaxAnswerBytes - line.size());
    if (const qsizetype end = line.indexOf('\n'); end >= 0)
        line.truncate(end);
    if (answer) {
        QString text = QString::fromUtf8(line).trimmed();
        for (QChar& c : text)
            if (c.category() == QChar::Other_Control)
                c = u' ';
        *answer = text;
    }
    return true;
}

bool SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Nobody answered there above: whatever is in the way is a socket left by a crashed instance
    // or something else. The folder is the user's own, so it may go (Qt's listen() may already
    // take a file's place by itself).
    const QFileInfo there(path_);
    const bool occupied = there.exists() || there.isSymLink();
    if (!server_->listen(path_)) {
        if (occupied && !there.isDir())
            QLocalServer::removeServer(path_);
        if (!server_->listen(path_)) {
            problem_ = QStringLiteral("could not claim %1 (%2); later launches will not find this one")
                           .arg(path_, server_->errorString());
            return false;
        }
    }
    if (occupied && problem_.isEmpty())
        problem_ = QStringLiteral("nothing answered at %1; it is this instance's now").arg(path_);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (!isOurUser(socket->socketDescriptor())) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            socket->setReadBufferSize(kMaxRequestBytes);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
        }
    });
    return true;
}

void SingleInstance::answer(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() >= kMaxRequestBytes)
            socket->abort(); // no request is this long
        return;
    }
    const QString request = QString::fromUtf8(socket->readLine(kMaxRequestBytes + 1)).trimmed();
    // The asker may have gone by the time the answer is ready.
    const Reply reply = [socket = QPointer<QLocalSocket>(socket)](const QString& answer) {
        if (!socket)
            return;
        socket->write(answer.toUtf8() + '\n');
        socket->flush();
    };
    if (responder_)
        responder_(request, reply);
    else
        reply(QStringLiteral("ok"));
}
