// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtNetwork>

// A TCP proxy on a free loopback port in front of another local server, which passes every
// request on only after `delay`: a slow server, seen from the client, for the life of this
// object. Runs on the thread's event loop.
class DelayingProxy : public QObject {
public:
    DelayingProxy(quint16 upstreamPort, std::chrono::milliseconds delay) : upstream_(upstreamPort), delay_(delay) {
        if (!server_.listen(QHostAddress::LocalHost))
            qFatal("the proxy cannot listen");
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = server_.nextPendingConnection())
                relay(client);
        });
    }

    quint16 port() const { return server_.serverPort(); }

private:
    void relay(QTcpSocket* client) {
        auto* server = new QTcpSocket(client);
        server->connectToHost(QHostAddress::LocalHost, upstream_);
        connect(client, &QTcpSocket::readyRead, server, [this, client, server] {
            QTimer::singleShot(delay_, server, [server, bytes = client->readAll()] { server->write(bytes); });
        });
        connect(server, &QTcpSocket::readyRead, client, [client, server] { client->write(server->readAll()); });
        connect(server, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    }

    QTcpServer server_;
    quint16 upstream_;
    std::chrono::milliseconds delay_;
};
