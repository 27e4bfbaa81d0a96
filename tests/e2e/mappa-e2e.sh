#!/usr/bin/env bash
# Drives the real Mappa.exe from outside, as a user would through X: picks the
# Madrid office on the map, copies its details, opens its mail and web links,
# and leaves with Exit. Needs a display (run inside xvfb-run, no window manager),
# xdotool and xclip. Usage: mappa-e2e.sh path/to/Mappa.exe
set -u
exe=${1:?usage: mappa-e2e.sh path/to/Mappa.exe}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
e2e_name=e2e
expected_passes=5
source "$root/tests/e2e/e2e-common.sh"

# Client point (x, y) of the map window on the screen.
client_origin() {
    local WINDOW X Y WIDTH HEIGHT SCREEN
    eval "$(xdotool getwindowgeometry --shell "$window")"
    # Without a window manager Wine maps only the client area; with one, the
    # frame may be part of the window: the side border is then half the extra width.
    local border=$(((WIDTH - 648) / 2))
    origin_x=$((X + border))
    origin_y=$((Y + HEIGHT - 472 - border))
}

# Moves the pointer to client point (x, y) and clicks, once the pointer is seen to stay there.
click_at() {
    local x=$((origin_x + $1)) y=$((origin_y + $2)) X Y SCREEN WINDOW
    for _ in 1 2 3 4 5; do
        xdotool mousemove --sync "$x" "$y"
        sleep 0.4  # a late duplicate motion event may still arrive
        eval "$(xdotool getmouselocation --shell)"
        [ "$X" -eq "$x" ] && [ "$Y" -eq "$y" ] && break
    done
    xdotool click 1
    sleep 0.5
}

"$wine_run" "$exe" >"$work/app.out" 2>&1 &
app=$!
window=
for _ in $(seq 1 100); do
    window=$(xdotool search --name "Norvantic - Worldwide Locations" 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.2
done
if [ -z "$window" ]; then
    fail "the map window did not appear within 20 s"
    exit 1
fi
pass "the map window appeared"
sleep 1.5
client_origin

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

click_at $((568 + 37)) $((438 + 12))  # Exit
for _ in $(seq 1 50); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$app" 2>/dev/null; then
    fail "the program still runs 10 s after Exit"
else
    wait "$app"
    code=$?
    app=
    if [ "$code" -eq 0 ]; then pass "Exit ended the program with code 0"; else fail "exit code $code after Exit"; fi
fi
