#!/usr/bin/env bash
# Drives the real Mappa.exe from outside, as a user would through X: picks the
# Madrid office on the map, copies its details, opens its mail and web links,
# and leaves with Exit; then runs it under a DataFile policy (the machine's
# before the user's, REG_EXPAND_SZ expanded) that names an office list
# elsewhere, and with a policy file that is missing. Needs a display (run inside xvfb-run, no window manager),
# xdotool and xclip. Usage: mappa-e2e.sh path/to/Mappa.exe
set -u
exe=${1:?usage: mappa-e2e.sh path/to/Mappa.exe}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
e2e_name=e2e
expected_passes=8
source "$root/tests/e2e/e2e-common.sh"

machine_policy='HKLM\Software\Policies\Kestrelon\Mappa'
user_policy='HKCU\Software\Policies\Kestrelon\Mappa'
# The policy keys are removed again where there were none.
policy_parents=()
for parent in 'HKLM\Software\Policies\Kestrelon' 'HKCU\Software\Policies\Kestrelon'; do
    "$wine_run" reg query "$parent" >/dev/null 2>&1 </dev/null || policy_parents+=("$parent")
done
remove_policies() {
    "$wine_run" reg delete "$machine_policy" /v DataFile /f >/dev/null 2>&1 </dev/null
    "$wine_run" reg delete "$user_policy" /v DataFile /f >/dev/null 2>&1 </dev/null
    for parent in "${policy_parents[@]}"; do "$wine_run" reg delete "$parent" /f >/dev/null 2>&1 </dev/null; done
}
trap 'remove_policies; finish' EXIT

source "$root/tests/e2e/e2e-window.sh"

if ! start_mappa; then
    fail "the map window did not appear within 20 s"
    exit 1
fi
pass "the map window appeared"

# Madrid, 40.42 N 3.70 W: x = 320 - trunc(3.70 / 0.5625) = 314, y = 160 - trunc(40.42 / 0.5625) = 89,
# in the picture that sits at (4, 5) in the window.
click_at $((4 + 314)) $((5 + 89))
click_at $((488 + 37)) $((438 + 12))  # Copy
copied=$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r')
expected="Country:   Spain
Name:      Norvantic Iberia S.L.
Phone:     +34 91 555 0142
Fax:       +34 91 555 0143
Toll Free: 900 555 014
EMail:     sales.madrid@example.com"
if [ "$copied" = "$expected" ]; then pass "Copy put the Madrid office on the clipboard"
else fail "clipboard after Copy:"$'\n'"$copied"; fi

click_at $((64 + 100)) $((431 + 8))  # the e-mail address
if wait_request "mailto:sales.madrid@example.com"; then pass "the e-mail address opened the mailer"
else fail "no mailer request; requests: $(cat "$work/requests.log" 2>/dev/null)"; fi

click_at $((297 + 20)) $((336 + 8))  # the company web link
if wait_request "https://www.example.com/"; then pass "the web link opened the browser"
else fail "no browser request; requests: $(cat "$work/requests.log" 2>/dev/null)"; fi

exit_mappa
code=$?
if [ "$code" -eq 0 ]; then pass "Exit ended the program with code 0"; else fail "Exit: code $code, or still running"; fi

# --- The DataFile policy. Each list has one office, at Madrid's place.
office_list() {  # <folder> <name>: the list's path for Windows
    mkdir -p "$1"
    printf '%s\r\n' "Policy office list" "*" "https://www.example.com/" "*" "https://support.example.com/" \
        "*---" "NAME: $2" "ADDRESS: 1 Calle" "COUNTRY: Portugal" "CITY: Lisboa" "POSTCODE: 1000" \
        "PHONE: +351 1" "FAX: +351 2" "EMAIL: policy@example.com" "LATITUDE: 40.42 N" "LONGITUDE: 3.70 W" \
        "TYPE: Sales" "" >"$1/Offices.dat"
    local path="Z:$1/Offices.dat"
    echo "${path//\//\\}"
}
machine_list=$(office_list "$work/machine" "Machine Policy Office")
user_list=$(office_list "$work/user" "User Policy Office")
user_folder="Z:${work//\//\\}\\user"
export MAPPA_E2E_POLICY_FOLDER=$user_folder

# The name field after clicking the one office and Copy; empty when the program did not start.
shown_office() {
    start_mappa || return 1
    click_at $((4 + 314)) $((5 + 89))
    click_at $((488 + 37)) $((438 + 12))
    xclip -o -selection clipboard 2>/dev/null | tr -d '\r' | sed -n 's/^Name: *//p'
    exit_mappa || kill "$app" 2>/dev/null
}
"$wine_run" reg add "$machine_policy" /v DataFile /t REG_SZ /d "$machine_list" /f >/dev/null 2>&1
"$wine_run" reg add "$user_policy" /v DataFile /t REG_EXPAND_SZ /d "%MAPPA_E2E_POLICY_FOLDER%\\Offices.dat" /f \
    >/dev/null 2>&1
shown=$(shown_office)
if [ "$shown" = "Machine Policy Office" ]; then pass "the machine's DataFile policy wins over the user's"
else fail "with machine and user DataFile policies the program shows '$shown'"; fi

"$wine_run" reg delete "$machine_policy" /v DataFile /f >/dev/null 2>&1
shown=$(shown_office)
if [ "$shown" = "User Policy Office" ]; then pass "the user's DataFile policy, REG_EXPAND_SZ, names the list shown"
else fail "with the user's expandable DataFile policy the program shows '$shown'"; fi

# A missing file: with no file finder registered, the designed message, and the
# program ends. The message box has the program's title, as its hidden window has.
"$wine_run" reg add "$user_policy" /v DataFile /t REG_SZ /d "${user_list%Offices.dat}Gone.dat" /f >/dev/null 2>&1
"$wine_run" "$exe" >"$work/app.out" 2>&1 &
app=$!
if wait_window "Mappa.exe"; then
    # Its one button, OK, sits in the middle of its bottom edge.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT - 22)) && sleep 0.4 && xdotool click 1
    for _ in $(seq 1 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.2; done
    if kill -0 "$app" 2>/dev/null; then fail "the program still runs after the message on a missing policy file"
    else app=; pass "a missing policy file gives the message box and the program ends"; fi
else
    fail "no message box on a missing policy file"
fi
