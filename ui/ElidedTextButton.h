// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>

// A one-line text that acts as a button: it shows its text exactly as given (no '&' shortcut,
// no markup), elides it to the width it gets instead of widening its window, and offers the
// full text in its tooltip and to assistive technology. Click, Space or Enter press it.
class ElidedTextButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit ElidedTextButton(QWidget* parent = nullptr);

    // Replaces the base class's text, which would turn "&x" into a keyboard shortcut.
    QString text() const { return text_; }
    void setText(const QString& text);
    // The text as drawn at the current width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString text_;
};
