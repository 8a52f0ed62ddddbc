"""Writers shared by the scripts that draw the program's images: icon files
with 32-bit entries (alpha, plus the AND mask older systems need) and
32-bit bitmaps. Pictures are rows top down of (r, g, b, a)."""
import struct


def supersample(size, colour_at, samples=4):
    """Renders a size x size picture from colour_at(x, y), which takes a point in
    pixel coordinates (0, 0 is the top-left corner of the top-left pixel) and
    gives (r, g, b, a) or None. Each pixel averages samples x samples points,
    weighted by their alpha. Returns rows top down of (r, g, b, a)."""
    rows = []
    n = samples
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    hit = colour_at(px + (sx + 0.5) / n, py + (sy + 0.5) / n)
                    if hit:
                        a = hit[3] / 255.0
                        acc[0] += hit[0] * a
                        acc[1] += hit[1] * a
                        acc[2] += hit[2] * a
                        acc[3] += a
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                alpha = round(acc[3] / (n * n) * 255)
                row.append(tuple(round(c / acc[3]) for c in acc[:3]) + (alpha,))
        rows.append(row)
    return rows


def dib_rows(rows):
    """32-bit BGRA rows bottom up, as a DIB stores them."""
    out = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            out += bytes((b, g, r, a))
    return bytes(out)


def icon_image(rows):
    """One icon entry: header, colour rows and the mask of transparent pixels."""
    size = len(rows)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return info + dib_rows(rows) + bytes(mask)


def ico(*pictures):
    """An icon file holding one entry per picture, in the order given."""
    images = [(len(rows), icon_image(rows)) for rows in pictures]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(image for _, image in images)


def bmp(rows):
    size = len(rows)
    pixels = dib_rows(rows)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 32, 0, len(pixels), 0, 0, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels
