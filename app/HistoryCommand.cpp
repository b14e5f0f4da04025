// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HistoryCommand.h"

#include "app/ListCommands.h"
#include "app/SingleInstance.h"
#include "radio/SongHistory.h"

#include <QTextStream>

QString HistoryCommand::filePath(const QString& supportFolder) {
    return supportFolder + QStringLiteral("/songHistory.dat");
}

std::optional<QString> HistoryCommand::answer(SongHistory& history, const QString& request) {
    if (request != kRequest)
        return std::nullopt;
    history.flush();
    return QStringLiteral("ok");
}

int HistoryCommand::run(const CommandLine& options, QTextStream& out, QTextStream& err) {
    SingleInstance(QStringLiteral("ostrel-radio")).sendToRunning(kRequest); // none running: the file is current
    QString error;
    const std::optional<SongList> songs = SongHistory::read(filePath(ListCommands::supportFolder()), &error);
    if (!songs) {
        err << tr("The song history cannot be read (%1).").arg(error) << Qt::endl;
        return 1;
    }
    for (const SongEntry& song : songs->first(std::min<qsizetype>(options.historyCount, songs->size())))
        out << SongHistory::line(song) << u'\n';
    out.flush();
    return 0;
}
