"""Writers shared by the scripts that draw the program's images: icon files
with 32-bit entries (alpha, plus the AND mask older systems need) or PNG
entries, and 32-bit bitmaps; and a reader of the icon files they write, so
a script can check what is committed. Pictures are rows top down of
(r, g, b, a)."""
import struct
import zlib


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


def ico(*pictures, png_from=257):
    """An icon file holding one entry per picture, in the order given.
    Pictures of png_from pixels and more are stored as PNG, the others as
    uncompressed 32-bit bitmaps, which every Windows since XP reads."""
    images = [(len(rows), png(rows) if len(rows) >= png_from else icon_image(rows)) for rows in pictures]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(image for _, image in images)


def _png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _filtered(kind, line, prior):
    """One PNG filter applied to a row of RGBA bytes, prior being the row above."""
    out = bytearray(len(line))
    for i, x in enumerate(line):
        a = line[i - 4] if i >= 4 else 0
        b = prior[i]
        c = prior[i - 4] if i >= 4 else 0
        predictor = (0, a, b, (a + b) // 2, _paeth(a, b, c))[kind]
        out[i] = (x - predictor) & 0xFF
    return bytes(out)


def png(rows):
    """An RGBA PNG of the picture, each row with the filter that leaves the
    smallest sum (the usual heuristic), compressed with zlib."""
    width, height = len(rows[0]), len(rows)
    raw = bytearray()
    prior = bytes(width * 4)
    for row in rows:
        line = bytes(c for pixel in row for c in pixel)
        candidates = [_filtered(kind, line, prior) for kind in range(5)]
        kind = min(range(5), key=lambda k: sum(v if v < 128 else 256 - v for v in candidates[k]))
        raw += bytes((kind,)) + candidates[kind]
        prior = line
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", header) +
            _png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + _png_chunk(b"IEND", b""))


def read_png(data):
    """The picture of an RGBA PNG as png() writes it (8 bits, no interlace)."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    at, idat, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if struct.unpack(">I", data[at + 8 + length:at + 12 + length])[0] != zlib.crc32(kind + body):
            raise ValueError("bad CRC in " + kind.decode())
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if (depth, colour, interlace) != (8, 6, 0):
        raise ValueError("not an 8-bit RGBA PNG without interlace")
    raw = zlib.decompress(idat)
    stride = width * 4
    rows, prior = [], bytes(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prior[i]
            c = prior[i - 4] if i >= 4 else 0
            line[i] = (line[i] + (0, a, b, (a + b) // 2, _paeth(a, b, c))[kind]) & 0xFF
        rows.append([tuple(line[x * 4:x * 4 + 4]) for x in range(width)])
        prior = bytes(line)
    return rows


def read_ico(data):
    """The entries of an icon file as ico() writes them: a list of
    (size, is_png, entry bytes, picture). A bitmap's picture is its colour
    rows; its AND mask must mark exactly the pixels of alpha 0."""
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    if reserved != 0 or kind != 1:
        raise ValueError("not an icon file")
    entries = []
    for i in range(count):
        w, h, _, _, _, _, length, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        size = w or 256
        if (w or 256) != (h or 256):
            raise ValueError("entry %d is not square" % i)
        image = data[offset:offset + length]
        if image[:8] == b"\x89PNG\r\n\x1a\n":
            rows = read_png(image)
            if len(rows) != size or len(rows[0]) != size:
                raise ValueError("PNG entry %d is not %d pixels" % (i, size))
            entries.append((size, True, image, rows))
            continue
        header = struct.unpack("<IiiHHIIiiII", image[:40])
        if header[:5] != (40, size, size * 2, 1, 32) or header[5] != 0:
            raise ValueError("entry %d is not a %d-pixel 32-bit bitmap" % (i, size))
        pixels = image[40:40 + size * size * 4]
        rows = []
        for y in range(size - 1, -1, -1):
            line = pixels[y * size * 4:(y + 1) * size * 4]
            rows.append([(line[x * 4 + 2], line[x * 4 + 1], line[x * 4], line[x * 4 + 3]) for x in range(size)])
        if icon_image(rows) != image:
            raise ValueError("entry %d: the AND mask does not follow the alpha" % i)
        entries.append((size, False, image, rows))
    return entries


def bmp(rows):
    size = len(rows)
    pixels = dib_rows(rows)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 32, 0, len(pixels), 0, 0, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels
