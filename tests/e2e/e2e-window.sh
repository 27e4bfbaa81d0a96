# The map window driven through X, shared by the end-to-end scripts, sourced
# after e2e-common.sh: where its client area is, clicks on it, and starting and
# ending the program.
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

# Waits up to 20 s for a shown window of that exact title; its id in `window`.
wait_window() {
    window=
    for _ in $(seq 1 100); do
        window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$window" ] && return 0
        kill -0 "$app" 2>/dev/null || return 1
        sleep 0.2
    done
    return 1
}

start_mappa() {
    "$wine_run" "$exe" >"$work/app.out" 2>&1 &
    app=$!
    wait_window "Norvantic - Worldwide Locations" || return 1
    sleep 1.5
    client_origin
}

# Exit, and the program's exit code once it has ended (1 when it still runs after 10 s).
exit_mappa() {
    click_at $((568 + 37)) $((438 + 12))
    for _ in $(seq 1 50); do
        kill -0 "$app" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$app" 2>/dev/null; then return 1; fi
    wait "$app"
    local code=$?
    app=
    return "$code"
}
