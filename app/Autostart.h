// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

// "Start at login": a desktop entry in the user's autostart folder
// ($XDG_CONFIG_HOME/autostart, ~/.config/autostart when unset) that launches the player with
// --autostart, so it comes up quietly in the tray.
class Autostart {
    Q_DECLARE_TR_FUNCTIONS(Autostart)
public:
    static inline const QString kFileName = QStringLiteral("org.ostrel.Radio.desktop");

    // `program`: what the entry runs; a bare name is looked up in PATH at login.
    explicit Autostart(QString program);

    static QString filePath();
    // The command for this executable: its bare name when PATH finds this very file, otherwise
    // its full path (a build folder, a private prefix).
    static QString programFor(const QString& executable);

    bool isEnabled() const;
    // Writes or removes the entry; false with `error` set when that fails.
    bool setEnabled(bool enabled, QString* error = nullptr) const;

private:
    QString program_;
};
