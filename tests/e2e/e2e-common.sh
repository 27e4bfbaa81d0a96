# Shared by the end-to-end scripts, sourced after they set `e2e_name` (the prefix of
# their lines) and `root`: a scratch folder, the results and their summary, the
# program ended on exit, and the mailer and browser requests written to a log
# instead of opened. A script sets `app` to the program's process and calls
# `finish_when` with its condition for success.
wine_run=$root/tools/wine-run
browser_key='HKCU\Software\Wine\WineBrowser'
work=$(mktemp -d "/tmp/mappa-$e2e_name.XXXXXX")
passed=0
failed=0
app=

pass() { echo "$e2e_name: ok   - $1"; passed=$((passed + 1)); }
fail() { echo "$e2e_name: FAIL - $1"; failed=$((failed + 1)); }
finish() {
    [ -n "$app" ] && kill -0 "$app" 2>/dev/null && kill "$app"
    "$wine_run" reg delete "$browser_key" /v Browsers /f >/dev/null 2>&1
    "$wine_run" reg delete "$browser_key" /v Mailers /f >/dev/null 2>&1
    [ -n "${KEEP_E2E:-}" ] || rm -rf "$work"
    echo "$e2e_name: $passed passed, $failed failed"
    [ "$failed" -eq 0 ] && [ "$passed" -ge "$expected_passes" ]
    exit $?
}
trap finish EXIT

# Waits up to ten seconds for a line in the request log.
wait_request() {
    for _ in $(seq 1 50); do
        grep -qxF "$1" "$work/requests.log" 2>/dev/null && return 0
        sleep 0.2
    done
    return 1
}

printf '#!/bin/sh\nprintf "%%s\\n" "$*" >> %s/requests.log\n' "$work" >"$work/record.sh"
for value in Browsers Mailers; do
    "$wine_run" reg add "$browser_key" /v "$value" /d "/bin/sh $work/record.sh" /f >/dev/null 2>&1 ||
        { echo "$e2e_name: cannot set $browser_key $value"; exit 1; }
done
