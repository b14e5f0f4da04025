// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// One running program per user. The first instance listens on a local socket in the user's
// runtime folder ($XDG_RUNTIME_DIR, or a 0700 folder of our own); a later launch hands it its
// request ("show", "quit", "status", a list or playback command or "") and exits. Both ends talk only to
// processes of the same user.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The longest answer a client reads, and the longest request (stations to add).
    static constexpr qint64 kMaxAnswerBytes = 64 * 1024;
    static constexpr qint64 kMaxRequestBytes = 64 * 1024;
    using Reply = std::function<void(const QString& answer)>;

    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    // True when another instance took the request; this one should then exit. Its answer goes
    // to `answer` when given, without control characters; it is awaited up to `answerWaitMs`
    // between bytes.
    bool sendToRunning(const QString& request, QString* answer = nullptr, int answerWaitMs = 2000);
    // How requests are answered, at once or later (a station looked up in the directory);
    // without it they are acknowledged with "ok".
    void setResponder(std::function<void(const QString& request, const Reply& reply)> responder) {
        responder_ = std::move(responder);
    }
    // Starts listening; false when the socket cannot be made (the program still runs).
    bool listen();

    QString socketPath() const { return path_; }
    // Why the running instance could not be reached or the socket not claimed, for one line
    // on the terminal; empty when nothing went wrong.
    QString problem() const { return problem_; }

private:
    void answer(QLocalSocket* socket);

    std::function<void(const QString&, const Reply&)> responder_;
    QString path_;
    QString problem_;
    QLocalServer* server_ = nullptr;
};
