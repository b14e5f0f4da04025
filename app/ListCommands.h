// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QString>
#include <optional>

class QTextStream;
class RadioBrowser;

// --add-station, --import and --export. The command-line process does the slow part itself
// (probing the address, reading the file), then hands the stations to the running player over
// the single-instance socket, so that its lists, its windows and the cloud see the change at
// once. When no player runs it changes the list files directly; the cloud record then gets the
// list with the player's next save of it.
class ListCommands {
    Q_DECLARE_TR_FUNCTIONS(ListCommands)
public:
    // In a QCoreApplication of its own; 0 done, 1 could not (one line on `err`).
    static int run(const CommandLine& options, QTextStream& out, QTextStream& err);

    // The player's answer to a request of these commands, or nothing for other requests.
    static std::optional<QString> answer(RadioBrowser& api, const QString& request);

    // Where the player keeps its lists.
    static QString supportFolder();
};
