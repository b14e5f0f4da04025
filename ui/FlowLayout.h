// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLayout>
#include <QList>

// Items laid out left to right at their preferred widths, wrapping into new rows. No item is
// wider than the layout's contents, so a very long item is cut rather than widening the view.
// Hidden widgets take no room. Height follows width, which scroll areas honour.
class FlowLayout : public QLayout {
    Q_OBJECT
public:
    explicit FlowLayout(QWidget* parent = nullptr);
    ~FlowLayout() override;

    void setSpacings(int horizontal, int vertical);
    int horizontalSpacing() const { return horizontal_; }
    int verticalSpacing() const { return vertical_; }

    void addItem(QLayoutItem* item) override;
    int count() const override { return int(items_.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the items in `rect` (or only measures) and returns the height used.
    int arrange(const QRect& rect, bool place) const;

    QList<QLayoutItem*> items_;
    int horizontal_ = 4;
    int vertical_ = 4;
};
