#!/usr/bin/env python3
"""The measures of the control library's region shapes, computed from their description alone.

Usage: region_oracle.py LEFT TOP RIGHT BOTTOM ORIGIN_X ORIGIN_Y SHADOW_DEPTH ROUND_X ROUND_Y BUBBLES
SHADOW_DEPTH is 0 without a shadow. Prints one line per shape (and per position for the nose and
bubble shapes): a name, then rectangles as l,t,r,b and points as x,y.
"""
import math
import sys


def tdiv(a, b):
    """Integer division rounding towards zero."""
    q = abs(a) // abs(b)
    return q if (a >= 0) == (b > 0) else -q


def pts(points):
    return " ".join("%d,%d" % p for p in points)


def box(r):
    return "%d,%d,%d,%d" % tuple(r)


def shrunk_body(L, T, R, B, size, p):
    top, left = p <= 3, p <= 1 or p >= 6
    return [L + size if left else L, T + size if top else T, R if left else R - size, B if top else B - size]


def corner(L, T, R, B, p):
    return (L if p <= 1 or p >= 6 else R, T if p <= 3 else B)


def nose(L, T, R, B, n, b, p):
    body = shrunk_body(L, T, R, B, n, p)
    d = round(math.sqrt(2 * n * n))
    if p in (0, 3, 4, 7):  # the side named first is the left or the right one
        x = body[0] if p in (0, 7) else body[2]
        if p in (0, 3):
            base = [(x, body[1] + b), (x, body[1] + b + d)]
        else:
            base = [(x, body[3] - b), (x, body[3] - b - d)]
    else:
        y = body[1] if p in (1, 2) else body[3]
        if p in (1, 6):
            base = [(body[0] + b, y), (body[0] + b + d, y)]
        else:
            base = [(body[2] - b, y), (body[2] - b - d, y)]
    return body, [corner(L, T, R, B, p)] + base


def bubbles(L, T, R, B, s, count, p):
    body = shrunk_body(L, T, R, B, s, p)
    circles = []
    if count >= 1:
        cx, cy = corner(L, T, R, B, p)
        sx = 1 if p <= 1 or p >= 6 else -1
        sy = 1 if p <= 3 else -1
        e = s * (2 * math.pi / 4) / count / count
        for f in range(count + 3):
            g = f * (math.pi / 2) / (count + 1)
            along, across = s - round(s * math.cos(g)), round(s * math.sin(g))
            if p in (0, 3, 4, 7):
                x, y = cx + sx * along, cy + sy * across
            else:
                x, y = cx + sx * across, cy + sy * along
            half = tdiv(round(f * e), 2)
            circles.append((x - half, y - half, x + half, y + half))
    return body, circles


def main(args):
    left, top, right, bottom, ox, oy, depth, rx, ry, count = (int(a) for a in args)
    L, T, R, B = left + ox, top + oy, right - depth, bottom - depth
    W, H = R - L, B - T
    print("rect", box((L, T, R, B)))
    print("star", pts([(L + tdiv(W, 2), T), (L + round(0.65 * W), T + round(0.38 * H)), (R, T + round(0.38 * H)),
                       (L + round(0.7 * W), T + round(0.6 * H)), (L + round(0.85 * W), B),
                       (L + tdiv(W, 2), T + round(0.75 * H)), (L + round(0.15 * W), B),
                       (L + round(0.3 * W), T + round(0.6 * H)), (L, T + round(0.38 * H)),
                       (L + round(0.35 * W), T + round(0.38 * H))]))
    print("diamond", pts([(L + tdiv(W, 2), T), (L, T + tdiv(H, 2)), (L + tdiv(W, 2), B), (R, T + tdiv(H, 2))]))
    w3, h3 = tdiv(W, 3), tdiv(H, 3)
    print("octagon", pts([(L + w3 * 2, T), (L + w3, T), (L, T + h3), (L, T + h3 * 2), (L + w3, B), (L + w3 * 2, B),
                          (R, T + h3 * 2), (R, T + h3)]))
    h4 = tdiv(H, 4)
    print("comb", pts([(L + tdiv(W, 2), T), (L, T + h4), (L, T + h4 * 3), (L + tdiv(W, 2), B), (R, T + h4 * 3),
                       (R, T + h4)]))
    print("halfround", box((L, 2 * T - B, R, B)))
    move = lambda r: (r[0] + L, r[1] + T, r[2] + L, r[3] + T)
    cuts = [move((-tdiv(W, 2), -tdiv(H, 5), tdiv(W, 2), tdiv(H, 5))),
            move((tdiv(W, 2), -tdiv(H, 5), W + tdiv(W, 2), tdiv(H, 5)))]
    bar = move((0, -40, W, 0))
    print("roundshield", box(move((0, tdiv(H, 5) - H, W, H))), box(cuts[0]), box(cuts[1]), box(bar))
    h8 = tdiv(8 * H, 7)
    print("sharpshield", box(move((-W, -h8, W, h8))), box(move((0, -h8, 2 * W, h8))), box(cuts[0]), box(cuts[1]),
          box(bar))
    for p in range(8):
        body, triangle = nose(L, T, R, B, tdiv(W, 10), 5, p)
        print("nose", p, box(body), pts(triangle))
        body, triangle = nose(L, T, R, B, tdiv(W, 10), ry if p in (0, 3, 4, 7) else rx, p)
        print("roundnose", p, box(body), pts(triangle))
        body, circles = bubbles(L, T, R, B, tdiv(W, 6), count, p)
        print("bubbles", p, box(body), " ".join(box(c) for c in circles))


if __name__ == "__main__":
    main(sys.argv[1:])
