#include "app/CommandLine.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    const CommandLine commandLine = CommandLine::parse(arguments);
    switch (commandLine.action) {
    case CommandLine::Action::ShowVersion:
    case CommandLine::Action::ShowHelp:
        std::fputs(qPrintable(commandLine.message + u'\n'), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fputs(qPrintable(commandLine.message + u'\n'), stderr);
        return 2;
    case CommandLine::Action::Run:
        break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ostrel Radio"));
    QApplication::setQuitOnLastWindowClosed(false);
    return QApplication::exec();
}
