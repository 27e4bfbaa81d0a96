#!/usr/bin/env python3
"""Writes Mappa2-hours.dat: the bundled office list with opening hours and a
few explicit zones in the comment runs at the start of office blocks, where
every reader of the file skips them. The offices, fields and messages read
from it must be those of the bundled file.

    make-hours-file.py ../../resources/Mappa2.dat Mappa2-hours.dat
"""
import sys

HOURS = [
    'Mo-Fr 09:00-17:30; Sa 10:00-13:00',
    'Mo-Th 08:00-12:00,13:00-17:00; Fr 08:00-14:00',
    '24/7',
    'Mo-Fr 22:00-06:00',
    None,
    'Su-Th 08:00-16:00',
    'Mo-Fr 09:00-18:00; We off',
]
ZONES = {'Norvantic Inc.': 'America/Denver', 'Norvantic Support Center Dallas': 'America/Chicago',
         'ノルバンティック京都株式会社': 'Asia/Tokyo', 'Norvantic India Pvt Ltd': 'Asia/Kolkata'}

source, target = sys.argv[1:3]
lines = open(source, encoding='utf-8-sig').read().split('\n')
out, office, i = [], 0, 0
in_offices = False
while i < len(lines):
    line = lines[i]
    out.append(line)
    if line == 'https://support.example.com/':
        in_offices = True
    elif in_offices and line.startswith('*'):
        # The block's separator lines, then its comment run if it has one.
        while lines[i + 1].startswith('*'):
            i += 1
            out.append(lines[i])
        j = i + 1
        while '//' in lines[j]:
            j += 1
        name = lines[j + 1 if j > i + 1 else j].split(' ', 1)[1]
        extra = []
        hours = HOURS[office % len(HOURS)]
        if hours:
            extra.append(f'// HOURS: {hours}')
        if name in ZONES:
            extra.append(f'// TIMEZONE: {ZONES[name]}')
        office += 1
        if j > i + 1:  # a run already: the new lines join it
            out += lines[i + 1:j] + extra + [lines[j]]  # and the line the reader skips after it
            i = j
        elif extra:  # a new run, and a separator for the reader to skip after it
            out += extra + [line]
    elif line == '' and in_offices:
        out += lines[i + 1:]
        break
    i += 1
open(target, 'w', encoding='utf-8-sig', newline='').write('\n'.join(out))
