// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtCore>

// Collects the log lines of some categories while it lives, instead of printing them; lines of
// other categories go on to the previous handler (Qt Test's). One at a time per process.
class LogCapture {
public:
    explicit LogCapture(QStringList categories)
        : categories_(std::move(categories)) {
        current = this;
        previous_ = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() {
        qInstallMessageHandler(previous_);
        current = nullptr;
    }
    Q_DISABLE_COPY_MOVE(LogCapture)

    QStringList lines() const {
        QMutexLocker lock(&mutex_);
        return lines_;
    }
    int count(const QString& text) const { return int(lines().filter(text).size()); }
    void clear() {
        QMutexLocker lock(&mutex_);
        lines_.clear();
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (current && context.category && current->categories_.contains(QLatin1String(context.category))) {
            QMutexLocker lock(&current->mutex_);
            current->lines_.append(message);
        } else if (current && current->previous_) {
            current->previous_(type, context, message);
        }
    }

    static inline LogCapture* current = nullptr;
    QStringList categories_;
    QtMessageHandler previous_ = nullptr;
    mutable QMutex mutex_;
    QStringList lines_;
};
