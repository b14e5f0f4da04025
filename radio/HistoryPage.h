// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "directory/Station.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QMessageBox;
class QPushButton;
class QToolButton;
class SongHistory;
class SongHistoryModel;
struct SongEntry;

// The "History" tab: the songs heard, newest first and by day, with a filter. The song chosen
// can be copied as its title, searched on the web, starred, and its station played again;
// starred songs can be shown alone and exported as text or CSV.
class HistoryPage : public QWidget {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void(const QString& title)> search; // the now-playing line's web search
        std::function<void(const Station& kept)> play;    // plays the song's station again
        // Where an export goes; empty when the user cancelled. A file dialog when not given.
        std::function<QString(const QString& caption, const QString& filter)> exportFile;
    };

    HistoryPage(SongHistory& history, Hooks hooks, QWidget* parent = nullptr);

    QLineEdit* filterField;
    QCheckBox* starredOnly;
    QListView* list;
    QPushButton* copyButton;
    QPushButton* searchButton;
    QPushButton* playButton;
    QPushButton* starButton;
    QToolButton* exportButton;
    QPushButton* clearButton;
    QLabel* status;

    SongHistoryModel* model() const { return model_; }

private:
    std::optional<SongEntry> currentSong() const;
    void showCurrent();
    void askToClear();
    void exportStarred(bool csv);

    SongHistory& history_;
    Hooks hooks_;
    SongHistoryModel* model_;
};
