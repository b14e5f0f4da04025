// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "util/SettingsKeys.h"

#include <QSettings>
#include <QVariantMap>
#include <memory>

// The user's settings with registered defaults: a key never written reads as its registered
// value, which is itself never written to the file.
class UserDefaults {
public:
    // Settings in the desktop's usual place for this application.
    UserDefaults();
    // Settings in one INI file (tests, and users who keep several profiles).
    explicit UserDefaults(const QString& iniPath);

    void registerDefaults(const QVariantMap& defaults);
    QVariant value(const QString& key) const;
    QString string(const QString& key) const { return value(key).toString(); }
    double doubleValue(const QString& key) const { return value(key).toDouble(); }
    qint64 integer(const QString& key) const { return value(key).toLongLong(); }
    bool contains(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);
    void sync();

private:
    std::unique_ptr<QSettings> settings_;
    QVariantMap defaults_;
};
