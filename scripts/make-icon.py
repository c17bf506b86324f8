#!/usr/bin/python3
"""Draws the board's window icon: a see-through pane with a toolbar band, a few swatches and a
freehand stroke across it. Writes resources/icon/velmo.png (256 × 256) and smaller renderings
for the sizes window managers show most (48, 32, 16), each drawn large and scaled down.

Run from anywhere: /usr/bin/python3 scripts/make-icon.py (needs python3-pil)
"""

import math
import os

from PIL import Image, ImageDraw

SCALE = 4  # drawn at four times the size, then scaled down smoothly
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "icon")


def draw(side):
    s = side * SCALE
    u = s / 256.0  # one unit of the 256-pixel design

    def box(x0, y0, x1, y1):
        return [x0 * u, y0 * u, x1 * u, y1 * u]

    image = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(image)
    # The pane: a pale glass, half see-through, with a dark navy rim.
    d.rounded_rectangle(box(16, 24, 240, 232), radius=28 * u, fill=(214, 236, 250, 150),
                        outline=(28, 44, 92, 255), width=round(10 * u))
    # The toolbar band along the top of the pane.
    d.rounded_rectangle(box(21, 29, 235, 78), radius=22 * u, fill=(228, 228, 232, 255))
    d.rectangle(box(21, 60, 235, 78), fill=(228, 228, 232, 255))
    d.line(box(21, 79, 235, 79), fill=(28, 44, 92, 255), width=round(6 * u))
    # Three swatches on the band: black, red, blue; the chosen one (red) framed.
    for i, colour in enumerate([(20, 20, 20), (222, 36, 44), (36, 84, 220)]):
        x = 44 + i * 40
        d.rectangle(box(x, 40, x + 26, 66), fill=colour + (255,))
    d.rectangle(box(80, 36, 110, 70), outline=(255, 255, 255, 255), width=round(3 * u))
    # A freehand stroke across the glass, laid down as a round pen would: a dot at every step.
    r = 9 * u
    for k in range(0, 801):
        t = k / 800.0
        x = (44 + 168 * t) * u
        y = (168 - 54 * math.sin(t * math.pi * 1.6) * (1 - 0.35 * t)) * u
        d.ellipse([x - r, y - r, x + r, y + r], fill=(222, 36, 44, 255))
    return image.resize((side, side), Image.LANCZOS)


def main():
    os.makedirs(OUT, exist_ok=True)
    draw(256).save(os.path.join(OUT, "velmo.png"), optimize=True)
    for side in (48, 32, 16):
        draw(side).save(os.path.join(OUT, "velmo-%d.png" % side), optimize=True)


if __name__ == "__main__":
    main()
