// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

// Icons by their freedesktop names ("media-playback-start", "starred", "audio-volume-high" …),
// legible on light and dark schemes and sharp at any scale.
namespace themeicons {

// The desktop theme's icon for `name`: its symbolic drawing ("NAME-symbolic") filled with the
// palette's text colour, else its full-colour icon as it is, else our own drawing of `name`
// filled with the palette's text colour; a null icon when none of them exists. The theme is
// asked when the icon is first drawn, not here, and the colours are those of the palette at
// each drawing, so a scheme change shows with the next repaint. A drop-in for
// QIcon::fromTheme(name).
QIcon themeIcon(const QString& name);

// Whether we carry a drawing of our own for `name`.
bool hasBundled(const QString& name);

// A drawing of two tones in the palette's colours: what the SVG at `resource` paints in white
// is painted in the text colour, what it paints in #1b1f24 in the window colour (the outline
// that keeps it legible on any background).
QIcon twoToneIcon(const QString& resource);

} // namespace themeicons
