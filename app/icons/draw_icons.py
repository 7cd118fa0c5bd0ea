#!/usr/bin/env python3
"""Draws the program's icons: the program icon and the frames of the tray animation.

The picture is a light circular arrow (a backup going round) around a small archive box, on a dark
blue rounded square. Frame k turns the arrow by k eighths of a circle; frame 0 is the program icon,
so the tray shows the resting icon again when the animation stops at index 0.

  draw_icons.py OUTDIR            writes orvapp.ico and frame0.ico .. frame7.ico
  draw_icons.py --preview FILE    writes a PNG sheet of every icon, enlarged, for a look
"""
import math
import os
import struct
import sys
import zlib

FRAMES = 8
PROGRAM_SIZES = (16, 24, 32, 48)
FRAME_SIZES = (16, 32)

# The product's colours as RGB (0x996633 and 0xF5DEDE are BGR in the program's code).
BLUE = (0x33, 0x66, 0x99)
BLUE_LIGHT = (0x4A, 0x80, 0xB6)
BLUE_DARK = (0x22, 0x44, 0x66)
LIGHT = (0xDE, 0xDE, 0xF5)
WHITE = (0xFF, 0xFF, 0xFF)


def rounded_square(x, y, size, radius, inset):
    lo, hi = inset, size - inset
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius and lo <= x <= hi and lo <= y <= hi


def angle_in(angle, start, span):
    return (angle - start) % (2 * math.pi) <= span


def inside(x, y, rect):
    left, top, right, bottom = rect
    return left <= x <= right and top <= y <= bottom


def in_triangle(p, a, b, c):
    def side(p1, p2, p3):
        return (p1[0] - p3[0]) * (p2[1] - p3[1]) - (p2[0] - p3[0]) * (p1[1] - p3[1])
    d1, d2, d3 = side(p, a, b), side(p, b, c), side(p, c, a)
    return not ((d1 < 0 or d2 < 0 or d3 < 0) and (d1 > 0 or d2 > 0 or d3 > 0))


class Geometry:
    """The shapes of one icon size; coordinates in pixels, y downwards, angles clockwise."""

    def __init__(self, size, turn):
        s = float(size)
        self.size = s
        self.corner = s * 0.22
        self.border = max(1.0, s / 24)
        self.centre = (s / 2, s / 2)
        self.radius = s * 0.30
        self.width = max(2.0, s * 0.10)
        self.start = turn + math.radians(-40)
        self.span = math.radians(250)
        end = self.start + self.span
        # The head sits at the arc's end and points along it, clockwise.
        inner = self.radius - self.width * 1.05
        outer = self.radius + self.width * 1.25
        tip_angle = end + self.width * 1.9 / self.radius
        cx, cy = self.centre
        self.head = (
            (cx + inner * math.cos(end), cy + inner * math.sin(end)),
            (cx + outer * math.cos(end), cy + outer * math.sin(end)),
            (cx + self.radius * math.cos(tip_angle), cy + self.radius * math.sin(tip_angle)),
        )
        self.cap = (cx + self.radius * math.cos(self.start), cy + self.radius * math.sin(self.start))
        # The archive box in the middle: a lid over a body with a slot; at 16 pixels a plain square.
        b = s * 0.145
        self.box = size >= 24
        self.lid = (cx - b * 1.2, cy - b * 1.0, cx + b * 1.2, cy - b * 0.4)
        self.body = (cx - b, cy - b * 0.25, cx + b, cy + b)
        self.slot = (cx - b * 0.45, cy + b * 0.05, cx + b * 0.45, cy + b * 0.3)
        q = s * 0.125
        self.square = (cx - q, cy - q, cx + q, cy + q)

    def layers(self, x, y):
        """The colour of each layer that covers the point, bottom to top."""
        s = self.size
        hits = []
        if rounded_square(x, y, s, self.corner, 0.0):
            hits.append(BLUE_DARK)
            if rounded_square(x, y, s, self.corner - self.border, self.border):
                # A soft light from the top left.
                t = (x + y) / (2 * s)
                hits.append(tuple(round(a + (b - a) * t) for a, b in zip(BLUE_LIGHT, BLUE)))
        cx, cy = self.centre
        r = math.hypot(x - cx, y - cy)
        angle = math.atan2(y - cy, x - cx)
        on_arc = abs(r - self.radius) <= self.width / 2 and angle_in(angle, self.start, self.span)
        on_cap = math.hypot(x - self.cap[0], y - self.cap[1]) <= self.width / 2
        if on_arc or on_cap or in_triangle((x, y), *self.head):
            hits.append(LIGHT)
        if self.box:
            if inside(x, y, self.lid) or inside(x, y, self.body):
                hits.append(WHITE)
            if inside(x, y, self.slot):
                hits.append(BLUE)
        elif inside(x, y, self.square):
            hits.append(WHITE)
        return hits


def render(size, turn, samples=6):
    """Straight-alpha RGBA rows, each pixel averaged over samples x samples points."""
    geometry = Geometry(size, turn)
    rows = []
    n = samples * samples
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(samples):
                for sx in range(samples):
                    hits = geometry.layers(px + (sx + 0.5) / samples, py + (sy + 0.5) / samples)
                    if hits:
                        cr, cg, cb = hits[-1]
                        r, g, b, a = r + cr, g + cg, b + cb, a + 1
            if a:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_image(rows):
    """One image of an .ico file: a 32-bit bottom-up DIB with its AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(pixels) + bytes(mask)


def ico_file(images):
    """images: (size, data) pairs."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return out


def write_icon(path, sizes, turn):
    images = [(size, icon_image(render(size, turn))) for size in sizes]
    with open(path, "wb") as f:
        f.write(ico_file(images))


def turn_of(frame):
    return frame * 2 * math.pi / FRAMES


def write_png(path, rows):
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rows)
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    height, width = len(rows), len(rows[0])
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def preview(path):
    """Every size of the program icon and every frame, enlarged, on white and on the product's light
    background."""
    scale, gap = 6, 8
    pictures = [render(size, 0) for size in PROGRAM_SIZES]
    pictures += [render(size, turn_of(k)) for size in FRAME_SIZES for k in range(FRAMES)]
    width = sum(len(p) * scale + gap for p in pictures[:len(PROGRAM_SIZES)]) + gap
    width = max(width, FRAMES * (32 * scale + gap) + gap)
    band = 48 * scale + 2 * gap
    sheet = [[WHITE + (255,)] * width for _ in range(2 * band * 3)]
    def place(picture, left, top, background):
        for y, row in enumerate(picture):
            for x, (r, g, b, a) in enumerate(row):
                px = tuple(round((c * a + bg * (255 - a)) / 255) for c, bg in zip((r, g, b), background))
                for dy in range(scale):
                    for dx in range(scale):
                        sheet[top + y * scale + dy][left + x * scale + dx] = px + (255,)
    for half, background in enumerate((WHITE, LIGHT)):
        base = half * band * 3
        for y in range(base, base + band * 3):
            sheet[y] = [background + (255,)] * width
        left = gap
        for picture in pictures[:len(PROGRAM_SIZES)]:
            place(picture, left, base + gap, background)
            left += len(picture) * scale + gap
        for row, size in enumerate(FRAME_SIZES):
            for k in range(FRAMES):
                picture = pictures[len(PROGRAM_SIZES) + row * FRAMES + k]
                place(picture, gap + k * (32 * scale + gap), base + band * (row + 1), background)
    write_png(path, sheet)


def main(argv):
    if len(argv) == 3 and argv[1] == "--preview":
        preview(argv[2])
        return 0
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    write_icon(os.path.join(out, "orvapp.ico"), PROGRAM_SIZES, 0)
    for k in range(FRAMES):
        write_icon(os.path.join(out, "frame%d.ico" % k), FRAME_SIZES, turn_of(k))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
