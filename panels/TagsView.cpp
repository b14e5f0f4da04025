// SPDX-License-Identifier: GPL-3.0-or-later
#include "panels/TagsView.h"

#include "panels/TagsCollectionViewItem.h"
#include "panels/TagsViewDelegate.h"
#include "ui/FlowLayout.h"
#include "util/IcuText.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>

TagsView* TagsView::tagsViewWithDelegate(TagsViewDelegate* delegate, QWidget* parent) {
    auto* view = new TagsView(parent);
    view->setDelegate(delegate);
    return view;
}

TagsView::TagsView(QWidget* parent) : QWidget(parent), beep_([] { QApplication::beep(); }) {
    configure();
}

TagsView::~TagsView() = default;

QAbstractButton* TagsView::clearAllButton() const {
    return clearAllButton_;
}

void TagsView::configure() {
    setAccessibleName(tr("Tags"));

    searchField_ = new QLineEdit(this);
    searchField_->setPlaceholderText(tr("Search Tags"));
    searchField_->setClearButtonEnabled(true);
    searchField_->setAccessibleName(tr("Search tags"));
    connect(searchField_, &QLineEdit::textChanged, this, &TagsView::controlTextDidChange);
    searchField_->installEventFilter(this);

    clearAllButton_ = new QPushButton(tr("Clear All"), this);
    clearAllButton_->setAccessibleName(tr("Clear the tag selection"));
    clearAllButton_->setAutoDefault(false);
    connect(clearAllButton_, &QPushButton::clicked, this, &TagsView::clearAllAction);

    tiles_ = new QWidget;
    tiles_->setAccessibleName(tr("Tag list"));
    flow_ = new FlowLayout(tiles_);
    flow_->setSpacings(4, 4);
    // Leading 2, trailing 3: no tag is wider than the visible area less 5 pixels.
    flow_->setContentsMargins(2, 2, 3, 2);

    collection_ = new QScrollArea(this);
    collection_->setFrameShape(QFrame::NoFrame);
    collection_->setWidgetResizable(true);
    collection_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    collection_->setWidget(tiles_);
    collection_->setFocusPolicy(Qt::NoFocus);
    collection_->viewport()->setAutoFillBackground(false);
    tiles_->setAutoFillBackground(false);

    emptyMessage_ = new QLabel(tr("No Tags"), this);
    emptyMessage_->setAlignment(Qt::AlignCenter);
    emptyMessage_->setForegroundRole(QPalette::PlaceholderText);

    auto* top = new QHBoxLayout;
    top->setSpacing(6);
    top->addWidget(searchField_, 1);
    top->addWidget(clearAllButton_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addLayout(top);
    // One place for the tags or the message, so that switching keeps the panel's size.
    stack_ = new QStackedLayout;
    stack_->addWidget(collection_);
    stack_->addWidget(emptyMessage_);
    layout->addLayout(stack_, 1);

    setTabOrder(searchField_, clearAllButton_);
    searchText_ = QStringLiteral("");
    updateClearButton();
    configureSnapshot();
}

QSize TagsView::sizeHint() const {
    return QSize(340, 280);
}

void TagsView::setItems(const QStringList& items, const QStringList& selectedItems) {
    items_ = items;
    selectedItems_ = selectedItems;
    updateClearButton();

    // One button per tag, kept while the tag stays offered; the layout follows items' order.
    while (QLayoutItem* item = flow_->takeAt(flow_->count() - 1))
        delete item;
    const QSet<QString> offered(items_.cbegin(), items_.cend());
    for (auto it = buttons_.begin(); it != buttons_.end();) {
        if (offered.contains(it.key())) {
            ++it;
            continue;
        }
        delete it.value();
        folded_.remove(it.key());
        it = buttons_.erase(it);
    }
    const QSet<QString> selected(selectedItems_.cbegin(), selectedItems_.cend());
    QWidget* previous = clearAllButton_;
    QSet<QString> placed;
    for (const QString& tag : std::as_const(items_)) {
        if (placed.contains(tag))
            continue; // one button per tag, even if the list repeats one
        placed.insert(tag);
        TagsCollectionViewItem*& button = buttons_[tag];
        if (!button) {
            button = new TagsCollectionViewItem(tag, tiles_);
            // The state change, not `clicked`: a screen reader's "Toggle" never clicks.
            connect(button, &QAbstractButton::toggled, this, [this, button] { tagButtonAction(button); });
            folded_.insert(tag, icutext::foldedForSearch(tag));
        }
        button->setChecked(selected.contains(tag));
        flow_->addWidget(button);
        setTabOrder(previous, button);
        previous = button;
    }
    configureSnapshot();
    scrollToFirstSelected();
}

QStringList TagsView::displayedItems() const {
    QStringList shown;
    QSet<QString> seen;
    for (const QString& tag : items_) {
        const TagsCollectionViewItem* button = buttons_.value(tag);
        if (button && !button->isHidden() && !seen.contains(tag)) {
            seen.insert(tag);
            shown.append(tag);
        }
    }
    return shown;
}

void TagsView::configureSnapshot() {
    // Case and accents do not matter: "ele" finds "Électro".
    const QString needle = icutext::foldedForSearch(searchText_);
    int shown = 0;
    tiles_->setUpdatesEnabled(false);
    for (const QString& tag : std::as_const(items_)) {
        TagsCollectionViewItem* button = buttons_.value(tag);
        const bool show = needle.isEmpty() || folded_.value(tag).contains(needle);
        button->setHidden(!show);
        shown += show;
    }
    tiles_->setUpdatesEnabled(true);
    stack_->setCurrentWidget(shown > 0 ? static_cast<QWidget*>(collection_) : emptyMessage_);
    emptyMessage_->setText(items_.isEmpty() ? tr("No Tags") : tr("No Matching Tags"));
}

void TagsView::tagButtonAction(TagsCollectionViewItem* sender) {
    // A state that agrees with the selection is the panel setting its own buttons.
    if (sender && sender->isChecked() == selectedItems_.contains(sender->representedObject()))
        return;
    // A button the panel no longer shows cannot say which tag was meant.
    if (!sender || buttons_.value(sender->representedObject()) != sender || sender->isHidden()) {
        if (sender) {
            const QSignalBlocker quiet(sender);
            sender->setChecked(!sender->isChecked());
        }
        if (beep_)
            beep_();
        return;
    }
    const QString& tag = sender->representedObject();
    if (sender->isChecked()) {
        if (selectedItems_.isEmpty())
            selectedItems_ = QStringList{tag};
        else
            selectedItems_.append(tag);
    } else if (!selectedItems_.isEmpty()) {
        selectedItems_.removeAll(tag);
    }
    reportSelection();
    updateClearButton();
}

void TagsView::clearAllAction() {
    selectedItems_ = QStringList();
    reportSelection();
    updateClearButton();
    for (TagsCollectionViewItem* button : std::as_const(buttons_))
        button->setChecked(false);
}

void TagsView::controlTextDidChange(const QString& text) {
    if (text == searchText_)
        return;
    searchText_ = text;
    configureSnapshot();
}

void TagsView::reportSelection() {
    // Runs after the current event, with the selection as it is then.
    QMetaObject::invokeMethod(this, [this] {
        if (delegate_)
            delegate_->selectionTagsChanged(selectedItems_);
    }, Qt::QueuedConnection);
}

void TagsView::updateClearButton() {
    clearAllButton_->setEnabled(!selectedItems_.isEmpty());
}

bool TagsView::eventFilter(QObject* watched, QEvent* event) {
    // Down from the search field into the tags that it leaves shown.
    if (watched == searchField_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down) {
        for (const QString& tag : std::as_const(items_)) {
            if (TagsCollectionViewItem* button = buttons_.value(tag); button && !button->isHidden()) {
                button->setFocus(Qt::TabFocusReason);
                collection_->ensureWidgetVisible(button);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TagsView::scrollToFirstSelected() {
    if (selectedItems_.isEmpty())
        return;
    // After the layout has placed the buttons.
    QTimer::singleShot(0, this, [this] {
        if (selectedItems_.isEmpty())
            return;
        TagsCollectionViewItem* button = buttons_.value(selectedItems_.first());
        if (!button || button->isHidden())
            return;
        const int margin = qMax(0, (collection_->viewport()->height() - button->height()) / 2);
        collection_->ensureWidgetVisible(button, 0, margin);
    });
}
