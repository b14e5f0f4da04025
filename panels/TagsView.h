// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QStringList>
#include <QWidget>
#include <functional>

class FlowLayout;
class QAbstractButton;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QStackedLayout;
class TagsCollectionViewItem;
class TagsViewDelegate;

// The tag filter panel: a searchable cloud of toggle buttons, one per tag, and a button that
// clears the selection. Every change of the selection is reported to the delegate through a
// call queued on the event loop, so the receiver re-filters after the click has been handled.
//
// The panel keeps one button per tag across setItems calls and hides the buttons the search
// leaves out, so reopening it or typing a search stays fast with thousands of tags.
class TagsView : public QWidget {
    Q_OBJECT
public:
    // A configured panel reporting to `delegate`.
    static TagsView* tagsViewWithDelegate(TagsViewDelegate* delegate, QWidget* parent = nullptr);

    explicit TagsView(QWidget* parent = nullptr);
    ~TagsView() override;

    // Not owned: it must outlive the panel or be replaced by nullptr first.
    TagsViewDelegate* delegate() const { return delegate_; }
    void setDelegate(TagsViewDelegate* delegate) { delegate_ = delegate; }

    // All tags offered (sorted, without repeats) and the selected ones in selection order.
    // Keeps the search text typed earlier.
    void setItems(const QStringList& items, const QStringList& selectedItems);
    const QStringList& items() const { return items_; }
    const QStringList& selectedItems() const { return selectedItems_; }
    const QString& searchText() const { return searchText_; }
    // The tags the search leaves shown, in the order of items().
    QStringList displayedItems() const;

    QLineEdit* searchField() const { return searchField_; }
    QAbstractButton* clearAllButton() const;
    TagsCollectionViewItem* buttonForTag(const QString& tag) const { return buttons_.value(tag); }

    // The alert sound of an action that cannot act; QApplication::beep by default.
    void setBeep(std::function<void()> beep) { beep_ = std::move(beep); }

    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void configure();
    void configureSnapshot();
    void tagButtonAction(TagsCollectionViewItem* sender);
    void clearAllAction();
    void controlTextDidChange(const QString& text);
    void reportSelection();
    void updateClearButton();
    void scrollToFirstSelected();

    QScrollArea* collection_ = nullptr;
    QWidget* tiles_ = nullptr;
    FlowLayout* flow_ = nullptr;
    QPushButton* clearAllButton_ = nullptr;
    QLineEdit* searchField_ = nullptr;
    QLabel* emptyMessage_ = nullptr;
    QStackedLayout* stack_ = nullptr;
    QString searchText_;
    TagsViewDelegate* delegate_ = nullptr;
    QStringList items_;
    QStringList selectedItems_;
    QHash<QString, TagsCollectionViewItem*> buttons_;
    QHash<QString, QString> folded_; // each tag as the search compares it
    std::function<void()> beep_;
};
