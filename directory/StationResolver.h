// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/OwnStations.h"
#include "directory/Playlist.h"
#include "util/HttpTransport.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <optional>

// Turns an address the user gives into the fields of a station that plays: playlists are
// fetched and followed (nested up to kMaxDepth), the stream is probed, and its ICY headers and
// first bytes fill in the name, tags, home page, codec and bit rate. Everything fetched is
// hostile: http(s) only, redirects too, bounded in size and time.
class StationResolver : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxDepth = 3;         // a playlist in a playlist in a playlist
    static constexpr int kTimeoutMs = 10000;    // per request
    static constexpr qsizetype kProbeBytes = 32 * 1024; // enough of a stream; a playlist may ask for more
    static constexpr int kMaxRequests = 8;      // entries tried in all, fall-backs included

    // The fields found, or nothing and why, for the user.
    using Completion = std::function<void(std::optional<OwnStations::Fields> fields, QString error)>;

    explicit StationResolver(HttpTransport& transport, QObject* parent = nullptr);
    ~StationResolver() override;

    // One resolution at a time: a new one cancels the one under way, whose completion never runs.
    void resolve(const QString& address, Completion completion);
    void cancel();
    bool isBusy() const { return job_ != nullptr; }

    // What one answer is: a stream (fields), a playlist (entries) or neither (error).
    struct Probe {
        std::optional<OwnStations::Fields> stream;
        std::optional<QList<playlist::Entry>> entries;
        bool truncatedPlaylist = false; // a playlist cut at the probe's size: fetch it whole
        QString error;
    };
    static Probe classify(const HttpTransport::Result& result, const QUrl& url, qsizetype cap);

private:
    struct Candidate {
        QUrl url;
        int depth = 0;
        QString name; // from the playlist that named it
        qsizetype cap = kProbeBytes;
    };
    struct Job;
    void next();
    void answered(const Candidate& candidate, const HttpTransport::Result& result);
    void finish(std::optional<OwnStations::Fields> fields, const QString& error);

    HttpTransport& transport_;
    std::unique_ptr<Job> job_;
};
