#!/usr/bin/env python3
"""Draws the About box's banner, res/banner.bmp: 460x90 pixels, 24 bits per pixel.

A blue gradient with a soft highlight, the application icon's emblem drawn at 64x64 by
make_icons.py (so the two always match), the program's name and a short line beneath.
The text is set by ImageMagick's convert with the DejaVu fonts (Debian: imagemagick,
fonts-dejavu-core). Run it from anywhere:
    python3 tools/icons/make_banner.py
The .bmp is checked in, so the build never needs this script.
"""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_icons  # noqa: E402

WIDTH, HEIGHT = 460, 90
EMBLEM = 64
FONTS = "/usr/share/fonts/truetype/dejavu"
TOP, BOTTOM = (0x1A, 0x4F, 0x96), (0x0E, 0x2A, 0x52)


def background():
    rows = []
    for y in range(HEIGHT):
        t = y / (HEIGHT - 1)
        row = []
        for x in range(WIDTH):
            # A faint glow behind the emblem, fading to the right.
            glow = max(0.0, 1.0 - ((x - 48) ** 2 / 160.0 ** 2 + (y - 45) ** 2 / 90.0 ** 2))
            row.append(tuple(min(255.0, TOP[i] + (BOTTOM[i] - TOP[i]) * t + 40 * glow)
                             for i in range(3)))
        rows.append(row)
    return rows


def draw_emblem(rows, left, top):
    canvas = make_icons.Canvas(EMBLEM)
    make_icons.draw_app(canvas)
    for py in range(EMBLEM):
        for px in range(EMBLEM):
            r, g, b, a = canvas.px[py][px]
            under = rows[top + py][left + px]
            rows[top + py][left + px] = (r * a + under[0] * (1 - a), g * a + under[1] * (1 - a),
                                         b * a + under[2] * (1 - a))


def write_ppm(path, rows):
    with open(path, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (WIDTH, HEIGHT))
        for row in rows:
            f.write(bytes(int(round(c)) for pixel in row for c in pixel))


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "res", "banner.bmp")
    rows = background()
    draw_emblem(rows, 16, (HEIGHT - EMBLEM) // 2)
    with tempfile.TemporaryDirectory() as scratch:
        ppm = os.path.join(scratch, "banner.ppm")
        write_ppm(ppm, rows)
        subprocess.run([
            "convert", ppm,
            "-font", os.path.join(FONTS, "DejaVuSans-Bold.ttf"), "-pointsize", "34",
            "-fill", "white", "-annotate", "+96+49", "Mirrorvault",
            "-font", os.path.join(FONTS, "DejaVuSans.ttf"), "-pointsize", "13",
            "-fill", "#BFD9F7", "-annotate", "+98+71", "Offline snapshots of your network shares",
            "-type", "TrueColor", "BMP3:" + out,
        ], check=True)
    print(out)


if __name__ == "__main__":
    main()
