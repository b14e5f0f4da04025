// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtNetwork>

// A TCP proxy on a free loopback port in front of another local server, whose line can be cut:
// cut() closes every connection and refuses new ones until restore(), as a server gone from the
// network looks to the client. Runs on the thread's event loop.
class CuttableProxy : public QObject {
public:
    explicit CuttableProxy(quint16 upstreamPort) : upstream_(upstreamPort) {
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
        connect(client, &QTcpSocket::readyRead, server, [client, server] { server->write(client->readAll()); });
        connect(server, &QTcpSocket::readyRead, client, [client, server] { client->write(server->readAll()); });
        connect(server, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    }

    QTcpServer server_;
    quint16 upstream_;
    quint16 port_ = 0;
};
