#!/usr/bin/env python3
"""Draws the program's icons (16x16 and 32x32, 32-bit BGRA with an AND mask) into res/icons.

Shapes are laid out on a 16-unit grid, so edges fall on whole pixels at both sizes, and
anti-aliased by 4x4 supersampling. Plain python3, no extra modules. Run it from anywhere:
    python3 tools/icons/make_icons.py
The .ico files are checked in, so the build never needs this script.
"""
import math
import os
import struct
import sys

SAMPLES = 4


def hex_rgba(text, alpha=255):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


class Canvas:
    def __init__(self, size):
        self.size = size
        self.scale = size / 16.0
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(size)] for _ in range(size)]

    def paint(self, inside, colour):
        """inside(x, y) in grid units; colour is an (r,g,b,a) tuple or a function of y."""
        n = SAMPLES
        for py in range(self.size):
            for px in range(self.size):
                hits = 0
                for sy in range(n):
                    for sx in range(n):
                        x = (px + (sx + 0.5) / n) / self.scale
                        y = (py + (sy + 0.5) / n) / self.scale
                        if inside(x, y):
                            hits += 1
                if hits == 0:
                    continue
                c = colour((py + 0.5) / self.scale) if callable(colour) else colour
                a = c[3] / 255.0 * hits / (n * n)
                r0, g0, b0, a0 = self.px[py][px]
                out_a = a + a0 * (1 - a)
                if out_a <= 0:
                    continue
                mix = lambda s, d: (s * a + d * a0 * (1 - a)) / out_a
                self.px[py][px] = (mix(c[0], r0), mix(c[1], g0), mix(c[2], b0), out_a)

    # Primitives in grid units. `pixel` is one output pixel in grid units, for 1px borders.
    @property
    def pixel(self):
        return 1.0 / self.scale

    def rect(self, x0, y0, x1, y1, colour, radius=0.0):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            if radius <= 0:
                return True
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius

        self.paint(inside, colour)

    def framed_rect(self, x0, y0, x1, y1, border, fill, radius=0.0):
        p = self.pixel
        self.rect(x0, y0, x1, y1, border, radius)
        self.rect(x0 + p, y0 + p, x1 - p, y1 - p, fill, max(0.0, radius - p))

    def circle(self, cx, cy, r, colour):
        self.paint(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour)

    def framed_circle(self, cx, cy, r, border, fill):
        self.circle(cx, cy, r, border)
        self.circle(cx, cy, r - self.pixel, fill)

    def polygon(self, points, colour):
        def inside(x, y):
            result = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result

        self.paint(inside, colour)

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy

        def inside(x, y):
            t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
            qx, qy = x0 + t * dx, y0 + t * dy
            return (x - qx) ** 2 + (y - qy) ** 2 <= (width / 2) ** 2

        self.paint(inside, colour)

    def clip_circle(self, cx, cy, r, draw):
        """Runs draw() on a scratch canvas and keeps only what falls inside the circle."""
        scratch = Canvas(self.size)
        draw(scratch)
        for py in range(self.size):
            for px in range(self.size):
                x = (px + 0.5) / self.scale
                y = (py + 0.5) / self.scale
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    r0, g0, b0, a0 = scratch.px[py][px]
                    if a0 > 0:
                        self.over(px, py, (r0, g0, b0, a0))

    def over(self, px, py, src):
        r, g, b, a = src
        r0, g0, b0, a0 = self.px[py][px]
        out_a = a + a0 * (1 - a)
        if out_a <= 0:
            return
        mix = lambda s, d: (s * a + d * a0 * (1 - a)) / out_a
        self.px[py][px] = (mix(r, r0), mix(g, g0), mix(b, b0), out_a)


def gradient(top, bottom, y0, y1):
    def colour(y):
        t = 0.0 if y1 == y0 else max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(4))

    return colour


# Palette
OUTLINE = hex_rgba("2B3440")
STEEL_TOP, STEEL_BOTTOM = hex_rgba("E9EDF2"), hex_rgba("B9C2CD")
SCREEN_TOP, SCREEN_BOTTOM = hex_rgba("5FB0F5"), hex_rgba("1E62C0")
FOLDER_EDGE = hex_rgba("B07D12")
FOLDER_BACK = hex_rgba("E8B83A")
FOLDER_TOP, FOLDER_BOTTOM = hex_rgba("FFE38A"), hex_rgba("F5C443")
GLOBE_EDGE = hex_rgba("1C6B46")
GLOBE_TOP, GLOBE_BOTTOM = hex_rgba("7FD6A4"), hex_rgba("2E9E62")
CABLE = hex_rgba("404852")


def monitor(c, x0, y0, x1, y1):
    """A monitor whose frame spans x0..x1, y0..y1 (stand below y1)."""
    p = c.pixel
    mid = (x0 + x1) / 2
    c.rect(mid - 1.5, y1 - p, mid + 1.5, y1 + 1.5, OUTLINE)
    c.rect(mid - 3, y1 + 1, mid + 3, y1 + 2.5, OUTLINE, 0.5)
    c.framed_rect(x0, y0, x1, y1, OUTLINE, gradient(STEEL_TOP, STEEL_BOTTOM, y0, y1), 1.0)
    c.rect(x0 + 1.5 * p + 0.5, y0 + 1.5 * p + 0.5, x1 - 1.5 * p - 0.5, y1 - 1.5 * p - 0.5,
           gradient(SCREEN_TOP, SCREEN_BOTTOM, y0, y1))


def small_monitor(c, x0, y0, x1, y1):
    """A monitor for the crowded group icon: frame, screen and a short base."""
    p = c.pixel
    mid = (x0 + x1) / 2
    c.rect(mid - 2, y1 - p, mid + 2, y1 + 1.5, OUTLINE, 0.4)
    c.framed_rect(x0, y0, x1, y1, OUTLINE, gradient(STEEL_TOP, STEEL_BOTTOM, y0, y1), 0.6)
    c.rect(x0 + 2 * p, y0 + 2 * p, x1 - 2 * p, y1 - 2 * p,
           gradient(SCREEN_TOP, SCREEN_BOTTOM, y0, y1))


def globe(c, cx, cy, r):
    c.framed_circle(cx, cy, r, GLOBE_EDGE, gradient(GLOBE_TOP, GLOBE_BOTTOM, cy - r, cy + r))
    line = (255, 255, 255, 150)
    p = c.pixel

    def grid(s):
        s.line(cx - r, cy, cx + r, cy, p, line)
        s.line(cx, cy - r, cx, cy + r, p, line)
        s.paint(lambda x, y: abs(((x - cx) / (r * 0.5)) ** 2 + ((y - cy) / r) ** 2 - 1) < 0.22,
                line)

    c.clip_circle(cx, cy, r - p, grid)


def folder(c, x0, y0, x1, y1, open_folder=False):
    p = c.pixel
    # Back sheet with its tab.
    c.rect(x0, y0, x0 + 6, y0 + 3, FOLDER_EDGE, 0.8)
    c.rect(x0 + p, y0 + p, x0 + 6 - p, y0 + 3, FOLDER_BACK, 0.5)
    c.framed_rect(x0, y0 + 1.5, x1, y1, FOLDER_EDGE, FOLDER_BACK, 0.8)
    if open_folder:
        top = y0 + 4.5
        c.polygon([(x0 + 2.5, top), (x1 + 0.5, top), (x1 - 1.5, y1), (x0, y1)], FOLDER_EDGE)
        c.polygon([(x0 + 2.5 + 1.5 * p, top + p), (x1 + 0.5 - 2 * p, top + p),
                   (x1 - 1.5 - p, y1 - p), (x0 + 1.5 * p, y1 - p)],
                  gradient(FOLDER_TOP, FOLDER_BOTTOM, top, y1))
    else:
        top = y0 + 4
        c.framed_rect(x0, top, x1, y1, FOLDER_EDGE, gradient(FOLDER_TOP, FOLDER_BOTTOM, top, y1),
                      0.8)


def draw_app(c):
    p = c.pixel
    c.framed_rect(1, 1, 15, 15, hex_rgba("123A6B"),
                  gradient(hex_rgba("3F8AE0"), hex_rgba("1A4F96"), 1, 15), 2.5)
    # Vault door with its dial; the bright upper half is the mirror.
    c.framed_circle(8, 8, 5.0, hex_rgba("0F2F57"), gradient(STEEL_TOP, STEEL_BOTTOM, 3, 13))
    for angle in (90, 210, 330):
        a = math.radians(angle)
        c.line(8, 8, 8 + 3.6 * math.cos(a), 8 - 3.6 * math.sin(a), 1.2 * max(p, 0.75),
               hex_rgba("0F2F57"))
    c.framed_circle(8, 8, 1.9, hex_rgba("0F2F57"), hex_rgba("3F8AE0"))
    # Hinges on the left edge.
    c.rect(2.2, 5, 3.2, 6.5, hex_rgba("0F2F57"))
    c.rect(2.2, 9.5, 3.2, 11, hex_rgba("0F2F57"))


def draw_directory(c):
    folder(c, 1, 2, 15, 13)


def draw_share(c):
    p = c.pixel
    folder(c, 1, 1, 15, 10, open_folder=True)
    # The network cable: down from the folder, then along the bottom edge.
    # Whole pixels at both sizes: one pixel wide at 16, two at 32.
    x0 = 7.0 if p == 1 else 7.5
    c.rect(x0, 10 - p, x0 + 1, 13.5, CABLE)
    c.rect(2, 13, 14, 14, CABLE)
    c.rect(5.5 if p < 1 else 5, 12, 10.5 if p < 1 else 10, 15, CABLE, 0.5)


def draw_computer(c):
    monitor(c, 1, 1, 15, 11.5)


def draw_group(c):
    globe(c, 10, 5.5, 5)
    small_monitor(c, 0.5, 5.5, 8.5, 11.5)
    small_monitor(c, 5.5, 8, 13.5, 14)


def draw_snapshot(c):
    p = c.pixel
    body = hex_rgba("39414B")
    c.rect(5, 2.5, 10.5, 5, body, 0.8)
    c.framed_rect(1, 4, 15, 13.5, hex_rgba("1E242B"), gradient(hex_rgba("5A6470"), body, 4, 13.5),
                  1.5)
    c.rect(12, 5.5, 14, 7, hex_rgba("FFD34D"), 0.3)
    c.framed_circle(8, 9, 3.8, hex_rgba("1E242B"), gradient(STEEL_TOP, STEEL_BOTTOM, 5, 13))
    c.framed_circle(8, 9, 2.5, hex_rgba("1E242B"), gradient(SCREEN_TOP, SCREEN_BOTTOM, 6.5, 11.5))
    c.circle(7.2, 8.2, 0.9 if p < 1 else 0.8, (255, 255, 255, 200))


ICONS = {
    "app.ico": draw_app,          # 104
    "directory.ico": draw_directory,  # 105
    "share.ico": draw_share,      # 106
    "group.ico": draw_group,      # 108
    "computer.ico": draw_computer,  # 109
    "snapshot.ico": draw_snapshot,  # 110
}


def image_bytes(canvas):
    size = canvas.size
    pixels = bytearray()
    for py in reversed(range(size)):  # bottom-up rows
        for px in range(size):
            r, g, b, a = canvas.px[py][px]
            pixels += bytes((int(round(b)) & 255, int(round(g)) & 255, int(round(r)) & 255,
                             int(round(a * 255))))
    row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for py in reversed(range(size)):
        row = bytearray(row_bytes)
        for px in range(size):
            if canvas.px[py][px][3] < 0.5 / 255:
                row[px // 8] |= 0x80 >> (px % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask),
                         0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def write_ico(path, draw):
    images = []
    for size in (16, 32):
        canvas = Canvas(size)
        draw(canvas)
        images.append((size, image_bytes(canvas)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    out_dir = os.path.join(root, "res", "icons")
    if len(sys.argv) > 1:
        out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for name, draw in ICONS.items():
        write_ico(os.path.join(out_dir, name), draw)
        print(os.path.join(out_dir, name))


if __name__ == "__main__":
    main()
