// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "app/HistoryCommand.h"
#include "app/ListCommands.h"
#include "app/SingleInstance.h"
#include "app/Translations.h"
#include "directory/cloud/CloudSetup.h"
#include "directory/cloud/KeychainCredentialStore.h"
#include "util/HttpTransport.h"
#include "util/UserDefaults.h"
#include "version.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLocale>
#include <QProcess>
#include <QThread>
#include <QSocketNotifier>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2];

// SIGTERM and SIGINT end the event loop like Quit does, so everything is closed properly.
void installQuitOnSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] { QApplication::quit(); });
    struct sigaction action {};
    action.sa_handler = [](int) {
        const char byte = 1;
        [[maybe_unused]] const auto written = ::write(signalPipe[0], &byte, 1);
    };
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// A directory look-up may take a while; the answer says the command was carried out.
constexpr int kCommandAnswerWaitMs = 30000;

// "ok", or "error TEXT": TEXT is the one line the user gets.
int reportOutcome(const QString& answer) {
    if (!answer.startsWith(QLatin1String("error ")))
        return 0;
    std::fputs(qPrintable(answer.mid(6) + u'\n'), stderr);
    return 1;
}

// A playback command goes to the running player; when none runs, one is started quietly in
// the tray, as at login, and the command goes to it once it listens.
int sendPlayerCommand(const CommandLine& options) {
    SingleInstance instance(QStringLiteral("ostrel-radio"));
    const QString request = PlayerCommands::toRequest(*options.command);
    QString answer;
    if (instance.sendToRunning(request, &answer, kCommandAnswerWaitMs))
        return reportOutcome(answer);
    QStringList arguments{QStringLiteral("--autostart")};
    if (!options.server.isEmpty())
        arguments << QStringLiteral("--server") << options.server;
    if (!options.discovery.isEmpty())
        arguments << QStringLiteral("--discovery") << options.discovery;
    // Quietly: its log lines would otherwise come up later in this terminal, or fill a caller's pipe.
    QProcess player;
    player.setProgram(QCoreApplication::applicationFilePath());
    player.setArguments(arguments);
    player.setStandardInputFile(QProcess::nullDevice());
    player.setStandardOutputFile(QProcess::nullDevice());
    player.setStandardErrorFile(QProcess::nullDevice());
    if (!player.startDetached()) {
        std::fputs(qPrintable(QCoreApplication::translate("CommandLine", "Ostrel Radio could not be started.") + u'\n'),
                   stderr);
        return 1;
    }
    // Its socket comes up once the player has restored its station and lists.
    for (QDeadlineTimer deadline(60000); !deadline.hasExpired(); QThread::msleep(100))
        if (instance.sendToRunning(request, &answer, kCommandAnswerWaitMs))
            return reportOutcome(answer);
    std::fputs(qPrintable(QCoreApplication::translate("CommandLine", "Ostrel Radio did not start in time.") + u'\n'),
               stderr);
    return 1;
}
} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    CommandLine options = CommandLine::parse(arguments);
    switch (options.action) {
    case CommandLine::Action::ShowVersion:
    case CommandLine::Action::ShowHelp:
    case CommandLine::Action::Error: {
        // Only text to print: an application object without a display carries the user's
        // language, and the texts are made again in it. Its name is the usage line's.
        char name[] = "ostrel-radio";
        char* textArguments[] = {name, nullptr};
        int textCount = 1;
        QCoreApplication app(textCount, textArguments);
        translations::install(app, QLocale());
        options = CommandLine::parse(arguments);
        const bool error = options.action == CommandLine::Action::Error;
        std::fputs(qPrintable(options.message + u'\n'), error ? stderr : stdout);
        return error ? 2 : 0;
    }
    case CommandLine::Action::ConfigureCloud: {
        QCoreApplication app(argc, argv); // the keyring answers over D-Bus: an event loop, no display
        QCoreApplication::setApplicationName(QStringLiteral("Ostrel Radio"));
        translations::install(app, QLocale());
        UserDefaults defaults;
        KeychainCredentialStore keyring;
        HttpTransport transport;
        QTextStream in(stdin);
        QTextStream out(stdout);
        return CloudSetup::configureFromCommandLine(options.cloudServer, options.cloudUser, in, out, transport,
                                                    defaults, keyring);
    }
    case CommandLine::Action::EditLists: {
        QCoreApplication app(argc, argv); // network and socket want an event loop, not a display
        QCoreApplication::setApplicationName(QStringLiteral("Ostrel Radio"));
        translations::install(app, QLocale());
        QTextStream out(stdout);
        QTextStream err(stderr);
        return ListCommands::run(options, out, err);
    }
    case CommandLine::Action::ShowHistory: {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Ostrel Radio"));
        translations::install(app, QLocale());
        QTextStream out(stdout);
        QTextStream err(stderr);
        return HistoryCommand::run(options, out, err);
    }
    case CommandLine::Action::Run:
        break;
    }

    if (options.command) {
        // Only a message to pass on: no display needed here, the player has its own.
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Ostrel Radio"));
        translations::install(app, QLocale());
        return sendPlayerCommand(options);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ostrel Radio"));
    QApplication::setApplicationVersion(QStringLiteral(OSTREL_VERSION_SHORT));
    QApplication::setDesktopFileName(QStringLiteral("org.ostrel.Radio"));
    QApplication::setQuitOnLastWindowClosed(false);
    translations::install(app, QLocale());

    SingleInstance instance(QStringLiteral("ostrel-radio"));
    const QString request = options.quit     ? QStringLiteral("quit")
                            : options.status ? QStringLiteral("status")
                            : options.show   ? QStringLiteral("show")
                                             : QString();
    QString answer;
    if (instance.sendToRunning(request, &answer)) {
        if (options.status)
            std::fputs(qPrintable(answer + u'\n'), stdout);
        return 0;
    }
    if (options.quit)
        return 0; // nothing runs that could quit
    if (options.status) {
        std::fputs("Ostrel Radio is not running.\n", stderr);
        return 1;
    }

    AppDelegate delegate(options);
    delegate.applicationWillFinishLaunching();
    delegate.applicationDidFinishLaunching();
    instance.listen();
    if (!instance.problem().isEmpty()) // one line: why this instance runs beside another, or alone unreachable
        std::fputs(qPrintable(QStringLiteral("Ostrel Radio: ") + instance.problem() + u'\n'), stderr);
    instance.setResponder([&delegate](const QString& r, const SingleInstance::Reply& reply) {
        delegate.handleRequest(r, reply);
    });
    installQuitOnSignals();
    return QApplication::exec();
}
