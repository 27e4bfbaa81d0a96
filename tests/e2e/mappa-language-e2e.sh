#!/usr/bin/env bash
# The real Mappa.exe in each of its languages: chosen from the display language
# that Wine takes from LC_ALL, and from the user's own choice in the settings,
# which wins over it. Each start shows the caption of that language's table;
# each language leaves a screenshot, language-<tag>.png, in the screenshot
# folder. Needs a display (run inside xvfb-run).
# Usage: mappa-language-e2e.sh path/to/Mappa.exe path/to/mappa_probe.exe screenshot-folder
set -u
exe=${1:?usage: mappa-language-e2e.sh Mappa.exe mappa_probe.exe screenshot-folder}
probe_exe=${2:?usage: mappa-language-e2e.sh Mappa.exe mappa_probe.exe screenshot-folder}
shots=${3:?usage: mappa-language-e2e.sh Mappa.exe mappa_probe.exe screenshot-folder}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
e2e_name=language
expected_passes=23
source "$root/tests/e2e/e2e-common.sh"

probe() {
    "$wine_run" --desktop MappaLanguage "$work/mappa_probe.exe" "$@" 2>/dev/null | tr -d '\r'
    return "${PIPESTATUS[0]}"
}
caption_of() { sed -n 's/^ *IDS_CAPTION "\(.*\)"$/\1/p' "$root/resources/strings/$1.rc"; }
key='HKCU\Software\Kestrelon\Tools\MappaLanguage'

cp "$exe" "$work/MappaLanguage.exe"
cp "$probe_exe" "$(dirname "$exe")/Mappa2.dat" "$work/"
mkdir -p "$shots"
cd "$work" || exit 1

# start LC_ALL: runs the program with that locale and waits for its window.
start() {
    LC_ALL=$1 "$wine_run" --desktop MappaLanguage "$work/MappaLanguage.exe" >"$work/app.out" 2>&1 &
    app=$!
}
stop() {
    # Only the start is under test here: the program is ended from outside.
    kill "$app" 2>/dev/null
    wait "$app" 2>/dev/null
    app=
}

languages="en:en_US de:de_DE fr:fr_FR es:es_ES it:it_IT pt-BR:pt_BR pl:pl_PL ja:ja_JP zh-Hans:zh_CN ko:ko_KR ar:ar_SA"
"$wine_run" reg delete "$key" /v Language /f >/dev/null 2>&1
for pair in $languages; do
    tag=${pair%%:*}
    start "${pair##*:}.UTF-8"
    if probe wait "$(caption_of "$tag")" >/dev/null; then
        pass "LC_ALL=${pair##*:}.UTF-8 shows the window in $tag"
        sleep 1
        import -window root "$shots/language-$tag.png"
    else
        fail "LC_ALL=${pair##*:}.UTF-8 showed no window captioned '$(caption_of "$tag")'"
    fi
    stop
done

# Traditional Chinese is not served by Simplified: English.
start zh_TW.UTF-8
if probe wait "$(caption_of en)" >/dev/null; then pass "LC_ALL=zh_TW.UTF-8 falls back to English"
else fail "LC_ALL=zh_TW.UTF-8 did not fall back to English"; fi
stop

# The user's choice wins over the display language.
for pair in $languages; do
    tag=${pair%%:*}
    "$wine_run" reg add "$key" /v Language /d "$tag" /f >/dev/null 2>&1
    start de_DE.UTF-8
    if probe wait "$(caption_of "$tag")" >/dev/null; then pass "the choice '$tag' wins over LC_ALL=de_DE.UTF-8"
    else fail "the choice '$tag' showed no window captioned '$(caption_of "$tag")'"; fi
    stop
done
"$wine_run" reg delete "$key" /v Language /f >/dev/null 2>&1
