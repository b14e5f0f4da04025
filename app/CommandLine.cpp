// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include "directory/PlaylistWriter.h"
#include "util/RemoteText.h"
#include "util/TextUtils.h"

#include <QCommandLineParser>

CommandLine CommandLine::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(tr("Ostrel Radio: internet radio from the system tray."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  tr("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     tr("Show the version and exit."));
    const QCommandLineOption server(QStringLiteral("server"),
                                    tr("Use this directory server for this run: a host name, or an "
                                       "http:// or https:// address with a port."),
                                    QStringLiteral("URL"));
    const QCommandLineOption discovery(QStringLiteral("discovery"),
                                       tr("Ask this host or address for the list of directory servers."),
                                       QStringLiteral("URL"));
    const QCommandLineOption show(QStringLiteral("show"),
                                  tr("Open the player (also in a running Ostrel Radio)."));
    const QCommandLineOption quit(QStringLiteral("quit"), tr("Quit the running Ostrel Radio."));
    const QCommandLineOption status(
        QStringLiteral("status"),
        QCoreApplication::translate(
            "CommandLine",
            "Print what the running Ostrel Radio shows (station, title, status line) as JSON."));
    const QCommandLineOption autostart(QStringLiteral("autostart"),
                                       tr("Start quietly in the tray, as at login."));
    const QCommandLineOption configureCloud(
        QStringLiteral("configure-cloud"),
        QCoreApplication::translate(
            "CommandLine", "Set up cloud sync with the WebDAV folder or Nextcloud server at URL for the user "
                           "named after it; the password is read from standard input. Then exit."),
        QStringLiteral("URL"));
    const QCommandLineOption addStation(
        QStringLiteral("add-station"),
        tr("Add the stream or playlist at URL to the favourites as a station of your own."), QStringLiteral("URL"));
    const QCommandLineOption name(QStringLiteral("name"), tr("The name of the station added with --add-station."),
                                  QStringLiteral("NAME"));
    const QCommandLineOption importList(
        QStringLiteral("import"), tr("Add the stations of an M3U, PLS or XSPF playlist file to the favourites."),
        QStringLiteral("FILE"));
    const QCommandLineOption exportList(
        QStringLiteral("export"), tr("Write the favourites to FILE as an M3U (.m3u, .m3u8) or PLS (.pls) playlist."),
        QStringLiteral("FILE"));
    // Playback in the running Ostrel Radio, or in one started quietly in the tray.
    const QCommandLineOption play(
        QStringLiteral("play"),
        tr("Play STATION: a favourite's or recent station's name (the first that matches, case and accents "
           "aside), a station identifier, or the http:// or https:// address of a stream or playlist (played "
           "once, not added to a list). Without STATION, play the loaded station."));
    const QCommandLineOption stop(QStringLiteral("stop"), tr("Stop playing."));
    const QCommandLineOption toggle(QStringLiteral("toggle"), tr("Play the loaded station, or stop it."));
    const QCommandLineOption next(QStringLiteral("next"), tr("Play the next favourite (after the last, the first)."));
    const QCommandLineOption previous(QStringLiteral("previous"),
                                      tr("Play the previous favourite (before the first, the last)."));
    const QCommandLineOption volume(QStringLiteral("volume"),
                                    tr("Set the volume to N (0 to 100), or change it by +N or -N."),
                                    QStringLiteral("N"));
    const QCommandLineOption record(
        QStringLiteral("record"),
        tr("Record the station playing into your music folder, or stop recording; \"--record start\" and "
           "\"--record stop\" say which."));
    const QCommandLineOption history(QStringLiteral("history"),
                                     tr("Print the songs heard last, newest first, as lines \"time, station, title\": "
                                        "20, or the number given after it (--history 50)."));
    parser.addPositionalArgument(QStringLiteral("USER"), tr("The cloud user, with --configure-cloud."),
                                 QStringLiteral("[USER]"));
    parser.addPositionalArgument(QStringLiteral("STATION"), tr("The station to play, with --play."),
                                 QStringLiteral("[STATION]"));
    for (const QCommandLineOption* option : {&help, &version, &server, &discovery, &show, &quit, &status, &autostart,
                                             &configureCloud, &addStation, &name, &importList, &exportList, &play,
                                             &stop, &toggle, &next, &previous, &volume, &record, &history})
        parser.addOption(*option);
    using Kind = PlayerCommands::Kind;
    const std::pair<const QCommandLineOption*, Kind> commands[] = {
        {&play, Kind::Play}, {&stop, Kind::Stop},         {&toggle, Kind::Toggle},
        {&next, Kind::Next}, {&previous, Kind::Previous}, {&volume, Kind::Volume}, {&record, Kind::Record}};

    CommandLine result;
    const bool parsed = parser.parse(arguments);
    QString badServer; // the first directory address given that is none
    QStringList commandNames; // the playback commands given
    std::optional<PlayerCommands::Command> command;
    for (const auto& [option, kind] : commands)
        if (parsed && parser.isSet(*option)) {
            commandNames << QStringLiteral("--") + option->names().first();
            command = PlayerCommands::Command{kind, kind == Kind::Volume ? parser.value(*option) : QString()};
        }
    for (const QCommandLineOption* option : {&server, &discovery})
        if (parsed && badServer.isNull() && parser.isSet(*option) && !remote::isServerAddress(parser.value(*option)))
            badServer = parser.value(*option);
    if (!parsed) {
        result.action = Action::Error;
        result.message = parser.errorText() + QCoreApplication::translate(
                                                  "CommandLine", "\nTry '--help' for the list of options.");
    } else if (parser.isSet(help)) {
        result.action = Action::ShowHelp;
        // Without an application object (the first parse) the usage line names no program.
        result.message = parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("ostrel-radio"));
    } else if (parser.isSet(version)) {
        result.action = Action::ShowVersion;
        result.message = QStringLiteral("Ostrel Radio %1").arg(text::appVersion());
    } else if (!badServer.isNull()) {
        result.action = Action::Error;
        result.message = QCoreApplication::translate(
                             "CommandLine", "'%1' is neither a host name nor an http:// or https:// address.")
                             .arg(badServer);
    } else if (parser.isSet(configureCloud)) {
        if (parser.positionalArguments().size() != 1) {
            result.action = Action::Error;
            result.message = QCoreApplication::translate(
                "CommandLine", "--configure-cloud takes a server address and a user name: "
                               "ostrel-radio --configure-cloud URL USER");
        } else {
            result.action = Action::ConfigureCloud;
            result.cloudServer = parser.value(configureCloud);
            result.cloudUser = parser.positionalArguments().first();
        }
    } else if (parser.isSet(history)) {
        const QStringList rest = parser.positionalArguments();
        bool number = true;
        const int count = rest.isEmpty() ? 20 : rest.first().toInt(&number);
        if (rest.size() > 1 || !number || count < 1) {
            result.action = Action::Error;
            result.message = tr("--history takes one number of songs, 1 or more: ostrel-radio --history 20");
        } else {
            result.action = Action::ShowHistory;
            result.historyCount = count;
        }
    } else if (int(parser.isSet(addStation)) + int(parser.isSet(importList)) + int(parser.isSet(exportList)) > 1) {
        result.action = Action::Error;
        result.message = tr("--add-station, --import and --export go one at a time.");
    } else if (parser.isSet(name) && !parser.isSet(addStation)) {
        result.action = Action::Error;
        result.message = tr("--name goes with --add-station.");
    } else if (parser.isSet(exportList) &&
               playlistwriter::formatForFileName(parser.value(exportList)) == playlistwriter::Format::None) {
        result.action = Action::Error;
        result.message = tr("--export writes .m3u, .m3u8 or .pls files; '%1' is none of them.").arg(parser.value(exportList));
    } else if (parser.isSet(addStation) || parser.isSet(importList) || parser.isSet(exportList)) {
        if (!parser.positionalArguments().isEmpty()) {
            result.action = Action::Error;
            result.message = tr("Unexpected argument '%1'.\nTry '--help' for the list of options.")
                                 .arg(parser.positionalArguments().first());
        } else {
            result.action = Action::EditLists;
            result.addStation = parser.value(addStation);
            result.stationName = parser.value(name);
            result.importFile = parser.value(importList);
            result.exportFile = parser.value(exportList);
        }
    } else if (commandNames.size() > 1) {
        result.action = Action::Error;
        result.message = tr("%1 cannot go together: give one at a time.").arg(commandNames.join(QStringLiteral(", ")));
    } else if (command && command->kind == Kind::Volume && !PlayerCommands::parseVolume(command->argument)) {
        result.action = Action::Error;
        result.message = tr("'%1' is no volume: give a number from 0 to 100, or +N or -N to change it.")
                             .arg(command->argument);
    } else if (command && command->kind == Kind::Record) {
        const QStringList rest = parser.positionalArguments();
        if (rest.size() > 1 || (rest.size() == 1 && rest.first() != u"start" && rest.first() != u"stop")) {
            result.action = Action::Error;
            result.message = tr("--record takes start or stop, or nothing to switch recording on or off.");
        } else {
            command->argument = rest.value(0);
        }
    } else if (command && command->kind == Kind::Play) {
        // The words of an unquoted name are its name.
        command->argument = parser.positionalArguments().join(u' ');
    } else if (!parser.positionalArguments().isEmpty()) {
        result.action = Action::Error;
        result.message = tr("Unexpected argument '%1'.\nTry '--help' for the list of options.")
                             .arg(parser.positionalArguments().first());
    }
    result.server = parser.value(server);
    result.discovery = parser.value(discovery);
    result.show = parser.isSet(show);
    result.quit = parser.isSet(quit);
    result.status = parser.isSet(status);
    result.autostart = parser.isSet(autostart);
    if (command && result.action == Action::Run)
        result.command = command;
    return result;
}
