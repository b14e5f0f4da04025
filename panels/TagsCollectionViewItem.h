// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>

// One tag of the tag panel: a toggle button drawn as a chip, at most as wide as it is given,
// its title cut with an ellipsis (and shown whole in the tooltip) when narrower than it needs.
class TagsCollectionViewItem : public QAbstractButton {
    Q_OBJECT
public:
    explicit TagsCollectionViewItem(const QString& tag, QWidget* parent = nullptr);

    // The tag this button stands for.
    const QString& representedObject() const { return tag_; }
    // The width the whole title needs.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int padding() const;

    QString tag_;
};
