#!/usr/bin/env python3
"""Draws the icon library shipped beside the program: folders in a dozen
plain colours and a dozen folders with a symbol. Each icon holds the sizes
Windows draws folder icons at: 16, 20, 24, 32, 40, 48 and 64 pixels as
uncompressed 32-bit images with alpha and the AND mask (what Windows XP
reads), and 256 as PNG (what Vista and later show in large views).
Every size is drawn from the shapes themselves, never scaled from another.

  make-icons.py [FOLDER]      writes FOLDER/*.ico (resources/Icons by default)
  make-icons.py --check       draws again and compares with resources/Icons
  make-icons.py --decode DIR  writes DIR/<name>.rgba: the pictures of every
                              entry of every committed icon, in file order,
                              rows top down of r, g, b, a (the tests' reference)

The outputs are committed, so a build does not need Python."""
import math
import multiprocessing
import os
import sys

from artwork import ico, read_ico, supersample

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
PNG_FROM = 256
LIBRARY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "Icons")


def sd_box(x, y, x0, y0, x1, y1, r):
    """Signed distance to a rounded rectangle: negative inside."""
    qx = abs(x - (x0 + x1) / 2) - ((x1 - x0) / 2 - r)
    qy = abs(y - (y0 + y1) / 2) - ((y1 - y0) / 2 - r)
    return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r


def sd_segment(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def in_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


# Emblems: predicates on a point of the unit square, centred near (0.66, 0.64)
# on the folder's front; true means the emblem's colour, a tuple another
# colour. `w` is the least half width of a stroke, so that a stroke never
# drops below about one and a half pixels at the small sizes.
def star(x, y, w):
    points = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        r = 0.23 if i % 2 == 0 else 0.095
        points.append((0.66 + r * math.cos(a), 0.655 + r * math.sin(a)))
    return in_polygon(x, y, points)


def heart(x, y, w):
    u = (x - 0.66) / 0.2
    v = -(y - 0.62) / 0.2 + 0.3
    return (u * u + v * v - 1) ** 3 - u * u * v ** 3 <= 0


def note(x, y, w):
    head = (x - 0.6) ** 2 / 0.008 + (y - 0.78) ** 2 / 0.0045 <= 1
    stem = abs(x - 0.68) <= max(0.025, w) and 0.44 <= y <= 0.78
    flag = sd_segment(x, y, 0.68, 0.46, 0.82, 0.54) <= max(0.035, w)
    return head or stem or flag


def mountain(x, y, w):
    box = sd_box(x, y, 0.46, 0.46, 0.88, 0.84, 0.03)
    if box > 0:
        return False
    if box > -max(0.03, w) or y >= 0.84 - (0.3 - abs(x - 0.6)) * 0.9:
        return True
    if math.hypot(x - 0.77, y - 0.58) <= max(0.045, 1.4 * w):
        return (250, 214, 80)  # the sun
    return (226, 242, 255)  # the sky


def tick(x, y, w):
    hw = max(0.055, w)
    return sd_segment(x, y, 0.5, 0.64, 0.61, 0.76) <= hw or sd_segment(x, y, 0.61, 0.76, 0.84, 0.5) <= hw


def plus(x, y, w):
    hw = max(0.055, w)
    return (abs(x - 0.66) <= hw and abs(y - 0.64) <= 0.21) or (abs(y - 0.64) <= hw and abs(x - 0.66) <= 0.21)


def triangle(x, y, w):
    return 0.54 <= x <= 0.86 and abs(y - 0.64) <= (0.86 - x) * 0.7


def diamond(x, y, w):
    return abs(x - 0.66) + abs(y - 0.64) <= 0.22


def ring(x, y, w):
    return abs(math.hypot(x - 0.66, y - 0.64) - 0.155) <= max(0.05, w)


def bars(x, y, w):
    # Three bars whose gaps stay open at 16 pixels.
    for i, h in enumerate((0.16, 0.26, 0.36)):
        x0 = 0.49 + i * 0.135
        if x0 <= x <= x0 + max(0.08, 2 * w) and 0.84 - h <= y <= 0.84:
            return True
    return False


def bolt(x, y, w):
    return in_polygon(x, y, [(0.7, 0.42), (0.52, 0.67), (0.64, 0.67), (0.58, 0.88),
                             (0.82, 0.58), (0.69, 0.58), (0.76, 0.42)])


def circle(x, y, w):
    return math.hypot(x - 0.66, y - 0.64) <= 0.2


# file name, folder colour, emblem colour, emblem (None: a plain folder).
# The names are plain ASCII: XP's and 7's Compressed Folders read a ZIP's
# names in the OEM code page, and a garbled name would end up in IconFile.
# README.md and README.txt give each its Russian meaning.
ICONS = [
    ("Folder red", (222, 62, 52), None, None),
    ("Folder orange", (246, 142, 42), None, None),
    ("Folder yellow", (250, 204, 62), None, None),
    ("Folder green", (70, 176, 84), None, None),
    ("Folder turquoise", (38, 184, 172), None, None),
    ("Folder light blue", (96, 182, 240), None, None),
    ("Folder blue", (44, 94, 204), None, None),
    ("Folder violet", (142, 84, 204), None, None),
    ("Folder pink", (240, 124, 172), None, None),
    ("Folder brown", (150, 102, 62), None, None),
    ("Folder grey", (152, 154, 160), None, None),
    ("Folder black", (70, 70, 78), None, None),
    ("Star", (242, 190, 60), (214, 40, 40), star),
    ("Heart", (242, 170, 190), (200, 20, 60), heart),
    ("Music", (120, 170, 240), (30, 50, 120), note),
    ("Photos", (130, 200, 130), (30, 90, 40), mountain),
    ("Done", (80, 176, 80), (255, 255, 255), tick),
    ("New", (80, 160, 220), (255, 255, 255), plus),
    ("Video", (180, 100, 210), (255, 255, 255), triangle),
    ("Important", (236, 110, 80), (255, 240, 120), diamond),
    ("Archive", (170, 150, 120), (90, 70, 40), ring),
    ("Reports", (150, 160, 180), (40, 110, 200), bars),
    ("Projects", (250, 210, 90), (40, 40, 40), bolt),
    ("Personal", (90, 190, 180), (250, 250, 250), circle),
]


def shade(colour, k):
    return tuple(min(255, int(c * k)) for c in colour)


def inside_edge(x, y, px):
    """Inside the front panel's edge, where an emblem may go."""
    return sd_box(x, y, 0.06, 0.33, 0.94, 0.87, 0.06) <= -max(0.014, px)


def folder_colour(x, y, body, px):
    """The folder: a tab and the back behind a front panel, all with a dark
    edge of at least one pixel so that light folders stand out on white."""
    edge = max(0.014, px)
    tab = sd_box(x, y, 0.06, 0.14, 0.46, 0.34, 0.05)
    back = sd_box(x, y, 0.06, 0.22, 0.94, 0.87, 0.06)
    front = sd_box(x, y, 0.06, 0.33, 0.94, 0.87, 0.06)
    outline = min(tab, back, front)
    if outline > 0:
        return None
    if outline > -edge:
        return shade(body, 0.55)
    if front <= 0:
        if front > -edge and y < 0.4:
            return shade(body, 0.7)
        if front > -2 * edge and y < 0.4:
            return tuple(min(255, c + (255 - c) // 3) for c in body)  # the front's lit top
        return shade(body, 1.0 - 0.2 * (y - 0.33) / 0.54)
    return shade(body, 0.8)


def emblem_scale(size):
    """Emblems grow at the small sizes so that they stay recognisable."""
    return 1.15 if size <= 20 else 1.08 if size <= 32 else 1.0


def render(job):
    index, size = job
    _, body, mark, emblem = ICONS[index]
    px = 1.0 / size
    s = emblem_scale(size)

    def colour_at(x, y):
        u, v = x * px, y * px
        colour = folder_colour(u, v, body, px)
        if colour is None:
            return None
        # Raised a little and kept inside the folder's edge, however large.
        hit = emblem and inside_edge(u, v, px) and emblem(0.66 + (u - 0.66) / s, 0.645 + (v - 0.6) / s,
                                                          0.75 * px / s)
        if hit:
            return (mark if hit is True else hit) + (255,)
        return colour + (255,)

    return supersample(size, colour_at, 3 if size >= 128 else 4)


def draw_all():
    """{file name: icon bytes} for the whole library."""
    jobs = [(index, size) for index in range(len(ICONS)) for size in SIZES]
    with multiprocessing.Pool(min(2, os.cpu_count() or 1)) as pool:
        pictures = pool.map(render, jobs, chunksize=1)
    out = {}
    for i, (name, _, _, _) in enumerate(ICONS):
        out[name + ".ico"] = ico(*pictures[i * len(SIZES):(i + 1) * len(SIZES)], png_from=PNG_FROM)
    return out


def verify():
    """Nonzero when resources/Icons differs from the drawing. Bitmap entries
    must match byte for byte; a PNG entry by its pixels, since another zlib
    may compress the same picture differently."""
    drawn = draw_all()
    committed = sorted(f for f in os.listdir(LIBRARY) if f.lower().endswith(".ico"))
    problems = ["%s: not drawn by this script" % f for f in committed if f not in drawn]
    for name, data in drawn.items():
        path = os.path.join(LIBRARY, name)
        if not os.path.exists(path):
            problems.append("%s: missing" % name)
            continue
        with open(path, "rb") as f:
            have = f.read()
        if have == data:
            continue
        want, got = read_ico(data), read_ico(have)
        if [e[:2] for e in want] != [e[:2] for e in got]:
            problems.append("%s: other sizes" % name)
        for (size, is_png, image, rows), (_, _, got_image, got_rows) in zip(want, got):
            if (rows != got_rows) if is_png else (image != got_image):
                problems.append("%s: the %d-pixel image differs" % (name, size))
    for p in problems:
        print(p, file=sys.stderr)
    print("%d icons, %s" % (len(drawn), "differences found" if problems else "all as drawn"))
    return 1 if problems else 0


def decode(target):
    os.makedirs(target, exist_ok=True)
    for name in sorted(os.listdir(LIBRARY)):
        if not name.lower().endswith(".ico"):
            continue
        with open(os.path.join(LIBRARY, name), "rb") as f:
            entries = read_ico(f.read())
        with open(os.path.join(target, name[:-4] + ".rgba"), "wb") as f:
            for _, _, _, rows in entries:
                f.write(bytes(c for row in rows for pixel in row for c in pixel))
    return 0


def main():
    args = sys.argv[1:]
    if args[:1] == ["--check"]:
        return verify()
    if args[:1] == ["--decode"] and len(args) == 2:
        return decode(args[1])
    target = args[0] if args else LIBRARY
    os.makedirs(target, exist_ok=True)
    for name, data in draw_all().items():
        with open(os.path.join(target, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
