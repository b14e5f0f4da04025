// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/cloud/NextcloudLoginFlow.h"

#include "util/HttpTransport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>

namespace {
// The answers are a few hundred bytes of JSON.
constexpr HttpTransport::Limits kLimits{.maxBodyBytes = 64 * 1024, .idleTimeoutMs = 15000, .totalTimeoutMs = 30000};

HttpTransport::Request formRequest(const QUrl& url, const QByteArray& form) {
    HttpTransport::Request request;
    request.url = url;
    request.method = "POST";
    request.headers = {{"Content-Type", "application/x-www-form-urlencoded"}, {"Accept", "application/json"}};
    request.body = form;
    request.limits = kLimits;
    return request;
}

// Only https, or plain http to this machine, may carry a password.
bool isSafeEndpoint(const QUrl& url) {
    return url.isValid() && (url.scheme() == QLatin1String("https") ||
                             (url.scheme() == QLatin1String("http") &&
                              (url.host() == QLatin1String("127.0.0.1") || url.host() == QLatin1String("localhost"))));
}
} // namespace

NextcloudLoginFlow::NextcloudLoginFlow(HttpTransport& transport, const Options& options, QObject* parent)
    : QObject(parent), transport_(transport), options_(options) {
    pollTimer_.setSingleShot(true);
    connect(&pollTimer_, &QTimer::timeout, this, &NextcloudLoginFlow::poll);
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this,
            [this] { fail(tr("The login was not completed in the browser in time.")); });
}

void NextcloudLoginFlow::start(const QUrl& server) {
    cancel();
    if (!isSafeEndpoint(server)) {
        fail(tr("The server address must start with https://."));
        return;
    }
    running_ = true;
    QUrl url = server;
    QString path = url.path();
    while (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path + QStringLiteral("/index.php/login/v2"));
    transport_.send(formRequest(url, QByteArray()), this, [this](HttpTransport::Result result) {
        if (!running_)
            return;
        const QJsonObject answer = QJsonDocument::fromJson(result.body).object();
        const QJsonObject pollInfo = answer.value(QLatin1String("poll")).toObject();
        const QUrl page(answer.value(QLatin1String("login")).toString());
        endpoint_ = QUrl(pollInfo.value(QLatin1String("endpoint")).toString());
        token_ = pollInfo.value(QLatin1String("token")).toString().toUtf8();
        if (!result.ok()) {
            // In the network layer's words, which name the address that failed.
            fail(tr("The server does not offer a Nextcloud login (%1).").arg(result.error.logText));
        } else if (!isSafeEndpoint(page) || !isSafeEndpoint(endpoint_) || token_.isEmpty()) {
            fail(tr("The server's login answer is not usable."));
        } else {
            Q_EMIT loginPageReady(page);
            deadline_.start(options_.giveUpAfterMs);
            pollTimer_.start(options_.pollIntervalMs);
        }
    });
}

void NextcloudLoginFlow::poll() {
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("token"), QString::fromUtf8(token_));
    transport_.send(formRequest(endpoint_, form.toString(QUrl::FullyEncoded).toUtf8()), this,
                    [this](HttpTransport::Result result) {
        if (!running_)
            return;
        const int status = result.status;
        if (status == 404 || status == 0) { // not granted yet, or a passing network hiccup
            pollTimer_.start(options_.pollIntervalMs);
            return;
        }
        const QJsonObject answer = QJsonDocument::fromJson(result.body).object();
        const QUrl server(answer.value(QLatin1String("server")).toString());
        const QString login = answer.value(QLatin1String("loginName")).toString();
        const QString password = answer.value(QLatin1String("appPassword")).toString();
        if (status != 200 || !isSafeEndpoint(server) || login.isEmpty() || password.isEmpty()) {
            fail(tr("The server refused the login (HTTP %1).").arg(status));
            return;
        }
        running_ = false;
        deadline_.stop();
        Q_EMIT finished(server, login, password);
    });
}

void NextcloudLoginFlow::cancel() {
    running_ = false;
    pollTimer_.stop();
    deadline_.stop();
}

void NextcloudLoginFlow::fail(const QString& error) {
    cancel();
    Q_EMIT failed(error);
}
