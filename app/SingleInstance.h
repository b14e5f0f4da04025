#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running program per user. The first instance listens on a local socket; a later launch
// hands it its request ("show", "quit" or "") and exits.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    // True when another instance took the request; this one should then exit.
    bool sendToRunning(const QString& request);
    // Starts listening; false when the socket cannot be made (the program still runs).
    bool listen();

Q_SIGNALS:
    void requestReceived(const QString& request);

private:
    QString name_;
    QLocalServer* server_ = nullptr;
};
