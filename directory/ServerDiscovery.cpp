// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/ServerDiscovery.h"

#include "util/RemoteText.h"

#include <QDnsLookup>
#include <QLoggingCategory>
#include <algorithm>

Q_DECLARE_LOGGING_CATEGORY(lcDirectory)

namespace serverdiscovery {

SrvLookup dnsLookup() {
    return [](const QString& name, QObject* context, SrvCompletion done) {
        auto* lookup = new QDnsLookup(QDnsLookup::SRV, name, context);
        QObject::connect(lookup, &QDnsLookup::finished, lookup, [lookup, done = std::move(done)] {
            lookup->deleteLater();
            QList<SrvRecord> records;
            for (const QDnsServiceRecord& record : lookup->serviceRecords())
                records.append({record.target(), record.port(), record.priority(), record.weight()});
            done(records, lookup->error() == QDnsLookup::NoError ? QString() : lookup->errorString());
        });
        lookup->lookup();
    };
}

QString srvNameFor(const QString& discoveryHost) {
    return discoveryHost.compare(kDefaultHost, Qt::CaseInsensitive) == 0 ? kSrvName : QString();
}

QStringList serverNames(QList<SrvRecord> records) {
    std::stable_sort(records.begin(), records.end(), [](const SrvRecord& a, const SrvRecord& b) {
        return a.priority != b.priority ? a.priority < b.priority : a.weight > b.weight;
    });
    QStringList names;
    for (const SrvRecord& record : records) {
        QString host = record.target.toLower();
        if (host.endsWith(u'.'))
            host.chop(1); // the root; "." alone says there is no such service
        if (host.isEmpty())
            continue;
        const QString name = record.port == 443 || record.port == 0
                                 ? host
                                 : QStringLiteral("https://%1:%2").arg(host).arg(record.port);
        if (remote::isServerAddress(name) && !names.contains(name))
            names.append(name);
    }
    return names;
}

void discover(const QString& discoveryHost, const SrvLookup& lookup, QObject* context, FetchList fetchList,
              ServersCompletion done) {
    const QString name = srvNameFor(discoveryHost);
    if (name.isEmpty() || !lookup) {
        fetchList(std::move(done));
        return;
    }
    lookup(name, context, [name, fetchList, done](const QList<SrvRecord>& records, const QString& error) {
        const QStringList servers = serverNames(records);
        if (!servers.isEmpty()) {
            done(servers, QString());
            return;
        }
        qCInfo(lcDirectory, "SRV lookup %s [%s]", qUtf8Printable(name),
               qUtf8Printable(error.isEmpty() ? QStringLiteral("no servers") : remote::forLog(error)));
        fetchList(done);
    });
}

} // namespace serverdiscovery
