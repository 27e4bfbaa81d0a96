#!/usr/bin/env bash
# Reaches offices in the real Mappa.exe without pointing at their dots, as users
# of the keyboard and of a screen reader do: the controls' names and roles as
# MSAA gives them, Tab through the window, the arrow keys on the map, the find
# dialog, the names on hover, the links by keyboard and saving contact cards
# (read back by another parser). The program and the probe that drives it run on
# a Wine desktop of their own. Needs a display (run inside xvfb-run).
# Usage: mappa-reach-e2e.sh path/to/Mappa.exe path/to/mappa_probe.exe
set -u
exe=${1:?usage: mappa-reach-e2e.sh Mappa.exe mappa_probe.exe}
probe_exe=${2:?usage: mappa-reach-e2e.sh Mappa.exe mappa_probe.exe}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
e2e_name=reach
expected_passes=23
source "$root/tests/e2e/e2e-common.sh"

# check WHAT GOT EXPECTED
check() { if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: got '$2', expected '$3'"; fi; }

probe() {
    "$wine_run" "$work/mappa_probe.exe" "$@" 2>/dev/null | tr -d '\r'
    return "${PIPESTATUS[0]}"
}
# The accessible value of the control with that name (and role), as the msaa command lists it.
value_of() { probe msaa | awk -F ' \\| ' -v name="$1" -v role="${2:-}" '$1 == name && (role == "" || $2 == role) { print $3; exit }'; }
wait_file() {
    for _ in $(seq 1 50); do
        [ -s "$1" ] && return 0
        sleep 0.2
    done
    return 1
}

# The bundled offices, with Orebro in its own spelling and an office with no optional line.
# The program runs under a name of its own, so that the desktop chosen for it here
# is not where Mappa.exe goes in other tests.
cp "$exe" "$work/MappaReach.exe"
cp "$probe_exe" "$work/"
sed -e 's/^CITY: Orebro$/CITY: Örebro/' "$(dirname "$exe")/Mappa2.dat" |
    awk -v bare='*---\nNAME: Norvantic Remote\nADDRESS:\nCOUNTRY:\nCITY:\nPOSTCODE:\nPHONE:\nLOCAL TOLL FREE:\nINTERNATIONAL TOLL FREE:\nFAX:\nEMAIL:\nLATITUDE: 33.9 S\nLONGITUDE: 151.2 W\nTYPE:' \
        'inserted == 0 && /^$/ { print bare; inserted = 1 } { print }' >"$work/Mappa2.dat"

# The Save As dialog opens in the program's folder unless it remembers another.
"$wine_run" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\ComDlg32' /f >/dev/null 2>&1
# Both programs on the one desktop: the probe's first run puts it there for the rest.
cd "$work" || exit 1
"$wine_run" --desktop MappaReach "$work/MappaReach.exe" >"$work/app.out" 2>&1 &
app=$!
"$wine_run" --desktop MappaReach "$work/mappa_probe.exe" wait "Norvantic - Worldwide Locations" >/dev/null 2>&1 ||
    { fail "the map window did not appear within 20 s"; exit 1; }
sleep 1

# --- What a screen reader hears.
msaa=$(probe msaa)
for line in "Country | combo box | " "Name | text | " "Phone | text | " "Fax | text | " "Local Toll Free | text | " \
    "EMail | link | " "World map | graphic | " "Copy | push button | " "Exit | push button | "; do
    grep -qF -- "$line" <<<"$msaa" || missing+="[$line]"
done
check "MSAA: the controls' names and roles" "${missing:-}" ""
check "MSAA: the two web links and the e-mail address are links" "$(grep -c ' | link | ' <<<"$msaa")" 3

# --- Ctrl+S before any office is chosen says how to choose one (its menu item is greyed).
probe keys ctrl+s >/dev/null
if probe wait "Mappa.exe" >/dev/null; then
    pass "Ctrl+S with no office chosen explains why nothing is saved"
    probe keys return >/dev/null
    probe gone "Mappa.exe" >/dev/null
else
    fail "Ctrl+S with no office chosen showed nothing"
fi

# --- Clicking the map gives it the focus; from there Tab runs the two web links,
# the country list, Copy, Exit, the e-mail address and back to the map.
probe click 600 300 >/dev/null
check "clicking the map gives it the focus" "$(probe focus | cut -d'|' -f1)" "World map "
order=
for _ in 1 2 3 4 5 6 7; do
    probe keys tab >/dev/null
    order+="$(probe focus | cut -d'|' -f1-2);"
done
web=$(probe msaa | awk -F ' \\| ' '$2 == "link" && $1 != "EMail" { print $1 }')
check "Tab order" "$order" "$(sed -n 1p <<<"$web") | link ;$(sed -n 2p <<<"$web") | link ;Country | combo box ;\
Copy | push button ;Exit | push button ;EMail | link ;World map | graphic ;"

# --- The arrow keys on the focused map.
probe keys right >/dev/null
first=$(value_of "World map" graphic)
if [ -n "$first" ] && [ "$(value_of Name)" = "$first" ]; then pass "Right selects an office and shows it: $first"
else fail "after Right the map says '$first' and the name box '$(value_of Name)'"; fi
probe keys left >/dev/null
second=$(value_of "World map" graphic)
if [ -n "$second" ] && [ "$second" != "$first" ]; then pass "Left moves on to another office: $second"
else fail "after Left the map says '$second'"; fi

# --- Links by keyboard and by their accessible action.
probe keys shift+tab return >/dev/null
if wait_request "mailto:$(value_of EMail)"; then pass "Enter on the e-mail address opens the mailer"
else fail "no mailer request; requests: $(cat "$work/requests.log" 2>/dev/null)"; fi
probe do "$(sed -n 1p <<<"$web")" >/dev/null
if wait_request "https://www.example.com/"; then pass "the web link's default action opens the browser"
else fail "no browser request; requests: $(cat "$work/requests.log" 2>/dev/null)"; fi

# --- Find an office: Ctrl+F, typing narrows, Enter or a double-click shows it, Esc closes.
probe keys ctrl+f >/dev/null
if probe wait "Find an office" >/dev/null; then pass "Ctrl+F opens Find an office"; else fail "Ctrl+F opened no dialog"; fi
all=$(probe list | head -n 1)
check "the list holds every office" "$all" "rows $(grep -c '^NAME:' "$work/Mappa2.dat") selected 0"
probe type "orebro" >/dev/null
found=$(probe list)
check "\"orebro\" finds Örebro" "$(sed -n 1p <<<"$found")|$(sed -n 2p <<<"$found" | cut -d'|' -f2)" "rows 1 selected 0| Örebro "
name=$(sed -n 2p <<<"$found" | awk -F ' \\| ' '{ print $1 }')
probe keys return >/dev/null
probe gone "Find an office" >/dev/null || fail "Enter left the dialog open"
check "Enter shows the office found" "$(value_of Name)|$(value_of Country)" "$name|Sweden"
check "the map has the focus, with the office as its value" "$(probe focus)" "World map | graphic | $name"

probe keys ctrl+f >/dev/null && probe wait "Find an office" >/dev/null
probe type "usa" >/dev/null
two=$(probe list)
check "two offices in the USA" "$(sed -n 1p <<<"$two")" "rows 2 selected 0"
probe keys down >/dev/null
check "Down in the edit box moves in the list" "$(probe list | head -n 1)" "rows 2 selected 1"
name=$(sed -n 3p <<<"$two" | awk -F ' \\| ' '{ print $1 }')
probe dblclick 1 >/dev/null
probe gone "Find an office" >/dev/null || fail "a double-click left the dialog open"
check "a double-click shows the second office in the USA" "$(value_of Name)" "$name"

# The window menu (Alt+Space) ends with "Find an office..." and "Save as contact...".
probe keys alt+space >/dev/null
probe keys up up return >/dev/null
if probe wait "Find an office" >/dev/null; then pass "the window menu's item opens Find an office"
else fail "the window menu's item opened no dialog"; fi
probe keys escape >/dev/null
if probe gone "Find an office" >/dev/null; then pass "Esc closes the dialog"; else fail "Esc left the dialog open"; fi
check "Esc changes nothing" "$(value_of Name)" "$name"

# --- Names on hover: Madrid, 40.42 N 3.70 W, at (314, 89) in the picture at (4, 5).
# After the place, Madrid's local time in the user's format (en-US under Wine), by Python's zoneinfo:
# the time as the tip is made, which is the time before it shows or, when the minute turns meanwhile, after.
madrid_time() { python3 -c "import datetime, zoneinfo; t = datetime.datetime.now(zoneinfo.ZoneInfo('Europe/Madrid')); print(t.strftime('%I:%M %p').lstrip('0'))"; }
expected_time=$(madrid_time)
probe point $((4 + 314)) $((5 + 89)) >/dev/null
sleep 1.5
tip=$(probe tooltip)
[ "$tip" = "Norvantic Iberia S.L., Madrid, Spain, $expected_time local time" ] || expected_time=$(madrid_time)
check "the tooltip names the office under the pointer, with its local time" "$tip" \
    "Norvantic Iberia S.L., Madrid, Spain, $expected_time local time"
probe point 600 300 >/dev/null
sleep 0.5
check "the tooltip goes with the hand cursor" "$(probe tooltip)" "no tooltip shown"

# --- Save as contact: the office with every optional line, then the one with none.
save_found() {  # QUERY FILE
    probe keys ctrl+f >/dev/null && probe wait "Find an office" >/dev/null
    probe type "$1" >/dev/null
    probe keys return >/dev/null
    probe gone "Find an office" >/dev/null
    probe keys ctrl+s >/dev/null
    probe wait "Save As" >/dev/null || { fail "Ctrl+S opened no Save As dialog"; return; }
    probe type "$2" >/dev/null  # over the suggested name, which is selected
    probe keys return >/dev/null
    wait_file "$work/$2" || fail "no $2 was written"
}
save_found "nordic" full.vcf
save_found "remote" bare.vcf
if out=$(/usr/bin/python3 "$root/tests/vcard/read-cards.py" "$work" https://www.example.com/ 2>&1); then pass "the saved cards read back: $out"
else fail "the saved cards:"$'\n'"$out"; fi

# A folder of 250 characters, typed as a whole path (the file dialog itself takes
# no path of MAX_PATH characters or more): a temporary file beside the card
# would not fit in MAX_PATH. The card is written there, and the program goes on.
deep=$work/deep
while [ $(( ${#deep} + 2 )) -lt 250 ]; do deep=$deep/x; done
mkdir -p "$deep"
probe keys ctrl+s >/dev/null
if probe wait "Save As" >/dev/null; then
    probe type "Z:${deep//\//\\}\\d.vcf" >/dev/null
    probe keys return >/dev/null
    if wait_file "$deep/d.vcf"; then pass "a card saved into a folder of $(( ${#deep} + 2 )) characters"
    else fail "no card in the deep folder, and no report"; fi
else
    fail "Ctrl+S opened no Save As dialog"
fi
check "the program runs on after saving into a deep folder" "$(probe wait "Norvantic - Worldwide Locations" >/dev/null && echo running)" running

probe click $((568 + 37)) $((438 + 12)) >/dev/null  # Exit
for _ in $(seq 1 50); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$app" 2>/dev/null; then fail "the program still runs 10 s after Exit"; else app=; pass "Exit ends the program"; fi
