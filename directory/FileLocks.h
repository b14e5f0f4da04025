// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHashFunctions>
#include <QMutex>
#include <QString>
#include <memory>
#include <unordered_map>

// One lock per file path, so that writes of one file run one at a time while writes of
// different files run side by side.
class FileLocks {
public:
    QMutex& lockFor(const QString& path) {
        QMutexLocker guard(&mutex_);
        std::unique_ptr<QMutex>& lock = locks_[path];
        if (!lock)
            lock = std::make_unique<QMutex>();
        return *lock;
    }

private:
    QMutex mutex_;
    std::unordered_map<QString, std::unique_ptr<QMutex>> locks_;
};
