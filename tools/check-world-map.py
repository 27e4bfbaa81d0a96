#!/usr/bin/env python3
"""Check resources/worldmap.bmp: format and land/sea registration.

The map is equirectangular, 640 x 320 pixels, 0.5625 degrees per pixel,
longitude -180 at the left edge and latitude +90 at the top edge. A point
(lat, lon) is looked up at

    x = 320 + trunc(lon / 0.5625),  y = 160 - trunc(lat / 0.5625)

(trunc rounds toward zero), the same conversion the program uses. Every
sample point lies well away from any coast, so the pixel is also checked
with floor() instead of trunc() and together with its 8 neighbours; all of
them must agree.

A pixel counts as water when the blue channel of its palette colour is
larger than both red and green; anything else is land.

Usage: tools/check-world-map.py [BMP]   (default: resources/worldmap.bmp)
Exit status 0 when everything passes, 1 otherwise.
"""

import math
import os
import struct
import sys

WIDTH = 640
HEIGHT = 320
STEP = 0.5625

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


def read_bmp(path):
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
    if w != WIDTH or h != HEIGHT:
        problems.append("size %dx%d, expected %dx%d bottom-up"
                        % (w, h, WIDTH, HEIGHT))
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
    row_size = (WIDTH + 3) & ~3
    if offset < 14 + 40 + 256 * 4 or offset + row_size * HEIGHT > len(data):
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
        row = HEIGHT - 1 - y
        return palette[data[offset + row * row_size + x]]

    return colour


def is_water(rgb):
    r, g, b = rgb
    return b > r and b > g


def pixel_trunc(lat, lon):
    x = 320 + math.trunc(lon / STEP)
    y = 160 - math.trunc(lat / STEP)
    return min(max(x, 0), WIDTH - 1), min(max(y, 0), HEIGHT - 1)


def pixel_floor(lat, lon):
    x = math.floor((lon + 180) / STEP)
    y = math.floor((90 - lat) / STEP)
    return min(max(x, 0), WIDTH - 1), min(max(y, 0), HEIGHT - 1)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        root, "resources", "worldmap.bmp")
    try:
        colour = read_bmp(path)
    except (OSError, Failure) as e:
        print("FAIL %s: %s" % (path, e))
        return 1
    print("ok   header: %dx%d, 8 bpp, BI_RGB, 256-colour palette" % (WIDTH, HEIGHT))

    passed = failed = 0
    for name, lat, lon, land in POINTS:
        x, y = pixel_trunc(lat, lon)
        cells = {(x, y), pixel_floor(lat, lon)}
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if 0 <= y + dy < HEIGHT:
                    cells.add(((x + dx) % WIDTH, y + dy))
        wrong = [(cx, cy) for cx, cy in sorted(cells)
                 if is_water(colour(cx, cy)) == land]
        what = "land" if land else "sea"
        if wrong:
            failed += 1
            print("FAIL %-26s (%6.1f, %6.1f) -> pixel (%d, %d) %s; not %s at %s"
                  % (name, lat, lon, x, y, colour(x, y), what,
                     " ".join("(%d,%d)" % c for c in wrong)))
        else:
            passed += 1
            print("ok   %-26s (%6.1f, %6.1f) -> pixel (%d, %d) %s"
                  % (name, lat, lon, x, y, what))
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
