#include "app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent), name_(name) {}

bool SingleInstance::sendToRunning(const QString& request, QString* answer) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(500))
        return false;
    socket.write(request.toUtf8() + '\n');
    socket.flush();
    socket.waitForBytesWritten(1000);
    // The answer says the request arrived; it is one line.
    QByteArray line;
    while (!line.endsWith('\n') && socket.waitForReadyRead(2000))
        line += socket.readAll();
    if (answer)
        *answer = QString::fromUtf8(line).trimmed();
    return true;
}

bool SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // A socket left behind by a crashed instance: nobody answered on it above.
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_))
            return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                const QString request = QString::fromUtf8(socket->readLine()).trimmed();
                const QString answer = responder_ ? responder_(request) : QStringLiteral("ok");
                socket->write(answer.toUtf8() + '\n');
                socket->flush();
            });
        }
    });
    return true;
}
