// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/PlayerCommands.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// What the command line asks for. Parsed before any application object exists, so that
// --version and --help work without a display.
struct CommandLine {
    enum class Action { Run, ShowVersion, ShowHelp, Error, ConfigureCloud, EditLists, ShowHistory };

    Action action = Action::Run;
    QString message;   // the text to print for ShowVersion, ShowHelp and Error
    QString server;    // directory server for this run (host or base URL), not stored
    QString discovery; // server-discovery host or base URL for this run
    bool show = false; // open the popover at start, or in the running instance
    bool quit = false; // ask the running instance to quit
    bool status = false; // print what the running instance shows, as JSON
    bool autostart = false; // started at login: stay in the tray, wait for the tray to come up
    // --play, --stop, --toggle, --next, --previous, --volume or --record, for the running instance (one
    // started in the tray when none runs)
    std::optional<PlayerCommands::Command> command;
    QString cloudServer; // --configure-cloud URL USER: set up cloud sync and exit
    QString cloudUser;
    // EditLists: one of these, done in the running player or, when none runs, on the list files
    QString addStation;  // --add-station URL [--name NAME]
    QString stationName;
    QString importFile;  // --import FILE
    QString exportFile;  // --export FILE (.m3u, .m3u8 or .pls)
    int historyCount = 20; // ShowHistory: --history [N], the newest N songs

    static CommandLine parse(const QStringList& arguments);

    Q_DECLARE_TR_FUNCTIONS(CommandLine) // tr() for its texts; last, as the macro ends in "private:"
};
