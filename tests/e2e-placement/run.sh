#!/usr/bin/env bash
# Mappa remembers where its window was: moved by the user and closed with Exit,
# it opens there the next time; it opens centred when the user's
# RestorePositions switch is off; ended without closing, it saves nothing. An
# administrator's RestorePositions policy (the machine's before the user's)
# decides over the user's switch.
# Runs the real program on a Wine desktop (real frames, a real title bar to
# drag) and reads the registry with reg.exe.
#   run.sh [path/to/Mappa.exe]    (needs DISPLAY; ctest runs it inside xvfb-run)
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
exe=${1:-$root/build/win/src/Mappa.exe}
wine=$root/tools/wine-run
title="Norvantic - Worldwide Locations"
tool_key='HKCU\Software\Kestrelon\Tools\Mappa'
global_key='HKCU\Software\Kestrelon\Global'
machine_policy='HKLM\Software\Policies\Kestrelon\Mappa'
user_policy='HKCU\Software\Policies\Kestrelon\Mappa'
desktop_width=1024 desktop_height=768
# The map window's client size and its Exit button, in client coordinates.
client_width=648 client_height=472
exit_x=$((568 + 75 / 2)) exit_y=$((438 + 25 / 2))

passed=0 failed=0
pass() { passed=$((passed + 1)); echo "ok   $1"; }
fail() { failed=$((failed + 1)); echo "FAIL $1"; }
reg() { "$wine" reg "$@" 2>/dev/null </dev/null | tr -d '\r'; }

# "<type> <data>" of a value, or nothing when it is missing.
value_of() { reg query "$1" /v "$2" | awk -v name="$2" '$1 == name { $1 = ""; sub(/^ +/, ""); print }'; }

saved_placement=$(value_of "$tool_key" Window.TMapUI)
saved_switch=$(value_of "$global_key" RestorePositions)
# The policy keys are removed again where there were none.
policy_parents=()
for parent in 'HKLM\Software\Policies\Kestrelon' 'HKCU\Software\Policies\Kestrelon'; do
    "$wine" reg query "$parent" >/dev/null 2>&1 </dev/null || policy_parents+=("$parent")
done
saved_machine_policy=$(value_of "$machine_policy" RestorePositions)
saved_user_policy=$(value_of "$user_policy" RestorePositions)
put_back() {  # <key> <name> <"type data" or empty>
    if [ -n "$3" ]; then reg add "$1" /v "$2" /t "${3%% *}" /d "${3#* }" /f >/dev/null
    else reg delete "$1" /v "$2" /f >/dev/null; fi
}

window=""
window_pid=""
cleanup() {
    if [ -n "$window" ] && xwininfo -id "$window" >/dev/null 2>&1; then
        [ -n "$window_pid" ] && kill "$window_pid" 2>/dev/null
    fi
    put_back "$tool_key" Window.TMapUI "$saved_placement"
    put_back "$global_key" RestorePositions "$saved_switch"
    put_back "$machine_policy" RestorePositions "$saved_machine_policy"
    put_back "$user_policy" RestorePositions "$saved_user_policy"
    for parent in "${policy_parents[@]}"; do reg delete "$parent" /f >/dev/null; done
}
trap cleanup EXIT

# Each start gets a desktop of its own name, so that no other run's desktop
# (on another display of the same Wine session) is reused.
run=0
start_mappa() {
    run=$((run + 1))
    "$wine" explorer "/desktop=Placement$$-$run,${desktop_width}x${desktop_height}" "$exe" >/dev/null 2>&1 </dev/null &
    window=""
    for _ in $(seq 1 150); do
        window=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        sleep 0.2
    done
    [ -n "$window" ] || { echo "the window did not appear"; return 1; }
    window_pid=$(xdotool getwindowpid "$window" 2>/dev/null)
    wait_until_still
}

# The window's outer position and size on the desktop, as "x y width height".
# (xdotool getwindowgeometry counts a Wine desktop's child window's offset twice.)
geometry() {
    xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
                                  /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }'
}

# Waits until the window has stopped moving (it is placed once it is shown).
wait_until_still() {
    local before="" now
    for _ in $(seq 1 30); do
        sleep 0.3
        now=$(geometry)
        [ "$now" = "$before" ] && return 0
        before=$now
    done
}

# Moves the pointer and waits until it is there: a late duplicate motion event
# may follow xdotool's move.
pointer_to() {
    for _ in 1 2 3 4 5; do
        xdotool mousemove "$1" "$2"
        sleep 0.2
        [ "$(xdotool getmouselocation | awk '{ print $1, $2 }')" = "x:$1 y:$2" ] && return 0
    done
}

drag_title_by() {  # <dx> <dy>
    local x y w h
    read -r x y w h < <(geometry)
    local from_x=$((x + 120)) from_y=$((y + 10))
    pointer_to "$from_x" "$from_y"
    xdotool mousedown 1
    sleep 0.2
    for step in 1 2 3 4 5; do
        pointer_to $((from_x + $1 * step / 5)) $((from_y + $2 * step / 5))
    done
    xdotool mouseup 1
    wait_until_still
}

click_exit() {
    local x y w h
    read -r x y w h < <(geometry)
    local frame=$(((w - client_width) / 2))
    local client_x=$((x + frame)) client_y=$((y + h - client_height - frame))
    pointer_to $((client_x + exit_x)) $((client_y + exit_y))
    xdotool click 1
    for _ in $(seq 1 50); do
        xwininfo -id "$window" >/dev/null 2>&1 || { window=""; sleep 0.5; return 0; }
        sleep 0.2
    done
    echo "the window did not close"
    return 1
}

# Ends the program without closing its window, so that it saves no place.
end_without_saving() {
    kill "$window_pid" 2>/dev/null
    for _ in $(seq 1 50); do xwininfo -id "$window" >/dev/null 2>&1 || break; sleep 0.2; done
    window=""
}

# <machine policy> <user policy> <user's switch>: "-" for none.
set_switches() {
    local value key
    for pair in "$1:$machine_policy" "$2:$user_policy"; do
        value=${pair%%:*} key=${pair#*:}
        if [ "$value" = - ]; then reg delete "$key" /v RestorePositions /f >/dev/null
        else reg add "$key" /v RestorePositions /t REG_DWORD /d "$value" /f >/dev/null; fi
    done
    reg add "$global_key" /v RestorePositions /d "$3" /f >/dev/null
}

centred() {  # <x> <y> <width> <height>
    [ "$1" -eq $(((desktop_width - $3) / 2)) ] && [ "$2" -eq $(((desktop_height - $4) / 2)) ]
}

[ -f "$exe" ] || { echo "e2e_placement: no program at $exe"; exit 1; }
reg delete "$tool_key" /v Window.TMapUI /f >/dev/null
reg delete "$global_key" /v RestorePositions /f >/dev/null
reg delete "$machine_policy" /v RestorePositions /f >/dev/null
reg delete "$user_policy" /v RestorePositions /f >/dev/null

# 1. Nothing saved yet: the window opens centred on the desktop.
start_mappa || exit 1
read -r x0 y0 width height < <(geometry)
if centred "$x0" "$y0" "$width" "$height"; then pass "first start is centred ($x0,$y0 ${width}x$height)"
else fail "first start at $x0,$y0 ${width}x$height, not centred on ${desktop_width}x$desktop_height"; fi

# 2. Dragged by its title bar and closed with Exit: the new place is saved.
drag_title_by -150 -50
read -r x1 y1 _ _ < <(geometry)
click_exit || exit 1
ppi=$(value_of "$tool_key" Window.TMapUI | awk -F, '{ print $5 }')
expected="REG_SZ $x1,$y1,$width,$height,$ppi,Normal"
actual=$(value_of "$tool_key" Window.TMapUI)
if [ "$x1,$y1" != "$x0,$y0" ] && [ "$actual" = "$expected" ] && [ "$ppi" -ge 96 ] 2>/dev/null; then
    pass "moved to $x1,$y1 and saved as '${actual#REG_SZ }'"
else fail "moved from $x0,$y0 to $x1,$y1; saved '$actual', expected '$expected'"; fi

# 3. Started again: it opens where it was.
start_mappa || exit 1
read -r x2 y2 _ _ < <(geometry)
if [ "$x2,$y2" = "$x1,$y1" ]; then pass "second start at the saved place $x2,$y2"
else fail "second start at $x2,$y2, saved at $x1,$y1"; fi
click_exit || exit 1

# Policies: each start ends without saving, so that the place saved in 2 stays.
# <what> <machine> <user policy> <user's switch> <centred|saved>
policy_start() {
    set_switches "$2" "$3" "$4"
    start_mappa || exit 1
    local x y
    read -r x y _ _ < <(geometry)
    end_without_saving
    if { [ "$5" = centred ] && centred "$x" "$y" "$width" "$height"; } || { [ "$5" = saved ] && [ "$x,$y" = "$x1,$y1" ]; }
    then pass "$1: $5 ($x,$y)"
    else fail "$1: at $x,$y, expected $5 (saved at $x1,$y1)"; fi
}
policy_start "user policy 0 over the user's 1" - 0 1 centred
policy_start "user policy 1 over the user's 0" - 1 0 saved
policy_start "machine policy 1 over user policy 0 and the user's 0" 1 0 0 saved
policy_start "machine policy 0 over user policy 1 and the user's 1" 0 1 1 centred
set_switches - - 1

# 4. RestorePositions switched off: centred again, whatever was saved.
reg add "$global_key" /v RestorePositions /d 0 /f >/dev/null
start_mappa || exit 1
read -r x3 y3 _ _ < <(geometry)
if centred "$x3" "$y3" "$width" "$height"; then pass "with RestorePositions 0 the window is centred ($x3,$y3)"
else fail "with RestorePositions 0 the window is at $x3,$y3, not centred"; fi
click_exit || exit 1

# 5. Moved and then ended without closing: nothing is saved.
before=$(value_of "$tool_key" Window.TMapUI)
start_mappa || exit 1
drag_title_by 100 40
kill "$window_pid" 2>/dev/null
for _ in $(seq 1 50); do xwininfo -id "$window" >/dev/null 2>&1 || break; sleep 0.2; done
window=""
after=$(value_of "$tool_key" Window.TMapUI)
if [ -n "$window_pid" ] && [ "$after" = "$before" ]; then
    pass "ended without closing: the saved place stays '${after#REG_SZ }'"
else fail "ended without closing (pid '$window_pid'): saved '$after', before '$before'"; fi

echo "e2e_placement: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
