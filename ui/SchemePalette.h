// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPalette>

// The desktop's colour preference, as the desktop portal's "color-scheme" setting gives it.
enum class ColorScheme { NoPreference, Dark, Light };

// Gives the application the palette of the desktop's colour scheme: Fusion's dark palette for
// a dark preference, the palette it started with otherwise. A platform theme that brings a
// palette of its own (KDE's, qt6ct's) follows the desktop itself and is left alone.
class SchemePalette {
public:
    // Reads the application's palette as it starts: make it before anything sets one.
    SchemePalette();

    void apply(ColorScheme scheme);
    bool themeSuppliesPalette() const { return themePalette_; }

    static QPalette darkPalette();
    // A palette reads as dark when its window is darker than its text.
    static bool isDark(const QPalette& palette);

private:
    QPalette startPalette_;
    bool themePalette_ = false;
};
