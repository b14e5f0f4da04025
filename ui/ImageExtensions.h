// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

// Images that the views make themselves rather than fetch.
namespace images {

// An image of `text` drawn in `font`: as tall as the text and 4 px wider than it, transparent
// around the glyphs, one line per line break ("\n", "\r" or "\r\n"), lines centred. Drawn at
// `devicePixelRatio` (0: the application's), so it stays sharp on high-density screens. A
// template image.
QImage createWithText(const QString& text, const QFont& font, qreal devicePixelRatio = 0);

// Symbol scales.
enum SymbolScale { SymbolScaleSmall = 1, SymbolScaleMedium = 2, SymbolScaleLarge = 3 };

// One of our own symbols by name (such as "antenna.radiowaves.left.and.right",
// "chevron.left", "chevron.right"), large enough to be scaled down to any icon size; its
// logical size grows with `scale`. A null image for a name we have no symbol for. A template
// image.
QImage imageWithSystemSymbolName(const QString& symbolName, int scale);

// Template images hold only a shape: views draw them in their palette's text colour.
void setTemplate(QImage& image, bool isTemplate = true);
bool isTemplate(const QImage& image);
// The image's shape filled with `color`.
QImage tinted(const QImage& image, const QColor& color);

} // namespace images
