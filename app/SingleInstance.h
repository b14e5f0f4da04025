#pragma once

#include <functional>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// One running program per user. The first instance listens on a local socket in the user's
// runtime folder ($XDG_RUNTIME_DIR, or a 0700 folder of our own); a later launch hands it its
// request ("show", "quit", "status", a list command or "") and exits. Both ends talk only to processes of the
// same user.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The longest answer a client reads, and the longest request (a list of stations to add).
    static constexpr qint64 kMaxAnswerBytes = 64 * 1024;
    static constexpr qint64 kMaxRequestBytes = 64 * 1024;

    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    // True when another instance took the request; this one should then exit. Its answer goes
    // to `answer` when given, without control characters.
    bool sendToRunning(const QString& request, QString* answer = nullptr);
    // How requests are answered; without it they are acknowledged with "ok".
    void setResponder(std::function<QString(const QString& request)> responder) {
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

    std::function<QString(const QString&)> responder_;
    QString path_;
    QString problem_;
    QLocalServer* server_ = nullptr;
};
