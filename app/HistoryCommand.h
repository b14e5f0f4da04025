// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QString>
#include <optional>

class QTextStream;
class SongHistory;

// --history [N]. A running player holds songs not yet written: asked over the single-instance
// socket, it writes them out first. Then the file is read here, in any case, so the answer is
// as long as asked for, whatever the socket's limit.
class HistoryCommand {
    Q_DECLARE_TR_FUNCTIONS(HistoryCommand)
public:
    static inline const QString kRequest = QStringLiteral("history");

    // In a QCoreApplication of its own; 0 done, 1 could not (one line on `err`).
    static int run(const CommandLine& options, QTextStream& out, QTextStream& err);
    // The player's answer to the request, or nothing for other requests.
    static std::optional<QString> answer(SongHistory& history, const QString& request);
    // The history file in the support folder.
    static QString filePath(const QString& supportFolder);
};
