#pragma once

#include <QMutex>
#include <QStringList>
#include <QtGlobal>

// Collects the log lines of some categories while it lives, instead of printing them; lines of
// other categories go on to the previous handler (Qt Test's). One at a time per process.
class LogCapture {
public:
    explicit LogCapture(QStringList categories) {
        instance() = this;
        categories_ = std::move(categories);
        previous_ = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() {
        qInstallMessageHandler(previous_);
        instance() = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines() const {
        QMutexLocker lock(&mutex_);
        return lines_;
    }
    // Lines containing `text`.
    int count(const QString& text) const {
        QMutexLocker lock(&mutex_);
        int n = 0;
        for (const QString& line : lines_)
            n += line.contains(text);
        return n;
    }
    void clear() {
        QMutexLocker lock(&mutex_);
        lines_.clear();
    }

private:
    static LogCapture*& instance() {
        static LogCapture* current = nullptr;
        return current;
    }
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        LogCapture* self = instance();
        if (self && context.category && self->categories_.contains(QLatin1String(context.category))) {
            QMutexLocker lock(&self->mutex_);
            self->lines_.append(message);
            return;
        }
        if (self && self->previous_)
            self->previous_(type, context, message);
    }

    QStringList categories_;
    QtMessageHandler previous_ = nullptr;
    mutable QMutex mutex_;
    QStringList lines_;
};
