#!/usr/bin/env python3
"""Checks the bundled time-zone map.

    check-zone-map.py zone-time zone-map.bin
        Every principal location of zone1970.tab and of zone.tab (which adds
        a zone for each country, such as Europe/Stockholm beside
        Europe/Berlin) maps to its own zone, or to one whose UTC offsets agree
        with it from 2000 on (Python's zoneinfo); at most MAX_BORROWED of them
        to such another zone, the rest to their own.
    check-zone-map.py zone-time zone-map.bin --geo-tz PEER [--points N]
        Also: of N (100 000) random points inside geo-tz's zone polygons (land
        and the territorial sea; the open sea has no polygons), the share
        where the map agrees with geo-tz, which must be at least 99.5%.
"""
import argparse
import math
import datetime
import os
import random
import subprocess
import sys
import time
import zoneinfo

HERE = os.path.dirname(os.path.abspath(__file__))


def zones_at(tool, zone_map, points):
    text = ''.join(f'{lat:.6f} {lon:.6f}\n' for lat, lon in points)
    out = subprocess.run([tool, '--map', zone_map], input=text, capture_output=True, text=True, check=True)
    return out.stdout.split('\n')[:len(points)]


def coordinate(text, degree_digits):
    sign = -1 if text[0] == '-' else 1
    digits = text[1:]
    degrees = int(digits[:degree_digits])
    minutes = int(digits[degree_digits:degree_digits + 2])
    seconds = int(digits[degree_digits + 2:] or 0)
    return sign * (degrees + minutes / 60 + seconds / 3600)


# The locations that may map to a zone other than their own (with the same
# offsets since 2000): those that lie where the polygons name another zone.
MAX_BORROWED = 5


def principal_locations(table):
    for line in open(os.path.join('/usr/share/zoneinfo', table), encoding='utf-8'):
        if line.startswith('#'):
            continue
        fields = line.rstrip('\n').split('\t')
        where = fields[1]
        split = max(where.rfind('+'), where.rfind('-'))
        yield fields[2], coordinate(where[:split], 2), coordinate(where[split:], 3)


def agree_since_2000(a, b):
    za, zb = zoneinfo.ZoneInfo(a), zoneinfo.ZoneInfo(b)
    t = datetime.datetime(2000, 1, 1, tzinfo=datetime.timezone.utc)
    end = datetime.datetime(2038, 1, 1, tzinfo=datetime.timezone.utc)
    while t < end:
        if t.astimezone(za).utcoffset() != t.astimezone(zb).utcoffset():
            return False
        t += datetime.timedelta(hours=6)
    return True


def check_principal(tool, zone_map, table):
    locations = list(principal_locations(table))
    ours = zones_at(tool, zone_map, [(lat, lon) for _, lat, lon in locations])
    exact = same_rules = wrong = 0
    others = []
    for (zone, lat, lon), found in zip(locations, ours):
        if found == zone:
            exact += 1
            continue
        if agree_since_2000(zone, found):
            same_rules += 1
            verdict = 'same offsets since 2000'
        else:
            wrong += 1
            verdict = 'WRONG'
        others.append(f'{zone} at {lat:.4f} {lon:.4f}: map says {found} ({verdict})')
    print(f'{table}: {len(locations)} principal locations, {exact} in their own zone, '
          f'{same_rules} in one with the same offsets since 2000 (at most {MAX_BORROWED}), {wrong} wrong')
    for line in others:
        print('  ' + line)
    return wrong == 0 and same_rules <= MAX_BORROWED


def check_against_geo_tz(tool, zone_map, peer, count):
    rng = random.Random(2026)
    candidates = []
    while len(candidates) < count * 4:
        lat = rng.uniform(-1, 1)
        candidates.append((math.degrees(math.asin(lat)), rng.uniform(-180, 180)))
    script = os.path.join(HERE, 'geo-tz-answers.js')
    text = ''.join(f'{lat:.6f} {lon:.6f}\n' for lat, lon in candidates)
    out = subprocess.run(['node', script, peer], input=text, capture_output=True, text=True, check=True)
    sys.stderr.write(out.stderr)
    answers = out.stdout.split('\n')
    points, expected = [], []
    for point, answer in zip(candidates, answers):
        names = answer.split()
        if names and not names[0].startswith('Etc/'):
            points.append(point)
            expected.append(names)
        if len(points) == count:
            break
    started = time.perf_counter()
    ours = zones_at(tool, zone_map, points)
    elapsed = time.perf_counter() - started
    agree = sum(1 for found, names in zip(ours, expected) if found in names)
    share = agree / len(points)
    print(f'geo-tz: {len(points)} random points in its polygons, the map agrees at {agree} ({share:.3%}); '
          f'map lookups incl. process start and text I/O {elapsed * 1e3:.0f} ms')
    return share >= 0.995


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('tool')
    parser.add_argument('zone_map')
    parser.add_argument('--geo-tz', dest='peer')
    parser.add_argument('--points', type=int, default=100000)
    arguments = parser.parse_args()
    ok = check_principal(arguments.tool, arguments.zone_map, 'zone1970.tab')
    ok = check_principal(arguments.tool, arguments.zone_map, 'zone.tab') and ok
    if arguments.peer:
        ok = check_against_geo_tz(arguments.tool, arguments.zone_map, arguments.peer, arguments.points) and ok
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
