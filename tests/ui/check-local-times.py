#!/usr/bin/env python3
"""Checks what the map window showed as each office's local time (written by
LocalTimeTest.cpp: UTC seconds before and after reading, zone, hours, panel
text, the office's tooltip line) against Python's zoneinfo: the time, the day
and the UTC offset must be those of the zone at one of the two instants, and
the opening state and its next change those that the hours give at that
local time, by a reading of the hours of its own.

    check-local-times.py local-times.txt
"""
import datetime
import re
import sys
import zoneinfo

PANEL = re.compile(r'^(?P<time>.+) (?P<day>\w+) \(UTC(?P<offset>[+-]\d\d:\d\d)\)(?:, (?P<state>.*))?$')
TIP = re.compile(r', (?P<time>[^,]+) local time(?:, (?P<state>open|closed))?$')
DAYS = ['Mo', 'Tu', 'We', 'Th', 'Fr', 'Sa', 'Su']


def week_of(hours):
    """The open ranges of each day, Monday first, in minutes; a range past
    midnight runs into the next day. A later rule replaces what earlier ones
    said about its days."""
    if hours.strip() == '24/7':
        return [[(0, 1440)] for _ in range(7)]
    week = [[] for _ in range(7)]
    for rule in filter(None, (r.strip() for r in hours.split(';'))):
        first, _, rest = rule.partition(' ')
        if first[:2] in DAYS:
            days = []
            for part in first.split(','):
                begin, _, end = part.partition('-')
                b, e = DAYS.index(begin), DAYS.index(end or begin)
                days += [(b + i) % 7 for i in range((e - b) % 7 + 1)]
        else:
            days, rest = range(7), rule
        ranges = []
        if rest.strip() != 'off':
            for span in rest.split(','):
                begin, end = span.strip().split('-')
                b = int(begin[:2]) * 60 + int(begin[3:])
                e = int(end[:2]) * 60 + int(end[3:])
                ranges.append((b, e if e > b else e + 1440))
        for d in days:
            week[d] = ranges
    return week


def is_open(week, local):
    day, minute = local.weekday(), local.hour * 60 + local.minute
    return (any(b <= minute < e for b, e in week[day])
            or any(b <= minute + 1440 < e for b, e in week[(day - 1) % 7]))


def expected_state(week, local):
    """(open, the wall clock of the next change or None within a week)."""
    now = local.replace(tzinfo=None, second=0, microsecond=0)
    state = is_open(week, now)
    for minutes in range(1, 7 * 1440 + 1):
        later = now + datetime.timedelta(minutes=minutes)
        if is_open(week, later) != state:
            return state, later
    return state, None


def shown_forms(local):
    hour12 = local.strftime('%I').lstrip('0') or '12'
    return {local.strftime('%H:%M'), f'{hour12}:{local:%M} {local:%p}', local.strftime('%I:%M %p')}


def state_forms(week, local):
    state, change = expected_state(week, local)
    word = 'open' if state else 'closed'
    if change is None:
        return {word}
    verb = 'closes' if state else 'opens'
    same_day = change.date() == local.date()
    return {f'{word}, {verb} ' + (clock if same_day else f'{change:%A} {clock}') for clock in shown_forms(change)}


def offset_text(local):
    minutes = int(local.utcoffset().total_seconds()) // 60
    sign = '-' if minutes < 0 else '+'
    return f'{sign}{abs(minutes) // 60:02d}:{abs(minutes) % 60:02d}'


def agrees(t, zone, hours, panel, tip):
    local = datetime.datetime.fromtimestamp(t, zoneinfo.ZoneInfo(zone))
    shown, pointed = PANEL.match(panel), TIP.search(tip)
    if not shown or not pointed:
        return False
    if shown['time'] not in shown_forms(local) or shown['day'] != local.strftime('%A'):
        return False
    if shown['offset'] != offset_text(local) or pointed['time'] not in shown_forms(local):
        return False
    if not hours:
        return shown['state'] is None and pointed['state'] is None
    week = week_of(hours)
    return (shown['state'] in state_forms(week, local)
            and pointed['state'] == ('open' if is_open(week, local) else 'closed'))


def main():
    failures = count = 0
    for line in open(sys.argv[1], encoding='utf-8'):
        before, after, zone, hours, panel, tip = line.rstrip('\n').split('\t')
        count += 1
        if not any(agrees(int(t), zone, hours, panel, tip) for t in (before, after)):
            failures += 1
            local = datetime.datetime.fromtimestamp(int(before), zoneinfo.ZoneInfo(zone))
            print(f'{zone} ({hours}): shown "{panel}" / "{tip}", zoneinfo {local:%H:%M %A} UTC{offset_text(local)}')
    print(f'{count} offices, {failures} differ from zoneinfo and the hours')
    return 1 if failures or count == 0 else 0


if __name__ == '__main__':
    sys.exit(main())
