// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory/StationResolver.h"

#include "directory/AudioSniffer.h"
#include "util/RemoteText.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QStringDecoder>

Q_DECLARE_LOGGING_CATEGORY(lcDirectory)

struct StationResolver::Job {
    QList<Candidate> queue;
    int requests = 0;
    QString firstError;
    Completion completion;
    quint64 requestId = 0;
};

namespace {

// ICY headers are UTF-8 or Latin-1, and may hold anything: one clean line.
QString headerText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return playlist::cleanName(text);
}

QString tagsFromGenre(const QString& genre) {
    static const QRegularExpression separators(QStringLiteral("[;/|]"));
    QStringList tags;
    for (const QString& piece : QString(genre).replace(separators, QStringLiteral(",")).split(u','))
        if (const QString tag = piece.trimmed(); !tag.isEmpty() && !tags.contains(tag, Qt::CaseInsensitive))
            tags.append(tag);
    return tags.join(u',');
}

// Names that servers send when nobody set one.
bool isPlaceholderName(const QString& name) {
    return name.isEmpty() || name.compare(u"Unspecified name", Qt::CaseInsensitive) == 0 ||
           name.compare(u"no name", Qt::CaseInsensitive) == 0;
}

bool isAudioType(const QByteArray& type) {
    return type.isEmpty() || type.startsWith("audio/") || type == "application/ogg" ||
           type == "application/octet-stream";
}

} // namespace

StationResolver::StationResolver(HttpTransport& transport, QObject* parent)
    : QObject(parent), transport_(transport) {}

StationResolver::~StationResolver() {
    cancel();
}

void StationResolver::resolve(const QString& address, Completion completion) {
    cancel();
    const QUrl url(address.trimmed(), QUrl::TolerantMode);
    if (!remote::isWebAddress(url)) {
        // Never in the completion's own call: callers expect it later, as for every other answer.
        QMetaObject::invokeMethod(this, [completion] {
            completion(std::nullopt, tr("Only http:// and https:// addresses can be added."));
        }, Qt::QueuedConnection);
        return;
    }
    job_ = std::make_unique<Job>();
    job_->completion = std::move(completion);
    job_->queue.append(Candidate{url, 0, QString(), kProbeBytes});
    next();
}

void StationResolver::cancel() {
    if (job_ && job_->requestId)
        transport_.cancel(job_->requestId);
    job_.reset();
}

void StationResolver::next() {
    if (job_->queue.isEmpty() || job_->requests >= kMaxRequests) {
        finish(std::nullopt, job_->firstError.isEmpty() ? tr("Nothing at this address plays.") : job_->firstError);
        return;
    }
    const Candidate candidate = job_->queue.takeFirst();
    ++job_->requests;
    HttpTransport::Request request;
    request.url = candidate.url;
    request.headers = {{"Icy-MetaData", "1"}, {"Accept", "*/*"}};
    request.limits.maxBodyBytes = candidate.cap;
    request.limits.idleTimeoutMs = kTimeoutMs;
    request.limits.totalTimeoutMs = kTimeoutMs;
    // Small reads: a stream stops at the cap with what came before it kept.
    request.readBufferBytes = 4096;
    request.allowRedirect = [](const QUrl& from, const QUrl& to) {
        return remote::isWebAddress(to) && !(from.scheme() == u"https" && to.scheme() == u"http");
    };
    job_->requestId = transport_.send(request, this, [this, candidate](HttpTransport::Result result) {
        job_->requestId = 0;
        answered(candidate, result);
    });
}

void StationResolver::answered(const Candidate& candidate, const HttpTransport::Result& result) {
    Probe probe = classify(result, candidate.url, candidate.cap);
    if (probe.truncatedPlaylist) {
        Candidate whole = candidate;
        whole.cap = playlist::kMaxBytes;
        job_->queue.prepend(whole);
        next();
        return;
    }
    if (probe.stream) {
        OwnStations::Fields fields = *probe.stream;
        if (!candidate.name.isEmpty())
            fields.name = candidate.name; // the playlist's name for it is the one its makers chose
        else if (fields.name.isEmpty())
            fields.name = candidate.url.host();
        finish(fields, QString());
        return;
    }
    if (probe.entries) {
        QList<Candidate> found;
        for (const playlist::Entry& entry : std::as_const(*probe.entries)) {
            const QUrl url(entry.url, QUrl::TolerantMode);
            if (remote::isWebAddress(url))
                found.append(Candidate{url, candidate.depth + 1, entry.name.isEmpty() ? candidate.name : entry.name,
                                       kProbeBytes});
        }
        if (found.isEmpty())
            probe.error = tr("The playlist has no http:// or https:// entry.");
        else if (candidate.depth + 1 > kMaxDepth)
            probe.error = tr("The playlists are nested more than %1 deep.").arg(kMaxDepth);
        else
            job_->queue = found + job_->queue; // the first playable entry wins; the rest are fall-backs
    }
    if (!probe.error.isEmpty()) {
        qCInfo(lcDirectory, "Adding %s: %s", qUtf8Printable(remote::forLog(candidate.url.toString())),
               qUtf8Printable(probe.error));
        if (job_->firstError.isEmpty())
            job_->firstError = probe.error;
    }
    next();
}

void StationResolver::finish(std::optional<OwnStations::Fields> fields, const QString& error) {
    const Completion completion = std::move(job_->completion);
    job_.reset();
    completion(std::move(fields), error);
}

StationResolver::Probe StationResolver::classify(const HttpTransport::Result& result, const QUrl& url, qsizetype cap) {
    Probe probe;
    const Error::Code code = result.error.code;
    const bool answered = result.status >= 200 && result.status <= 299;
    // A stream never ends: it stops at the size or time limit with its first bytes kept.
    const bool cutShort = answered && !result.body.isEmpty() &&
                          (code == Error::Code::TooLarge || code == Error::Code::TooSlow || code == Error::Code::TimedOut);
    if (!result.ok() && !cutShort) {
        switch (code) {
        case Error::Code::RedirectRefused:
            probe.error = tr("The address sends on to one that is not http:// or https://.");
            break;
        case Error::Code::HttpStatus:
            probe.error = tr("The server refused the address: %1").arg(result.error.message);
            break;
        case Error::Code::TimedOut:
        case Error::Code::TooSlow:
            probe.error = tr("The station did not answer within %1 seconds.").arg(kTimeoutMs / 1000);
            break;
        default:
            probe.error = tr("Could not reach the station: %1").arg(remote::forLog(result.error.message));
            break;
        }
        return probe;
    }
    if (result.body.isEmpty()) {
        probe.error = tr("The address gave nothing to play.");
        return probe;
    }
    const QByteArray type = result.header("Content-Type").split(';').first().trimmed().toLower();
    const QByteArray start = result.body.first(qMin<qsizetype>(result.body.size(), 512)).trimmed().toLower();
    if (type == "text/html" || type == "application/xhtml+xml" || start.startsWith("<!doctype html") ||
        start.startsWith("<html")) {
        probe.error = tr("This address leads to a web page, not to a stream or a playlist.");
        return probe;
    }
    OwnStations::Fields fields;
    fields.url = url.toString();
    const QString icyName = headerText(result.header("icy-name"));
    fields.name = isPlaceholderName(icyName) ? QString() : icyName;
    fields.tags = tagsFromGenre(headerText(result.header("icy-genre")));
    if (const QString home = headerText(result.header("icy-url")); remote::isWebAddress(QStringView(home)))
        fields.homepage = home;
    fields.bitrate = qBound(qint64(0), QString::fromLatin1(result.header("icy-br")).section(u',', 0, 0).toLongLong(), qint64(100000));

    switch (playlist::detect(result.body, type, url.fileName())) {
    case playlist::Format::Hls:
        fields.hls = true;
        probe.stream = fields;
        return probe;
    case playlist::Format::Unknown:
        break;
    default:
        if (cutShort) {
            if (code == Error::Code::TooLarge && cap < playlist::kMaxBytes)
                probe.truncatedPlaylist = true;
            else
                probe.error = code == Error::Code::TooLarge
                                  ? tr("The playlist is larger than %1 KiB.").arg(playlist::kMaxBytes / 1024)
                                  : tr("The playlist did not arrive within %1 seconds.").arg(kTimeoutMs / 1000);
            return probe;
        }
        probe.entries = playlist::parse(result.body, type, url.fileName());
        return probe;
    }
    if (!isAudioType(type)) {
        probe.error = tr("This address gives %1, not audio the player can play.").arg(remote::forLog(std::string_view(type.constData(), std::size_t(type.size())), 60));
        return probe;
    }
    const std::optional<audiosniffer::Format> format = audiosniffer::sniff(result.body);
    if (!format) {
        probe.error = tr("What this address sends is not audio the player can play.");
        return probe;
    }
    fields.codec = format->codec;
    if (fields.bitrate == 0)
        fields.bitrate = format->bitrate;
    probe.stream = fields;
    return probe;
}
