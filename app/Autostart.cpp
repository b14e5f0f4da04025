// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace {
// An Exec argument: in double quotes when it has reserved characters, with `"`, `` ` ``, `$`
// and `\` escaped; then, as for any value of the file, each `\` doubled and `%` written `%%`.
QString execArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString quoted = argument;
    if (std::any_of(argument.begin(), argument.end(), [](QChar c) { return reserved.contains(c); })) {
        for (const QChar c : {u'\\', u'"', u'`', u'$'})
            quoted.replace(c, QStringLiteral("\\") + c);
        quoted = QStringLiteral("\"%1\"").arg(quoted);
    }
    return quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\")).replace(u'%', QStringLiteral("%%"));
}
} // namespace

Autostart::Autostart(QString program)
    : program_(std::move(program)) {}

QString Autostart::filePath() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config)) // relative values are to be ignored
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/") + kFileName;
}

QString Autostart::programFor(const QString& executable) {
    const QFileInfo self(executable);
    const QString name = self.fileName();
    const QString found = QStandardPaths::findExecutable(name);
    if (!found.isEmpty() && QFileInfo(found).canonicalFilePath() == self.canonicalFilePath())
        return name;
    return self.absoluteFilePath();
}

bool Autostart::isEnabled() const {
    return QFileInfo::exists(filePath());
}

bool Autostart::setEnabled(bool enabled, QString* error) const {
    const QString path = filePath();
    if (!enabled) {
        if (!QFile::exists(path) || QFile::remove(path))
            return true;
        if (error)
            *error = tr("Could not remove %1.").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = tr("Could not write %1: %2").arg(path, file.errorString());
        return false;
    }
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Ostrel Radio\n"
                                         "Comment=Internet radio from the system tray\n"
                                         "Exec=%1 --autostart\n"
                                         "Icon=org.ostrel.Radio\n"
                                         "Terminal=false\n"
                                         "Categories=AudioVideo;Audio;Player;\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(execArgument(program_));
    file.write(entry.toUtf8());
    if (file.commit())
        return true;
    if (error)
        *error = tr("Could not write %1: %2").arg(path, file.errorString());
    return false;
}
