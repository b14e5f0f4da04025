// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>
#include <QUrl>

class HttpTransport;

// Nextcloud's Login Flow v2: the user logs in and grants access in their browser, and the server
// hands this program an app password of its own; no password is typed into Ostrel Radio.
//   1. POST <base>/index.php/login/v2 gives a login page address and a poll token.
//   2. The page is opened in the browser (loginPageReady).
//   3. POSTing the token to the poll endpoint answers 404 until the user has granted access,
//      then the server address, login name and app password (finished).
class NextcloudLoginFlow : public QObject {
    Q_OBJECT
public:
    struct Options {
        int pollIntervalMs = 2000;
        int giveUpAfterMs = 20 * 60 * 1000; // Nextcloud's tokens last 20 minutes
    };

    NextcloudLoginFlow(HttpTransport& transport, const Options& options, QObject* parent = nullptr);

    // Starts a login at the server whose base address is `server` (https://cloud.example.org).
    void start(const QUrl& server);
    void cancel();
    bool isRunning() const { return running_; }

Q_SIGNALS:
    void loginPageReady(const QUrl& page);
    void finished(const QUrl& server, const QString& loginName, const QString& appPassword);
    void failed(const QString& error);

private:
    void poll();
    void fail(const QString& error);

    HttpTransport& transport_;
    Options options_;
    QTimer pollTimer_;
    QTimer deadline_;
    QUrl endpoint_;
    QByteArray token_;
    bool running_ = false;
};
