#!/usr/bin/env bash
# Zooming the real Mappa.exe through X as a user does: the wheel over Madrid,
# the context menu's filter by office type (which survives a restart), and
# Home, which gives the designed picture back pixel for pixel. Needs a display
# (run inside xvfb-run, no window manager), xdotool and ImageMagick.
# Usage: mappa-zoom-e2e.sh path/to/Mappa.exe
set -u
exe=${1:?usage: mappa-zoom-e2e.sh path/to/Mappa.exe}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
e2e_name=e2e_zoom
expected_passes=6
source "$root/tests/e2e/e2e-common.sh"
source "$root/tests/e2e/e2e-window.sh"

filter_value='HKCU\Software\Kestrelon\Tools\Mappa'
"$wine_run" reg delete "$filter_value" /v Map.OfficesShown /f >/dev/null 2>&1 </dev/null
trap '"$wine_run" reg delete "$filter_value" /v Map.OfficesShown /f >/dev/null 2>&1 </dev/null; finish' EXIT

# The map picture (640 x 320 at client point 4, 5) as a PNG.
shoot_map() {
    import -window root -crop "640x320+$((origin_x + 4))+$((origin_y + 5))" +repage "$1"
}
# How many pixels of the picture are of that colour.
count_colour() {
    convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:round(mean*w*h)]' info:
}
# Puts the pointer on the window's background, between the picture and the first row of
# fields (the local time's row now fills the space below them): the picture is then clean.
leave_picture() {
    xdotool mousemove --sync $((origin_x + 200)) $((origin_y + 329))
    sleep 0.6
}
# Opens the picture's context menu at client point (x, y) and picks its n-th item from the keyboard.
menu_item() {
    xdotool mousemove --sync $((origin_x + $1)) $((origin_y + $2))
    sleep 0.3
    xdotool click 3
    sleep 0.6
    for _ in $(seq 1 "$3"); do xdotool key Down; sleep 0.1; done
    xdotool key Return
    sleep 0.8
}

if ! start_mappa; then
    fail "the map window did not appear within 20 s"
    exit 1
fi
leave_picture
shoot_map "$work/designed.png"
yellow_designed=$(count_colour "$work/designed.png" "rgb(255,255,0)")

# Madrid at client (318, 94): two notches forward zoom to scale 4 about it.
xdotool mousemove --sync $((origin_x + 318)) $((origin_y + 94))
sleep 0.4
xdotool click 4
sleep 0.4
xdotool click 4
sleep 1
shoot_map "$work/zoomed.png"
# Madrid's marker (cyan) stays under the pointer, a few pixels at most away.
near=$(convert "$work/zoomed.png" -crop 17x17+306+81 +repage -fill black +opaque "rgb(0,255,255)" \
    -fill white -opaque "rgb(0,255,255)" -format '%[fx:round(mean*w*h)]' info:)
if ! cmp -s "$work/designed.png" "$work/zoomed.png" && [ "$near" -gt 10 ]; then
    pass "the wheel zoomed in about Madrid, whose marker stayed under the pointer"
else fail "after two wheel notches: picture changed? $(cmp -s "$work/designed.png" "$work/zoomed.png" && echo no || echo yes), $near cyan pixels about the pointer"; fi

# The menu's fifth item is "Support offices": unchecking it hides the yellow markers.
menu_item 100 250 5
xdotool key Home
sleep 0.8
leave_picture
shoot_map "$work/filtered.png"
yellow=$(count_colour "$work/filtered.png" "rgb(255,255,0)")
if [ "$yellow_designed" -gt 50 ] && [ "$yellow" -eq 0 ]; then pass "the menu's filter hid the support offices"
else fail "yellow pixels: $yellow_designed before, $yellow with support offices hidden"; fi

exit_mappa || fail "Exit did not end the program"
if start_mappa; then
    leave_picture
    shoot_map "$work/restarted.png"
    yellow=$(count_colour "$work/restarted.png" "rgb(255,255,0)")
    if [ "$yellow" -eq 0 ]; then pass "the filter survived a restart"
    else fail "after a restart $yellow yellow pixels"; fi

    # Shown again: the designed picture, pixel for pixel.
    menu_item 100 250 5
    leave_picture
    shoot_map "$work/shown.png"
    if cmp -s <(convert "$work/designed.png" rgb:-) <(convert "$work/shown.png" rgb:-); then
        pass "with every kind shown again the picture is the designed one"
    else fail "the picture with every kind shown differs from the designed one"; fi

    # Zoomed in and back with Home: the designed picture again.
    xdotool mousemove --sync $((origin_x + 318)) $((origin_y + 94))
    sleep 0.3
    xdotool click 1  # focus the map (and select Madrid)
    sleep 0.4
    xdotool click 4
    sleep 0.6
    shoot_map "$work/zoomed-again.png"
    xdotool key Home
    sleep 0.8
    leave_picture
    shoot_map "$work/home.png"
    # The focused map has its focus rectangle on the border, and the ring from
    # the click stays on Madrid; inside the border the rest is the designed picture.
    inner() { convert "$1" -crop 638x318+1+1 +repage "$2"; }
    inner "$work/designed.png" "$work/designed-inner.png"
    inner "$work/home.png" "$work/home-inner.png"
    differing=$(compare -metric AE "$work/designed-inner.png" "$work/home-inner.png" null: 2>&1)
    if ! cmp -s "$work/zoomed-again.png" "$work/designed.png" && [ "${differing%%.*}" -lt 300 ]; then
        pass "Home gave the whole world back ($differing pixels differ: the ring)"
    else fail "after Home $differing pixels differ from the designed picture"; fi
    exit_mappa || fail "Exit did not end the program"
    pass "the program ended"
else
    fail "the map window did not appear again"
fi
