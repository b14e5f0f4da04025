// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/UserDefaults.h"

UserDefaults::UserDefaults()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Ostrel Radio"),
                                            QStringLiteral("Ostrel Radio"))) {}

UserDefaults::UserDefaults(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

void UserDefaults::registerDefaults(const QVariantMap& defaults) {
    for (auto it = defaults.begin(); it != defaults.end(); ++it)
        defaults_.insert(it.key(), it.value());
}

QVariant UserDefaults::value(const QString& key) const {
    return settings_->value(key, defaults_.value(key));
}

bool UserDefaults::contains(const QString& key) const {
    return settings_->contains(key) || defaults_.contains(key);
}

void UserDefaults::setValue(const QString& key, const QVariant& value) {
    settings_->setValue(key, value);
}

void UserDefaults::remove(const QString& key) {
    settings_->remove(key);
}

void UserDefaults::sync() {
    settings_->sync();
}
