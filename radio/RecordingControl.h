// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class PlaybackSession;
class QLabel;
class QToolButton;
class StreamRecorder;

// "Record" for the panel: a toggle that starts and stops recording the station playing, and
// beside it the recording's time and file size, or why it could not go on.
class RecordingControl : public QWidget {
    Q_OBJECT
public:
    RecordingControl(StreamRecorder& recorder, PlaybackSession& session, QWidget* parent = nullptr);

    // "1:05 · 1.4 MB"
    static QString progressText(qint64 elapsedMs, qint64 bytes);

private:
    void showState();
    void showText(const QString& text, bool figures);

    QToolButton* button_;
    QLabel* progress_;
    bool showsFigures_ = false; // the progress line holds a recording's time and size

    StreamRecorder& recorder_;
    PlaybackSession& session_;
};
