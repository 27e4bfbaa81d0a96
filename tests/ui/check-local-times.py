#!/usr/bin/env python3
"""Checks what the map window showed as each office's local time (written by
LocalTimeTest.cpp: UTC seconds before and after reading, zone, hours, panel
text) against Python's zoneinfo: the time, the day and the UTC offset must be
those of the zone at one of the two instants.

    check-local-times.py local-times.txt
"""
import datetime
import re
import sys
import zoneinfo

PANEL = re.compile(r'^(?P<time>.+) (?P<day>\w+) \(UTC(?P<offset>[+-]\d\d:\d\d)\)(?:, (?P<state>.*))?$')


def shown_forms(local):
    hour12 = local.strftime('%I').lstrip('0') or '12'
    return {local.strftime('%H:%M'), f'{hour12}:{local:%M} {local:%p}', local.strftime('%I:%M %p')}


def offset_text(local):
    minutes = int(local.utcoffset().total_seconds()) // 60
    sign = '-' if minutes < 0 else '+'
    return f'{sign}{abs(minutes) // 60:02d}:{abs(minutes) % 60:02d}'


def main():
    failures = count = 0
    for line in open(sys.argv[1], encoding='utf-8'):
        before, after, zone, hours, panel = line.rstrip('\n').split('\t')
        count += 1
        match = PANEL.match(panel)
        ok = False
        if match:
            for t in (int(before), int(after)):
                local = datetime.datetime.fromtimestamp(t, zoneinfo.ZoneInfo(zone))
                if (match['time'] in shown_forms(local) and match['day'] == local.strftime('%A')
                        and match['offset'] == offset_text(local) and (match['state'] is not None) == bool(hours)):
                    ok = True
        if not ok:
            failures += 1
            local = datetime.datetime.fromtimestamp(int(before), zoneinfo.ZoneInfo(zone))
            print(f'{zone}: shown "{panel}", zoneinfo {local:%H:%M %A} UTC{offset_text(local)}')
    print(f'{count} offices, {failures} differ from zoneinfo')
    return 1 if failures or count == 0 else 0


if __name__ == '__main__':
    sys.exit(main())
