// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <string_view>

// Rules for text and addresses that come from outside: the directory, streams, cloud servers.
class QUrl;

namespace remote {

// Log lines built from remote data keep at most this many characters of it.
constexpr qsizetype kLogLimit = 300;

// `text` for a log line or a terminal: control characters become spaces, and past `limit`
// characters it is cut and ends in "…".
QString forLog(QStringView text, qsizetype limit = kLogLimit);
QString forLog(std::string_view utf8, qsizetype limit = kLogLimit);

// True for an absolute http or https address with a host: the only kind handed to the network
// stack as a stream. Other schemes (file, fd, udp, smb, v4l2, GIO's) would reach local files,
// descriptors or devices.
bool isWebAddress(const QUrl& url);
bool isWebAddress(QStringView address);
bool isWebAddress(std::string_view utf8);

// A directory server as the user or a discovery reply may name it: a host name, or an http or
// https base address with a host.
bool isServerAddress(const QString& value);

// True when `host` names a loopback, private, link-local or unique-local address (or
// "localhost"): places a remote entry must not make us fetch from.
bool isLocalNetworkHost(const QString& host);

} // namespace remote
