// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

// Finding the directory's API servers. The directory asks its clients to look them up in DNS,
// as the SRV records of _api._tcp under its domain; the list it serves at /json/servers is the
// fall-back. A discovery host of our own (a mirror, a test server) is asked directly.
namespace serverdiscovery {

inline const QString kDefaultHost = QStringLiteral("all.api.radio-browser.info");
inline const QString kSrvName = QStringLiteral("_api._tcp.radio-browser.info");

struct SrvRecord {
    QString target;
    quint16 port = 0;
    quint16 priority = 0;
    quint16 weight = 0;
};

using SrvCompletion = std::function<void(QList<SrvRecord> records, QString error)>;
// Looks up the SRV records of a name and calls back once, on the main thread, never before it
// returns; not at all once `context` is gone.
using SrvLookup = std::function<void(const QString& name, QObject* context, SrvCompletion done)>;
using ServersCompletion = std::function<void(QStringList servers, QString error)>;
// Asks a discovery host for its list of servers.
using FetchList = std::function<void(ServersCompletion done)>;

// The lookup through the system's resolver (QDnsLookup).
SrvLookup dnsLookup();

// The name to look up for a discovery host: the SRV name for the directory's own host, none
// for any other (an address, a mirror).
QString srvNameFor(const QString& discoveryHost);

// The servers of SRV records, in the order to try them (lowest priority first, then the
// heaviest weight), each once, as server names: "host" for port 443, else "https://host:port".
// Targets that cannot name a server are dropped.
QStringList serverNames(QList<SrvRecord> records);

// The servers from DNS when the discovery host is the directory's own and DNS names any, else
// those of `fetchList`.
void discover(const QString& discoveryHost, const SrvLookup& lookup, QObject* context, FetchList fetchList,
              ServersCompletion done);

} // namespace serverdiscovery
