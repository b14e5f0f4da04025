// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/HttpFetcher.h"

#include <QObject>
#include <QStringList>
#include <functional>

// Sends directory requests to a server and, when that server fails (refused, timed out, 5xx,
// a reply that is no JSON), once more to another server of the discovery list. The server that
// answered then takes over for the rest of the run; what the user chose stays stored as it is.
// A stored reply standing in for the failed server is a failure too, but beats an error when
// the other server fails as well.
class ServerFailover : public QObject {
    Q_OBJECT
public:
    using UrlFor = std::function<QUrl(const QString& server)>;
    using ServersCompletion = std::function<void(QStringList servers)>;
    using Discover = std::function<void(ServersCompletion)>;

    ServerFailover(HttpFetcher* http, Discover discover, QObject* parent = nullptr);

    // The server that took over from a failing one, or an empty text.
    QString replacement() const { return replacement_; }
    // The user picked a server: it is used again, whatever failed before.
    void clearReplacement() { replacement_.clear(); }

    // `server` is asked first; the callback gets its reply, the replacement's, or the first error.
    void get(const QString& server, UrlFor urlFor, HttpFetcher::CachePolicy policy, HttpFetcher::Callback callback);
    void post(const QString& server, UrlFor urlFor, const QByteArray& form, HttpFetcher::Callback callback);

Q_SIGNALS:
    void serverReplaced(const QString& failed, const QString& replacement);

private:
    using Send = std::function<void(const QUrl&, HttpFetcher::Callback)>;
    void send(const QString& server, UrlFor urlFor, Send send, HttpFetcher::Callback callback);

    HttpFetcher* http_;
    Discover discover_;
    QString replacement_;
};
