// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/HistoryPage.h"

#include "radio/SongHistory.h"
#include "radio/SongHistoryModel.h"
#include "ui/ThemeIcons.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

HistoryPage::HistoryPage(SongHistory& history, Hooks hooks, QWidget* parent)
    : QWidget(parent), history_(history), hooks_(std::move(hooks)), model_(new SongHistoryModel(history, this)) {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(4, 8, 4, 4);

    auto* top = new QHBoxLayout;
    filterField = new QLineEdit(this);
    filterField->setPlaceholderText(tr("Filter songs"));
    filterField->setAccessibleName(tr("Filter songs"));
    filterField->setClearButtonEnabled(true);
    starredOnly = new QCheckBox(tr("Starred only"), this);
    top->addWidget(filterField, 1);
    top->addWidget(starredOnly);
    root->addLayout(top);

    list = new QListView(this);
    list->setModel(model_);
    list->setAccessibleName(tr("Songs heard"));
    list->setSpacing(2); // two-line songs apart from each other
    list->setWordWrap(false);
    list->setTextElideMode(Qt::ElideRight);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    root->addWidget(list, 1);

    auto* songButtons = new QHBoxLayout;
    copyButton = new QPushButton(tr("Copy"), this);
    copyButton->setToolTip(tr("Copy the song's title"));
    copyButton->setAccessibleName(tr("Copy the song's title"));
    searchButton = new QPushButton(tr("Search"), this);
    searchButton->setToolTip(tr("Search the web for the song"));
    searchButton->setAccessibleName(tr("Search the web for the song"));
    playButton = new QPushButton(tr("Play station"), this);
    playButton->setToolTip(tr("Play the song's station again"));
    playButton->setAccessibleName(tr("Play the song's station again"));
    starButton = new QPushButton(tr("Star"), this);
    starButton->setCheckable(true);
    starButton->setToolTip(tr("Starred songs are kept however many others come"));
    starButton->setAccessibleName(tr("Star the song"));
    copyButton->setIcon(themeicons::themeIcon(QStringLiteral("edit-copy")));
    searchButton->setIcon(themeicons::themeIcon(QStringLiteral("edit-find")));
    playButton->setIcon(themeicons::themeIcon(QStringLiteral("media-playback-start")));
    for (QPushButton* button : {copyButton, searchButton, playButton, starButton}) {
        songButtons->addWidget(button);
        auto* action = new QAction(button->accessibleName(), list);
        action->setCheckable(button->isCheckable());
        connect(action, &QAction::triggered, button, [button] { button->isCheckable() ? button->toggle() : button->click(); });
        connect(button, &QPushButton::toggled, action, &QAction::setChecked);
        list->addAction(action);
    }
    songButtons->addStretch(1);
    root->addLayout(songButtons);

    auto* listButtons = new QHBoxLayout;
    exportButton = new QToolButton(this);
    exportButton->setText(tr("Export starred"));
    exportButton->setAccessibleName(tr("Export starred songs"));
    exportButton->setPopupMode(QToolButton::InstantPopup);
    exportButton->setIcon(themeicons::themeIcon(QStringLiteral("document-save")));
    exportButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto* exportMenu = new QMenu(exportButton);
    exportMenu->addAction(tr("As text…"), this, [this] { exportStarred(false); });
    exportMenu->addAction(tr("As CSV…"), this, [this] { exportStarred(true); });
    exportButton->setMenu(exportMenu);
    clearButton = new QPushButton(themeicons::themeIcon(QStringLiteral("edit-clear")), tr("Clear history…"), this);
    listButtons->addWidget(exportButton);
    listButtons->addStretch(1);
    listButtons->addWidget(clearButton);
    root->addLayout(listButtons);
    status = new QLabel(this);
    status->setWordWrap(true);
    root->addWidget(status);

    connect(filterField, &QLineEdit::textChanged, model_, &SongHistoryModel::setFilter);
    connect(starredOnly, &QCheckBox::toggled, model_, &SongHistoryModel::setStarredOnly);
    connect(copyButton, &QPushButton::clicked, this, [this] {
        if (const auto song = currentSong())
            QGuiApplication::clipboard()->setText(song->title);
    });
    connect(searchButton, &QPushButton::clicked, this, [this] {
        if (const auto song = currentSong(); song && hooks_.search)
            hooks_.search(song->title);
    });
    connect(playButton, &QPushButton::clicked, this, [this] {
        if (const auto song = currentSong(); song && hooks_.play)
            hooks_.play(song->station);
    });
    // On toggled, not clicked: a screen reader's "Toggle" never clicks.
    connect(starButton, &QPushButton::toggled, this, [this](bool on) {
        if (const auto song = currentSong())
            history_.setStarred(song->id, on);
    });
    connect(clearButton, &QPushButton::clicked, this, &HistoryPage::askToClear);

    // The chosen song stays chosen when the list is made again (filter, clear, star).
    auto keep = std::make_shared<quint64>(0);
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this, keep] {
        const auto song = currentSong();
        *keep = song ? song->id : 0;
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this, keep] {
        const QModelIndex again = model_->indexOf(*keep);
        if (again.isValid())
            list->setCurrentIndex(again);
        showCurrent();
    });
    connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this, &HistoryPage::showCurrent);
    connect(model_, &QAbstractItemModel::dataChanged, this, &HistoryPage::showCurrent);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &HistoryPage::showCurrent);
    connect(&history_, &SongHistory::songAdded, this, &HistoryPage::showCurrent); // also when filtered out
    showCurrent();
}

std::optional<SongEntry> HistoryPage::currentSong() const {
    return model_->song(list->currentIndex());
}

void HistoryPage::showCurrent() {
    const auto song = currentSong();
    for (QPushButton* button : {copyButton, searchButton, playButton, starButton})
        button->setEnabled(song.has_value());
    const QSignalBlocker quiet(starButton); // the view catching up with the model
    starButton->setChecked(song && song->starred);
    starButton->setText(song && song->starred ? tr("Starred") : tr("Star"));
    starButton->setIcon(themeicons::themeIcon(song && song->starred ? QStringLiteral("starred") : QStringLiteral("non-starred")));
    exportButton->setEnabled(!history_.starredSongs().isEmpty());
    clearButton->setEnabled(history_.songs().size() > history_.starredSongs().size());
    for (QAction* action : list->actions())
        action->setEnabled(song.has_value());
}

void HistoryPage::askToClear() {
    auto* box = new QMessageBox(QMessageBox::Question, tr("Clear history"),
                                tr("Forget every song heard? Starred songs are kept."), QMessageBox::NoButton, this);
    QPushButton* clear = box->addButton(tr("Clear history"), QMessageBox::DestructiveRole);
    box->addButton(QMessageBox::Cancel);
    box->setDefaultButton(QMessageBox::Cancel);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    connect(box, &QMessageBox::finished, this, [this, box, clear] {
        if (box->clickedButton() == clear)
            history_.clear();
    });
    box->open();
}

void HistoryPage::exportStarred(bool csv) {
    const QString caption = tr("Export starred songs");
    const QString filter = csv ? tr("CSV files (*.csv)") : tr("Text files (*.txt)");
    QString path = hooks_.exportFile ? hooks_.exportFile(caption, filter)
                                     : QFileDialog::getSaveFileName(this, caption, QString(), filter);
    if (path.isEmpty())
        return;
    const QString suffix = csv ? QStringLiteral(".csv") : QStringLiteral(".txt");
    if (QFileInfo(path).suffix().isEmpty())
        path += suffix;
    const SongList songs = history_.starredSongs();
    const QByteArray bytes = (csv ? SongHistory::toCsv(songs) : SongHistory::toText(songs)).toUtf8();
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        status->setText(tr("Exported %n starred song(s).", nullptr, int(songs.size())));
    else
        status->setText(tr("Could not write %1: %2").arg(path, file.errorString()));
}
