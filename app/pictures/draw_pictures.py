#!/usr/bin/env python3
"""Draws the pictures the windows carry, as PPM files that the build encodes to JPEG:

  logo.ppm  the program's emblem on white, for the band at the top of the main window
  info.ppm  the information window's picture: the emblem on a band that runs from the product's
            dark blue into its light colour

  draw_pictures.py OUTDIR
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "icons"))
import draw_icons  # noqa: E402  (the emblem is the program icon's picture)

WHITE = draw_icons.WHITE
BLUE = draw_icons.BLUE
LIGHT = draw_icons.LIGHT


def over(background, rows, left, top):
    """Puts the straight-alpha picture rows onto background (rows of RGB) at left, top."""
    for y, row in enumerate(rows):
        for x, (r, g, b, a) in enumerate(row):
            under = background[top + y][left + x]
            t = a / 255.0
            background[top + y][left + x] = tuple(round(c * t + u * (1 - t)) for c, u in zip((r, g, b), under))


def write_ppm(path, rows):
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (len(rows[0]), len(rows)))
        f.write(bytes(c for row in rows for px in row for c in px))


def logo():
    size = 40
    rows = [[WHITE] * size for _ in range(size)]
    over(rows, draw_icons.render(size, 0), 0, 0)
    return rows


def info():
    width, height, emblem = 360, 96, 64
    rows = []
    for _ in range(height):
        rows.append([tuple(round(b + (l - b) * min(1.0, x / (width * 0.8))) for b, l in zip(BLUE, LIGHT))
                     for x in range(width)])
    over(rows, draw_icons.render(emblem, 0), 16, (height - emblem) // 2)
    return rows


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_ppm(os.path.join(out, "logo.ppm"), logo())
    write_ppm(os.path.join(out, "info.ppm"), info())


if __name__ == "__main__":
    main()
