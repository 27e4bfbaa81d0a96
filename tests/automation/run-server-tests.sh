#!/usr/bin/env bash
# Runs the tests of Mappa.exe as a COM server in a Wine prefix of their own:
# they register the class, start and end the program and clear COM's class
# table, which no other test's run of the program may meet half-way. One run
# at a time per prefix; the prefix's wineserver is stopped at the end.
#
#   run-server-tests.sh PREFIX_DIR TEST_EXE [gtest arguments]
set -uo pipefail

[ $# -ge 2 ] || { echo "usage: $0 PREFIX_DIR TEST_EXE [arguments]" >&2; exit 2; }
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export WINEPREFIX=$1
shift
mkdir -p "$(dirname "$WINEPREFIX")"

exec 8>"$WINEPREFIX.run-lock"
flock 8
# No Wine process may inherit the lock: the persistent wineserver would hold it.
wine() { "$root/tools/wine-run" "$@" 8>&-; }

# The program's windows in a desktop that Wine draws itself: with no window
# manager on the display, Wine waits 2 s in vain for each closed top-level
# window to be withdrawn, 4 s at every end of the program.
if ! grep -qs '"Desktop"="Default"' "$WINEPREFIX/user.reg"; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
    wine --server-stop
    /usr/lib/wine/wineserver -w 8>&-
fi
wine --prepare
wine "$@"
status=$?
wine --server-stop || true
/usr/lib/wine/wineserver -w 8>&- || true
exit $status
