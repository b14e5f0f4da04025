// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Tether.h"
#include "ui/IconLoader.h"
#include "util/HttpTransport.h"

// The local icon server (tests/ui/icon_server.py) for the life of this object.
class IconServer {
public:
    QUrl url(const QString& pathAndQuery) const { return server_.url(pathAndQuery); }
    // Requests whose path starts with `prefix` since the last reset.
    int requestCount(const QString& prefix) {
        return server_.call(QStringLiteral("/_control/count?prefix=") + QString::fromLatin1(QUrl::toPercentEncoding(prefix)))
            .toInt();
    }
    void reset() { server_.call(QStringLiteral("/_control/reset")); }
    // Loaders refuse loopback addresses unless told otherwise.
    static void allowFetching(IconLoader& loader, IconLoader::Limits limits = {}) {
        limits.fetchLocalNetwork = true;
        loader.setLimits(limits);
    }

private:
    ScriptServer server_{"tests/ui/icon_server.py", {QStringLiteral("--port"), QStringLiteral("0")}};
};
