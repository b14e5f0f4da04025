#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. Parsed before any application object exists, so that
// --version and --help work without a display.
struct CommandLine {
    enum class Action { Run, ShowVersion, ShowHelp, Error };

    Action action = Action::Run;
    QString message; // the text to print for ShowVersion, ShowHelp and Error

    static CommandLine parse(const QStringList& arguments);
};
