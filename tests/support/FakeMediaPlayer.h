// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/MediaPlayer.h"

// A player that plays nothing: tests see what the controller asked of it and script what the
// stream does (ready, failed, metadata).
class FakeMediaPlayer : public MediaPlayer {
public:
    void setVolume(float volume) override { volume_ = volume; }
    float volume() const override { return volume_; }
    float rate() const override { return rate_; }
    void play() override {
        ++plays;
        rate_ = url_.isEmpty() ? 0 : 1;
    }
    void pause() override { rate_ = 0; }
    bool hasCurrentItem() const override { return !url_.isEmpty(); }
    QUrl currentItemUrl() const override { return url_; }
    void replaceCurrentItem(const QUrl& url) override {
        url_ = url;
        status_ = ItemStatus::Unknown;
        if (url.isEmpty())
            rate_ = 0;
    }
    ItemStatus itemStatus() const override { return status_; }
    QString itemError() const override { return error_; }
    std::optional<TrackFormat> firstTrackFormat() const override { return format_; }

    void setStreamTap(std::shared_ptr<StreamTap> tap) override { this->tap = std::move(tap); }

    void becomeReady(std::optional<TrackFormat> format) {
        format_ = format;
        status_ = ItemStatus::ReadyToPlay;
        Q_EMIT itemStatusChanged(status_);
    }
    void fail(const QString& why) {
        error_ = why;
        status_ = ItemStatus::Failed;
        rate_ = 0;
        Q_EMIT itemStatusChanged(status_);
    }

    int plays = 0;
    std::shared_ptr<StreamTap> tap; // the stream's bytes go here, as a streaming thread sends them

private:
    float volume_ = 1, rate_ = 0;
    QUrl url_;
    ItemStatus status_ = ItemStatus::Unknown;
    QString error_;
    std::optional<TrackFormat> format_;
};
