// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/ServerChoice.h"

#include "directory/RadioBrowser.h"
#include "radio/PopoverView.h"
#include "radio/RadioViewController.h"
#include "util/RemoteText.h"

#include <QLoggingCategory>
#include <QPointer>

#include <algorithm>

Q_DECLARE_LOGGING_CATEGORY(lcRadio)

ServerChoice::ServerChoice(RadioBrowser& api, PopoverView& view, QObject* parent)
    : QObject(parent), api_(api), view_(view) {}

void ServerChoice::refresh() {
    QPointer<ServerChoice> self(this);
    api_.requestServers([self](Expected<QStringList> servers) {
        if (!self)
            return;
        const QString current = self->api_.server();
        // The directory's own round-robin name is in no server list, but always a good choice.
        QList<PopoverView::ServerItem> items{{tr("Any server (%1)").arg(RadioBrowser::kDefaultServer), RadioBrowser::kDefaultServer}};
        if (!servers.ok())
            qCWarning(lcRadio, "%s [%s]", "requestServers", qUtf8Printable(remote::forLog(servers.error().message)));
        for (const QString& name : servers.valueOr({}))
            items.append({name, name});
        const auto match = std::find_if(items.cbegin(), items.cend(), [&](const auto& item) { return item.server == current; });
        const int selected = match == items.cend() ? int(items.size()) : int(match - items.cbegin());
        if (match == items.cend())
            items.append({RadioViewController::kWarningPrefix + current, QString()}); // chooses nothing
        self->view_.setServers(items, selected);
    });
}

void ServerChoice::choose(const QString& server) {
    if (server.isEmpty())
        return;
    api_.setServer(server);
    refresh();
}
