// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Tether.h"

#include <QStringList>

// The misbehaving stream server (tools/media/faultstream.py) looping a file; the query picks the fault.
class FaultStreamServer {
public:
    explicit FaultStreamServer(const QString& audioFile)
        : server_("tools/media/faultstream.py",
                  {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--audio"), audioFile},
                  [this](const QString& line) {
                      if (line.startsWith(QLatin1String("CONNECTION ")))
                          requests_.append(line.mid(11));
                  }) {}

    // A stream address; `query` as faultstream.py reads it ("close_after=40000&times=1").
    QUrl url(const QString& query = QString()) const {
        QUrl url = server_.url(QStringLiteral("/stream.mp3"));
        if (!query.isEmpty())
            url.setQuery(query, QUrl::StrictMode);
        return url;
    }

    // Requests received for `url` so far (needs the event loop to run).
    int connections(const QUrl& url) const {
        const QString path = url.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::FullyEncoded);
        return int(requests_.count(path));
    }

private:
    QStringList requests_;
    ScriptServer server_;
};
