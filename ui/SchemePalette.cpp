// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SchemePalette.h"

#include <QApplication>
#include <QStyle>

SchemePalette::SchemePalette() : startPalette_(QApplication::palette()) {
    // Without a theme's palette Qt gives the style's own; anything else came from the theme.
    themePalette_ = QApplication::style() && startPalette_ != QApplication::style()->standardPalette();
}

void SchemePalette::apply(ColorScheme scheme) {
    if (themePalette_)
        return;
    const QPalette wanted = scheme == ColorScheme::Dark ? darkPalette() : startPalette_;
    if (wanted != QApplication::palette())
        QApplication::setPalette(wanted);
}

bool SchemePalette::isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

QPalette SchemePalette::darkPalette() {
    const QColor window(0x2d, 0x2d, 0x30);
    const QColor base(0x1f, 0x1f, 0x22);
    const QColor text(0xe8, 0xe8, 0xea);
    const QColor disabledText(0x85, 0x85, 0x8a);
    const QColor highlight(0x35, 0x84, 0xe4);
    QPalette p(window);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3e));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x50));
    p.setColor(QPalette::Midlight, QColor(0x40, 0x40, 0x45));
    p.setColor(QPalette::Mid, QColor(0x26, 0x26, 0x29));
    p.setColor(QPalette::Dark, QColor(0x1a, 0x1a, 0x1c));
    p.setColor(QPalette::Shadow, QColor(0x0c, 0x0c, 0x0d));
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x78, 0xae, 0xed));
    p.setColor(QPalette::LinkVisited, QColor(0xb7, 0x93, 0xe0));
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa6));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                                           QPalette::PlaceholderText})
        p.setColor(QPalette::Disabled, role, disabledText);
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x4a, 0x4a, 0x50));
    p.setColor(QPalette::Disabled, QPalette::HighlightedText, disabledText);
    return p;
}
