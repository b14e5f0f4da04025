#pragma once

#include <QNetworkReply>
#include <QTimer>

namespace cloudlimits {

// Ends `reply` when it has taken `totalMs` in all, or sent more than `maxBytes`: a server that
// trickles or floods never holds a request open for ever. The reply then finishes with
// OperationCanceledError.
inline void limit(QNetworkReply* reply, int totalMs, qint64 maxBytes) {
    QTimer::singleShot(totalMs, reply, [reply] { reply->abort(); });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, maxBytes](qint64 received, qint64) {
                         if (received > maxBytes)
                             reply->abort();
                     });
}

} // namespace cloudlimits
