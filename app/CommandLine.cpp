#include "app/CommandLine.h"

#include "util/TextUtils.h"

#include <QCommandLineParser>

CommandLine CommandLine::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Ostrel Radio: internet radio from the system tray."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.action = Action::Error;
        result.message = parser.errorText() + QStringLiteral("\nTry '--help' for the list of options.");
    } else if (parser.isSet(help)) {
        result.action = Action::ShowHelp;
        result.message = parser.helpText();
    } else if (parser.isSet(version)) {
        result.action = Action::ShowVersion;
        result.message = QStringLiteral("Ostrel Radio %1").arg(text::appVersion());
    } else if (!parser.positionalArguments().isEmpty()) {
        result.action = Action::Error;
        result.message = QStringLiteral("Unexpected argument '%1'.\nTry '--help' for the list of options.")
                             .arg(parser.positionalArguments().first());
    }
    return result;
}
