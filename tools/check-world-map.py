#!/usr/bin/env python3
"""Check the world maps: format and land/sea registration.

worldmap.bmp (640 x 320, 8-bit palettised BMP) and worldmap-large.png
(1280 x 640, palettised PNG) are the same equirectangular map, longitude
-180 at the left edge and latitude +90 at the top edge. On a picture W
pixels wide and H high, a point (lat, lon) is looked up at

    x = W/2 + trunc(lon / (360/W)),  y = H/2 - trunc(lat / (180/H))

(trunc rounds toward zero), the same conversion the program uses. Every
sample point lies well away from any coast, so the pixel is also checked
with floor() instead of trunc() and together with its 8 neighbours; all of
them must agree.

The large map must also be the same world as the small one: where the four
large pixels that share a small pixel's centre as their corner agree, they
mostly agree with that small pixel too. A picture shifted by one large
pixel, flipped, or made with other lakes or islands fails this.

A pixel counts as water when the blue channel of its palette colour is
larger than both red and green; anything else is land.

Usage: tools/check-world-map.py [FOLDER]   (default: resources/)
Exit status 0 when everything passes, 1 otherwise.
"""

import math
import os
import struct
import sys
import zlib

SMALL = ("worldmap.bmp", 640, 320)
LARGE = ("worldmap-large.png", 1280, 640)

# Share of the small map's pixels (of those where the large map is clear)
# on which the two may differ: thin straits and islands that one grid's
# pixel centres hit and the other's miss. Aligned maps differ on about
# 0.1 %, a shift by one large pixel gives about 0.3 %.
MAX_DISAGREEMENT = 0.002

# (name, lat, lon, expect_land)
POINTS = [
    ("Sahara", 23.0, 10.0, True),
    ("central Australia", -25.0, 133.0, True),
    ("Siberia", 62.0, 100.0, True),
    ("Amazon basin", -5.0, -60.0, True),
    ("Greenland interior", 72.0, -40.0, True),
    ("Antarctica interior", -80.0, 30.0, True),
    ("Great Plains", 40.0, -100.0, True),
    ("Germany", 51.0, 10.0, True),
    ("Mongolia", 46.0, 103.0, True),
    ("Madagascar", -19.0, 46.5, True),
    ("Great Britain", 53.0, -1.5, True),
    ("Iceland", 65.0, -18.5, True),
    ("Borneo", 0.5, 114.0, True),
    ("Pacific at the equator", 0.0, -150.0, False),
    ("South Pacific", -40.0, -120.0, False),
    ("North Atlantic", 30.0, -40.0, False),
    ("South Atlantic", -30.0, -15.0, False),
    ("Indian Ocean", -20.0, 80.0, False),
    ("Hudson Bay", 60.0, -86.0, False),
    ("Caspian Sea", 42.0, 50.5, False),
    ("Black Sea", 43.5, 34.0, False),
    ("Red Sea", 20.0, 38.5, False),
    ("Arctic Ocean", 87.0, 0.0, False),
    ("Pacific by the date line", 5.0, 179.0, False),
]


class Failure(Exception):
    pass


def read_bmp(path, width, height):
    """Return colour(x, y) of an 8-bit palettised bottom-up BMP."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 54 or data[0:2] != b"BM":
        raise Failure("not a BMP file")
    (file_size,) = struct.unpack_from("<I", data, 2)
    (offset,) = struct.unpack_from("<I", data, 10)
    (hdr, w, h, planes, bpp, comp, _, _, _, used, _) = \
        struct.unpack_from("<IiiHHIIiiII", data, 14)
    problems = []
    if hdr != 40:
        problems.append("header size %d, expected 40 (BITMAPINFOHEADER)" % hdr)
    if w != width or h != height:
        problems.append("size %dx%d, expected %dx%d bottom-up"
                        % (w, h, width, height))
    if planes != 1:
        problems.append("biPlanes %d" % planes)
    if bpp != 8:
        problems.append("%d bits per pixel, expected 8" % bpp)
    if comp != 0:
        problems.append("compression %d, expected BI_RGB (0)" % comp)
    if used not in (0, 256):
        problems.append("biClrUsed %d, expected 0 or 256" % used)
    if file_size != len(data):
        problems.append("file size field %d but file has %d bytes"
                        % (file_size, len(data)))
    row_size = (width + 3) & ~3
    if offset < 14 + 40 + 256 * 4 or offset + row_size * height > len(data):
        problems.append("pixel data offset %d does not fit" % offset)
    if problems:
        raise Failure("; ".join(problems))

    pal_at = 14 + hdr
    palette = []
    for i in range(256):
        b, g, r, _ = data[pal_at + 4 * i:pal_at + 4 * i + 4]
        palette.append((r, g, b))

    def colour(x, y):
        # Rows are stored bottom-up: row 0 (north) is the last one.
        row = height - 1 - y
        return palette[data[offset + row * row_size + x]]

    return colour, "8 bpp, BI_RGB, 256-colour palette"


def unfilter(raw, rows, row_bytes, pixel_bytes):
    """Undo PNG's per-row filters; return the rows' bytes."""
    out = []
    previous = bytearray(row_bytes)
    at = 0
    for _ in range(rows):
        kind = raw[at]
        line = bytearray(raw[at + 1:at + 1 + row_bytes])
        at += 1 + row_bytes
        for i in range(row_bytes):
            left = line[i - pixel_bytes] if i >= pixel_bytes else 0
            up = previous[i]
            corner = previous[i - pixel_bytes] if i >= pixel_bytes else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xff
            elif kind == 2:
                line[i] = (line[i] + up) & 0xff
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xff
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + pred) & 0xff
            elif kind != 0:
                raise Failure("unknown PNG filter %d" % kind)
        out.append(bytes(line))
        previous = line
    return out


def read_png(path, width, height):
    """Return colour(x, y) of a palettised, non-interlaced PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise Failure("not a PNG file")
    at, chunks, idat = 8, {}, b""
    while at + 12 <= len(data):
        (length,) = struct.unpack_from(">I", data, at)
        kind, body = data[at + 4:at + 8], data[at + 8:at + 8 + length]
        (crc,) = struct.unpack_from(">I", data, at + 8 + length)
        if zlib.crc32(kind + body) & 0xffffffff != crc:
            raise Failure("bad CRC in chunk %r" % kind)
        chunks.setdefault(kind, body)
        if kind == b"IDAT":
            idat += body
        at += 12 + length
    if b"IHDR" not in chunks or b"PLTE" not in chunks or not idat:
        raise Failure("IHDR, PLTE or IDAT missing")
    w, h, depth, colour_type, _, _, interlace = \
        struct.unpack(">IIBBBBB", chunks[b"IHDR"])
    problems = []
    if (w, h) != (width, height):
        problems.append("size %dx%d, expected %dx%d" % (w, h, width, height))
    if colour_type != 3 or depth not in (1, 2, 4, 8):
        problems.append("colour type %d depth %d, expected a palette"
                        % (colour_type, depth))
    if interlace:
        problems.append("interlaced")
    if problems:
        raise Failure("; ".join(problems))
    pal = chunks[b"PLTE"]
    palette = [tuple(pal[i:i + 3]) for i in range(0, len(pal), 3)]
    row_bytes = (width * depth + 7) // 8
    raw = zlib.decompress(idat)
    if len(raw) != height * (row_bytes + 1):
        raise Failure("pixel data has %d bytes, expected %d"
                      % (len(raw), height * (row_bytes + 1)))
    rows = unfilter(raw, height, row_bytes, 1)
    per_byte = 8 // depth
    mask = (1 << depth) - 1

    def colour(x, y):
        byte = rows[y][x // per_byte]
        index = (byte >> (8 - depth * (x % per_byte + 1))) & mask
        if index >= len(palette):
            raise Failure("pixel (%d, %d) has no palette entry" % (x, y))
        return palette[index]

    return colour, "%d bpp palette, %d colours" % (depth, len(palette))


def is_water(rgb):
    r, g, b = rgb
    return b > r and b > g


def check_points(colour, width, height):
    step_x, step_y = 360.0 / width, 180.0 / height
    failed = 0
    for name, lat, lon, land in POINTS:
        x = min(max(width // 2 + math.trunc(lon / step_x), 0), width - 1)
        y = min(max(height // 2 - math.trunc(lat / step_y), 0), height - 1)
        cells = {(x, y), (min(math.floor((lon + 180) / step_x), width - 1),
                          min(math.floor((90 - lat) / step_y), height - 1))}
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if 0 <= y + dy < height:
                    cells.add(((x + dx) % width, y + dy))
        wrong = [(cx, cy) for cx, cy in sorted(cells)
                 if is_water(colour(cx, cy)) == land]
        what = "land" if land else "sea"
        if wrong:
            failed += 1
            print("FAIL %-26s (%6.1f, %6.1f) -> pixel (%d, %d) %s; not %s at %s"
                  % (name, lat, lon, x, y, colour(x, y), what,
                     " ".join("(%d,%d)" % c for c in wrong)))
        else:
            print("ok   %-26s (%6.1f, %6.1f) -> pixel (%d, %d) %s"
                  % (name, lat, lon, x, y, what))
    return len(POINTS) - failed, failed


def disagreement(small, large):
    """Share of the small map's pixels where the large map clearly says otherwise."""
    _, width, height = SMALL
    clear = differ = 0
    for y in range(height):
        for x in range(width):
            # The small pixel's centre is the common corner of these four.
            kinds = {is_water(large((2 * x + dx) % (2 * width), 2 * y + dy))
                     for dx in (0, 1) for dy in (0, 1)}
            if len(kinds) == 1:
                clear += 1
                differ += kinds.pop() != is_water(small(x, y))
    return differ / clear


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources")
    passed = failed = 0
    pictures = {}
    for (name, width, height), read in ((SMALL, read_bmp), (LARGE, read_png)):
        path = os.path.join(folder, name)
        print("%s:" % name)
        try:
            colour, kind = read(path, width, height)
            print("ok   header: %dx%d, %s" % (width, height, kind))
            good, bad = check_points(colour, width, height)
        except (OSError, Failure, zlib.error) as e:
            print("FAIL %s: %s" % (path, e))
            failed += 1
            continue
        pictures[name] = colour
        passed += good
        failed += bad
    if len(pictures) == 2:
        share = disagreement(pictures[SMALL[0]], pictures[LARGE[0]])
        ok = share <= MAX_DISAGREEMENT
        print("%s large and small map differ on %.3f %% of the clear pixels (at most %.1f %%)"
              % ("ok  " if ok else "FAIL", 100 * share, 100 * MAX_DISAGREEMENT))
        passed += ok
        failed += not ok
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
