// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtNetwork>

// A TCP proxy on a free loopback port in front of another local server, whose line can be cut:
// cut() closes every connection and refuses new ones until restore(), as a server gone from the
// network looks to the client. With a `delay`, every request is passed on only after it: a slow
// server. Runs on the thread's event loop.
class CuttableProxy : public QObject {
public:
    explicit CuttableProxy(quint16 upstreamPort, std::chrono::milliseconds delay = {})
        : upstream_(upstreamPort), delay_(delay) {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = server_.nextPendingConnection())
                relay(client);
        });
        if (!server_.listen(QHostAddress::LocalHost))
            qFatal("the proxy cannot listen");
        port_ = server_.serverPort();
    }

    QUrl url(const QUrl& upstreamUrl) const {
        QUrl url = upstreamUrl;
        url.setPort(port_);
        return url;
    }

    void cut() {
        server_.close();
        for (QTcpSocket* client : findChildren<QTcpSocket*>(Qt::FindDirectChildrenOnly))
            client->abort(), client->deleteLater();
    }
    // Listens on the same port again.
    bool restore() { return server_.listen(QHostAddress::LocalHost, port_); }

private:
    void relay(QTcpSocket* client) {
        client->setParent(this);
        auto* server = new QTcpSocket(client);
        server->connectToHost(QHostAddress::LocalHost, upstream_);
        connect(client, &QTcpSocket::readyRead, server, [this, client, server] {
            if (delay_.count() == 0)
                server->write(client->readAll());
            else // timers of one interval fire in the order started: the bytes keep theirs
                QTimer::singleShot(delay_, server, [server, bytes = client->readAll()] { server->write(bytes); });
        });
        connect(server, &QTcpSocket::readyRead, client, [client, server] { client->write(server->readAll()); });
        connect(server, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    }

    QTcpServer server_;
    quint16 upstream_;
    std::chrono::milliseconds delay_;
    quint16 port_ = 0;
};
