// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/ServerFailover.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDirectory)

ServerFailover::ServerFailover(HttpFetcher* http, Discover discover, QObject* parent)
    : QObject(parent), http_(http), discover_(std::move(discover)) {}

namespace {
bool failed(const HttpFetcher::Reply& reply) {
    return reply.stale || HttpFetcher::isServerFailure(reply);
}
} // namespace

void ServerFailover::get(const QString& server, UrlFor urlFor, HttpFetcher::CachePolicy policy,
                         HttpFetcher::Callback callback) {
    send(server, std::move(urlFor),
         [this, policy](const QUrl& url, HttpFetcher::Callback done) { http_->get(url, policy, std::move(done)); },
         std::move(callback));
}

void ServerFailover::post(const QString& server, UrlFor urlFor, const QByteArray& form,
                          HttpFetcher::Callback callback) {
    send(server, std::move(urlFor),
         [this, form](const QUrl& url, HttpFetcher::Callback done) { http_->post(url, form, std::move(done)); },
         std::move(callback));
}

void ServerFailover::send(const QString& server, UrlFor urlFor, Send send, HttpFetcher::Callback callback) {
    send(urlFor(server), [this, server, urlFor, send, callback](HttpFetcher::Reply reply) {
        if (!failed(reply) || !discover_) {
            callback(std::move(reply));
            return;
        }
        discover_([this, server, urlFor, send, callback, first = std::move(reply)](const QStringList& servers) {
            QString other;
            for (const QString& candidate : servers) {
                if (candidate.compare(server, Qt::CaseInsensitive) != 0) {
                    other = candidate;
                    break;
                }
            }
            if (other.isEmpty()) {
                callback(first);
                return;
            }
            send(urlFor(other), [this, server, other, callback, first](HttpFetcher::Reply second) {
                if (failed(second)) {
                    // Every server we tried is down: the first error says it best, but a stored
                    // copy of either answer is better still.
                    callback(!first.stale && second.stale ? std::move(second) : first);
                    return;
                }
                if (replacement_ != other) {
                    replacement_ = other;
                    qCInfo(lcDirectory, "Server %s failed, using %s for this run", qUtf8Printable(server),
                           qUtf8Printable(other));
                    Q_EMIT serverReplaced(server, other);
                }
                callback(std::move(second));
            });
        });
    });
}
