#!/usr/bin/env python3
"""Draws the program's own images and writes them into resources/:

  quorvane.ico  the program icon, 32 x 32, 32 bits per pixel with alpha
  folder.ico    the tree's closed folder, 16 x 16
  drive.ico     the tree's hard-disk drive, 16 x 16
  info.bmp      the about button's glyph, 16 x 16, 32 bits (blue, green, red,
                alpha), no palette; fully transparent pixels are black

Run it again after changing a drawing; the outputs are committed, so a build
does not need Python. Uses the standard library only.
"""
import os

from artwork import bmp, ico, supersample

SUPERSAMPLE = 4
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")


def rgb(hex_text, alpha=255):
    v = int(hex_text.lstrip("#"), 16)
    return ((v >> 16) & 255, (v >> 8) & 255, v & 255, alpha)


# Shapes are predicates on a point in pixel coordinates (0,0 is the top-left
# corner of the top-left pixel).
def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rounded(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def polygon(points):
    def inside(x, y):
        result = False
        n = len(points)
        for i in range(n):
            (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
            if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                result = not result
        return result
    return inside


def gradient(top, bottom, y0, y1):
    """A fill whose colour runs from `top` at y0 to `bottom` at y1."""
    def colour(x, y):
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        return tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
    return colour


def render(size, layers):
    """Paints the layers in order, later ones on top."""
    def colour_at(x, y):
        hit = None
        for shape, fill in layers:
            if shape(x, y):
                hit = fill(x, y) if callable(fill) else fill
        return hit
    return supersample(size, colour_at, SUPERSAMPLE)


def outlined(shape_outer, shape_inner, rim, fill):
    return [(shape_outer, rim), (shape_inner, fill)]


def folder_16():
    rim = rgb("#A87A12")
    return (outlined(rounded(0.5, 2.0, 7.5, 6.0, 1.0), rounded(1.5, 3.0, 6.5, 6.0, 0.5), rim, rgb("#E8B92E"))
            + outlined(rounded(0.5, 4.0, 15.5, 14.5, 1.0), rounded(1.5, 5.0, 14.5, 13.5, 0.5), rim,
                       gradient(rgb("#FFE58A"), rgb("#F0C030"), 5.0, 13.5))
            + [(rect(1.5, 5.0, 14.5, 6.0), rgb("#FFF3C4"))])


def drive_16():
    rim = rgb("#505560")
    return (outlined(rounded(0.5, 5.0, 15.5, 12.5, 1.5), rounded(1.5, 6.0, 14.5, 11.5, 1.0), rim,
                     gradient(rgb("#E4E6EA"), rgb("#A4A8B0"), 6.0, 11.5))
            + [(rect(2.5, 9.0, 9.5, 10.0), rgb("#6E737C")),
               (ellipse(12.5, 9.5, 1.2, 1.2), rgb("#22C040")),
               (rect(1.5, 6.0, 14.5, 7.0), rgb("#F6F7F9"))])


def info_16():
    rim = rgb("#8C8C8C")
    blue = rgb("#1C5BD0")
    balloon = ellipse(8.0, 6.8, 7.4, 5.9)
    balloon_inner = ellipse(8.0, 6.8, 6.4, 4.9)
    tail = polygon([(4.0, 10.5), (7.5, 11.5), (2.5, 15.5)])
    tail_inner = polygon([(4.8, 10.4), (6.6, 11.0), (3.6, 13.8)])
    pale = rgb("#FDFBEA")
    return [(balloon, rim), (tail, rim), (balloon_inner, pale), (tail_inner, pale),
            (ellipse(8.0, 3.3, 1.05, 1.05), blue),
            (rect(7.0, 5.5, 9.0, 10.3), blue)]


def program_32():
    rim = rgb("#8A6410")
    layers = (outlined(rounded(1.0, 4.0, 14.0, 10.0, 2.0), rounded(2.0, 5.0, 13.0, 10.0, 1.0), rim, rgb("#E0AE26"))
              + outlined(rounded(1.0, 7.0, 31.0, 29.0, 2.0), rounded(2.0, 8.0, 30.0, 28.0, 1.5), rim,
                         gradient(rgb("#FFE28A"), rgb("#EDB82A"), 8.0, 28.0)))
    # A picture on the folder: sky, sun and a green hill in a white frame.
    frame = rounded(8.0, 11.0, 28.0, 26.0, 1.0)
    inner = rect(9.5, 12.5, 26.5, 24.5)
    hill = ellipse(16.0, 30.0, 13.0, 8.5)
    layers += [(frame, rgb("#FFFFFF")),
               (inner, gradient(rgb("#4AA0F0"), rgb("#BFE3FF"), 12.5, 24.5)),
               (lambda x, y: inner(x, y) and ellipse(22.5, 16.0, 2.2, 2.2)(x, y), rgb("#FFD23A")),
               (lambda x, y: inner(x, y) and hill(x, y), rgb("#3DAA4A"))]
    # A drop of colour in the corner: captions in colour.
    layers += [(ellipse(5.5, 25.5, 4.5, 4.5), rgb("#FFFFFF")),
               (ellipse(5.5, 25.5, 3.5, 3.5), rgb("#D8344A"))]
    return layers


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
    print("wrote", os.path.normpath(os.path.join(OUT, name)))


def main():
    write("quorvane.ico", ico(render(32, program_32())))
    write("folder.ico", ico(render(16, folder_16())))
    write("drive.ico", ico(render(16, drive_16())))
    write("info.bmp", bmp(render(16, info_16())))


if __name__ == "__main__":
    main()
