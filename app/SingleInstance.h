#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

// One running program per user. The first instance listens on a local socket; a later launch
// hands it its request ("show", "quit" or "") and exits.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    // True when another instance took the request; this one should then exit. Its answer goes
    // to `answer` when given.
    bool sendToRunning(const QString& request, QString* answer = nullptr);
    // How requests are answered; without it they are acknowledged with "ok".
    void setResponder(std::function<QString(const QString& request)> responder) { responder_ = std::move(responder); }
    // Starts listening; false when the socket cannot be made (the program still runs).
    bool listen();

private:
    std::function<QString(const QString&)> responder_;
    QString name_;
    QLocalServer* server_ = nullptr;
};
