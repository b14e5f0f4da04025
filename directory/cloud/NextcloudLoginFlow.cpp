#include "directory/cloud/NextcloudLoginFlow.h"

#include "directory/cloud/ReplyLimits.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrlQuery>

namespace {
constexpr int kRequestTimeLimitMs = 30000;
constexpr qint64 kMaxAnswerBytes = 64 * 1024; // the answers are a few hundred bytes of JSON

QNetworkRequest formRequest(const QUrl& url, const QByteArray& userAgent) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/x-www-form-urlencoded"));
    request.setRawHeader("Accept", "application/json");
    request.setTransferTimeout(15000);
    return request;
}

// Only https, or plain http to this machine, may carry a password.
bool isSafeEndpoint(const QUrl& url) {
    return url.isValid() && (url.scheme() == QLatin1String("https") ||
                             (url.scheme() == QLatin1String("http") &&
                              (url.host() == QLatin1String("127.0.0.1") || url.host() == QLatin1String("localhost"))));
}
} // namespace

NextcloudLoginFlow::NextcloudLoginFlow(const Options& options, QObject* parent)
    : QObject(parent), options_(options), network_(new QNetworkAccessManager(this)) {
    network_->setCookieJar(nullptr);
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
    QNetworkReply* reply = network_->post(formRequest(url, options_.userAgent), QByteArray());
    cloudlimits::limit(reply, kRequestTimeLimitMs, kMaxAnswerBytes);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (!running_)
            return;
        const QJsonObject answer = QJsonDocument::fromJson(reply->read(kMaxAnswerBytes)).object();
        const QJsonObject pollInfo = answer.value(QLatin1String("poll")).toObject();
        const QUrl page(answer.value(QLatin1String("login")).toString());
        endpoint_ = QUrl(pollInfo.value(QLatin1String("endpoint")).toString());
        token_ = pollInfo.value(QLatin1String("token")).toString().toUtf8();
        if (reply->error() != QNetworkReply::NoError) {
            fail(tr("The server does not offer a Nextcloud login (%1).").arg(reply->errorString()));
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
    QNetworkReply* reply = network_->post(formRequest(endpoint_, options_.userAgent),
                                          form.toString(QUrl::FullyEncoded).toUtf8());
    cloudlimits::limit(reply, kRequestTimeLimitMs, kMaxAnswerBytes);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (!running_)
            return;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status == 404 || status == 0) { // not granted yet, or a passing network hiccup
            pollTimer_.start(options_.pollIntervalMs);
            return;
        }
        const QJsonObject answer = QJsonDocument::fromJson(reply->read(kMaxAnswerBytes)).object();
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
