// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/RecordingControl.h"

#include "radio/PlaybackSession.h"
#include "radio/StreamRecorder.h"
#include "ui/ThemeIcons.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QSignalBlocker>
#include <QToolButton>

RecordingControl::RecordingControl(StreamRecorder& recorder, PlaybackSession& session, QWidget* parent)
    : QWidget(parent), recorder_(recorder), session_(session) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    button_ = new QToolButton(this);
    button_->setCheckable(true);
    button_->setText(tr("Record"));
    button_->setToolTip(tr("Record the station as it plays, into your music folder"));
    const QIcon icon = themeicons::themeIcon(QStringLiteral("media-record"));
    button_->setIcon(icon);
    // Sized like the rest of the panel's tool row; the text stays for screen readers.
    button_->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    button_->setMinimumSize(32, 32);
    button_->setIconSize(QSize(20, 20));
    button_->setObjectName(QStringLiteral("record"));
    progress_ = new QLabel(this);
    progress_->setObjectName(QStringLiteral("recordingProgress"));
    row->addWidget(button_);
    row->addWidget(progress_, 1);

    // On toggled, not clicked: a screen reader's "Toggle" does not click.
    connect(button_, &QToolButton::toggled, this, [this](bool on) {
        if (on == recorder_.isRecording())
            return;
        QString error;
        if (!on)
            recorder_.stop();
        else if (!recorder_.start(&error))
            showText(error, false);
        showState();
    });
    connect(&recorder_, &StreamRecorder::recordingChanged, this, &RecordingControl::showState);
    connect(&recorder_, &StreamRecorder::progressChanged, this,
            [this](qint64 elapsed, qint64 bytes) { showText(progressText(elapsed, bytes), true); });
    connect(&session_, &PlaybackSession::stateChanged, this, &RecordingControl::showState);
    showState();
}

QString RecordingControl::progressText(qint64 elapsedMs, qint64 bytes) {
    const qint64 seconds = elapsedMs / 1000;
    const QString time = seconds >= 3600 ? QStringLiteral("%1:%2:%3")
                                               .arg(seconds / 3600)
                                               .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                                               .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                                         : QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return tr("%1 · %2").arg(time, QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat));
}

void RecordingControl::showState() {
    const bool recording = recorder_.isRecording();
    {
        const QSignalBlocker block(button_);
        button_->setChecked(recording);
    }
    // Something must play to be recorded; a recording can always be stopped.
    button_->setEnabled(recording || session_.isActive());
    if (recording)
        return; // the progress follows
    if (!recorder_.message().isEmpty())
        showText(recorder_.message(), false);
    else if (showsFigures_)
        showText(QString(), false); // the last recording's figures
}

void RecordingControl::showText(const QString& text, bool figures) {
    progress_->setText(text);
    showsFigures_ = figures;
}
