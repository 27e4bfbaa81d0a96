#!/usr/bin/env python3
"""Compares the bundled time-zone rules with Python's zoneinfo (the same
tzdata): for every zone, the UTC offset, the wall clock and the weekday one
second before, at and one second after every change in 2026 and 2027, and
in 2040 (past the changes that the compiled files list, where the POSIX rule
decides), at midday in each month of those years, and the next change as seen
from just before each change.

    check-zone-rules.py zone-time zone-rules.bin
"""
import datetime
import subprocess
import sys
import zoneinfo

UTC = datetime.timezone.utc


def offset(zone, t):
    return int(datetime.datetime.fromtimestamp(t, zone).utcoffset().total_seconds())


def changes(zone, begin, end, step=7200):
    """Instants t in [begin, end) at which the offset differs from that at t - 1."""
    found = []
    t, before = begin, offset(zone, begin)
    while t < end:
        following = min(t + step, end)
        now = offset(zone, following)
        if now != before:
            low, high = t, following  # offset(low) == before, offset(high) != before
            while high - low > 1:
                middle = (low + high) // 2
                if offset(zone, middle) == before:
                    low = middle
                else:
                    high = middle
            found.append(high)
        t, before = following, now
    return found


def main():
    tool, rules = sys.argv[1:3]
    def start_of(year):
        return int(datetime.datetime(year, 1, 1, tzinfo=UTC).timestamp())
    periods = [(start_of(2026), start_of(2028)), (start_of(2040), start_of(2041))]
    questions, expected_next = [], {}
    names = sorted(zoneinfo.available_timezones())
    change_count = 0
    for name in names:
        zone = zoneinfo.ZoneInfo(name)
        found = [t for begin, end in periods for t in changes(zone, begin, end)]
        change_count += len(found)
        for i, t in enumerate(found):
            questions += [(name, t - 1), (name, t), (name, t + 1)]
            expected_next[(name, t - 1)] = t
        for year in (2026, 2027, 2040):
            for month in range(1, 13):
                questions.append((name, int(datetime.datetime(year, month, 15, 12, tzinfo=UTC).timestamp())))
    text = ''.join(f'{name} {t}\n' for name, t in questions)
    answer = subprocess.run([tool, rules], input=text, capture_output=True, text=True, check=True).stdout.splitlines()
    print(answer[0])
    failures = 0
    for (name, t), line in zip(questions, answer[1:]):
        zone = zoneinfo.ZoneInfo(name)
        local = datetime.datetime.fromtimestamp(t, zone)
        want = f'{int(local.utcoffset().total_seconds())} {local:%Y-%m-%d %H:%M:%S} {local.isoweekday() % 7}'
        fields = line.split()
        got = f'{fields[2]} {fields[4]} {fields[5]} {fields[6]}' if len(fields) == 8 else line
        problem = got != want
        if (name, t) in expected_next and fields[-1] != str(expected_next[(name, t)]):
            problem = True
            want += f' next {expected_next[(name, t)]}'
            got += f' next {fields[-1]}'
        if problem:
            failures += 1
            if failures <= 20:
                print(f'{name} at {t}: zoneinfo {want}, Mappa {got}')
    if len(answer) - 1 != len(questions):
        print(f'{len(questions)} questions, {len(answer) - 1} answers')
        failures += 1
    print(f'{len(names)} zones, {change_count} changes in 2026, 2027 and 2040, {len(questions)} instants, {failures} differ')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
