#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the tray icons: "0" (idle) and the 20 animation frames "a0".."a19".

A radio mast sending waves. The glyph is white with a dark outline, so it reads on light and
dark panels alike; the frames move a bright wave outwards. Run from the project root:
    python3 tools/icons/make-tray-icons.py
"""
import math
import os

OUT = os.path.join("resources", "icons", "tray")
SIZE = 64
CX, CY = 32, 26


def arc(radius, side, opacity):
    """One wave: an arc of `radius` on the left (-1) or right (1) of the mast top."""
    start, end = (150, 210) if side < 0 else (-30, 30)
    a0, a1 = math.radians(start), math.radians(end)
    x0, y0 = CX + radius * math.cos(a0), CY + radius * math.sin(a0)
    x1, y1 = CX + radius * math.cos(a1), CY + radius * math.sin(a1)
    sweep = 1 if side > 0 else 1
    path = f"M {x0:.2f} {y0:.2f} A {radius} {radius} 0 0 {sweep} {x1:.2f} {y1:.2f}"
    return (f'<path d="{path}" fill="none" stroke="#1b1f24" stroke-width="8" stroke-linecap="round" '
            f'opacity="{opacity:.2f}"/>'
            f'<path d="{path}" fill="none" stroke="#ffffff" stroke-width="4.5" stroke-linecap="round" '
            f'opacity="{opacity:.2f}"/>')


def mast():
    body = f"M {CX} {CY} L {CX - 11} 58 M {CX} {CY} L {CX + 11} 58 M {CX - 7} 46 L {CX + 7} 46"
    return (f'<path d="{body}" fill="none" stroke="#1b1f24" stroke-width="8" stroke-linecap="round"/>'
            f'<path d="{body}" fill="none" stroke="#ffffff" stroke-width="4.5" stroke-linecap="round"/>'
            f'<circle cx="{CX}" cy="{CY}" r="6" fill="#ffffff" stroke="#1b1f24" stroke-width="2"/>')


def svg(waves):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" '
            f'viewBox="0 0 {SIZE} {SIZE}">{waves}{mast()}</svg>\n')


def frame(i):
    # Three waves per side; a bright pulse travels outwards every 5 frames, so 20 frames hold
    # four pulses, and the first wave breathes slowly over the whole cycle.
    phase = (i % 5) / 5.0
    waves = ""
    for k, radius in enumerate((12, 20, 28)):
        distance = abs(phase * 3 - k)
        opacity = 0.35 + 0.65 * max(0.0, 1 - distance)
        waves += arc(radius, -1, opacity) + arc(radius, 1, opacity)
    return svg(waves)


def main():
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "0.svg"), "w") as f:
        f.write(svg(arc(12, -1, 1) + arc(12, 1, 1) + arc(20, -1, 0.55) + arc(20, 1, 0.55)))
    for i in range(20):
        with open(os.path.join(OUT, f"a{i}.svg"), "w") as f:
            f.write(frame(i))


if __name__ == "__main__":
    main()
