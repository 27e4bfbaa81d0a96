#!/usr/bin/env bash
# The setup program on a machine that has never seen Mappa: a fresh Wine prefix of
# its own, a silent install, the installed files, shortcut and Add/Remove Programs
# entry, the automation server registered and reachable by a script client, then a
# silent uninstall that leaves nothing of Mappa behind.
#
#   installer-test.sh SETUP_EXE BUILT_MAPPA_EXE PREFIX_DIR [FAILING_SETUP_EXE]
#
# FAILING_SETUP_EXE is the same installer around a stand-in whose /RegServer fails:
# it must end with exit code 2 and leave nothing installed.
# PREFIX_DIR is made anew (and removed again when every check passes). The prefix has
# its own wineserver, stopped at the end. Needs an X display (DISPLAY, or Xvfb here).
set -uo pipefail

[ $# -eq 3 ] || [ $# -eq 4 ] ||
    { echo "usage: $0 SETUP_EXE BUILT_MAPPA_EXE PREFIX_DIR [FAILING_SETUP_EXE]" >&2; exit 2; }
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
setup=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
built_exe=$2
prefix=$3
failing_setup=${4:-}
[ -f "$setup" ] || { echo "installer: no setup program at $1" >&2; exit 1; }
[ -f "$built_exe" ] || { echo "installer: no Mappa.exe at $2" >&2; exit 1; }

export WINEPREFIX=$prefix
# No Mono or Gecko prompts; and no menu entries on this machine for the shortcut
# that the installer creates (winemenubuilder would write .desktop files into $HOME).
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
# Every Wine call is bounded (a message box in a silent run would wait for ever) and
# closes the run lock's descriptor, so that the prefix's wineserver does not hold it.
wine() { timeout 120 "$root/tools/wine-run" "$@" 8>&-; }

clsid='{53E9A354-DB33-430D-9DFD-15EE629798E6}'
libid='{401913BB-FADD-4255-A0BF-684C39EDEE26}'
progid='ObelSupportMappaMap.SupportMap'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mappa'
install_dir='C:\Program Files\Mappa'
unix_install_dir=$prefix/drive_c/Program\ Files/Mappa
shortcut_dir='C:\ProgramData\Microsoft\Windows\Start Menu\Programs'
unix_shortcut=$prefix/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Mappa.lnk
scripts='C:\mappa-installer-test'
unix_scripts=$prefix/drive_c/mappa-installer-test

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok:   $1"; }
fail() { failed=$((failed + 1)); echo "FAIL: $1"; }

stop_server() { wine --server-stop >/dev/null 2>&1 || true; }

# The data of one registry value ("" for the default value); fails when it is absent.
reg_value() {
    local output
    if [ -z "$2" ]; then output=$(wine reg query "$1" /ve 2>/dev/null) || return 1
    else output=$(wine reg query "$1" /v "$2" 2>/dev/null) || return 1; fi
    printf '%s\n' "$output" | tr -d '\r' | sed -n 's/^    .*    REG_[A-Z_]*    //p' | head -n 1
}
key_exists() { wine reg query "$1" >/dev/null 2>&1; }

# Live processes of this prefix whose name or command line contains $1.
process_count() {
    wine cscript.exe //nologo "$scripts\\processes.vbs" "$1" 2>/dev/null | tr -d '\r' | tail -n 1
}
wait_for_no_process() {
    local count
    for _ in $(seq 1 80); do
        count=$(process_count "$1")
        [ "$count" = 0 ] && return 0
        sleep 0.25
    done
    echo "       still running after 20 s: $1 ($count)"
    return 1
}

# --- A fresh prefix ---------------------------------------------------------------
# Two test runs in one build tree (two people running ctest) take turns on the prefix.
exec 8>"$prefix.run-lock"
flock -w 240 8 || { echo "installer: $prefix is busy with another test run" >&2; exit 1; }
stop_server
trap stop_server EXIT
rm -rf "$prefix" "$prefix.lock"
started=$SECONDS
wine --prepare || { echo "installer: cannot create the Wine prefix $prefix" >&2; exit 1; }
echo "installer: fresh Wine prefix in $((SECONDS - started)) s"

mkdir -p "$unix_scripts"
# A client of the automation server: late-bound, as the suite's scripts use it.
# (An uncaught script error ends cscript with exit code 0 under Wine: check each step.)
cat >"$unix_scripts/client.vbs" <<'EOF'
On Error Resume Next
Dim map, version
Set map = CreateObject("ObelSupportMappaMap.SupportMap")
If Err.Number <> 0 Then
    WScript.Echo "CreateObject failed: 0x" & Hex(Err.Number) & " " & Err.Description
    WScript.Quit 1
End If
version = map.Version
If Err.Number <> 0 Then
    WScript.Echo "Version failed: 0x" & Hex(Err.Number) & " " & Err.Description
    WScript.Quit 1
End If
Set map = Nothing
WScript.Echo "Version = " & version
If CStr(version) <> "1" Then WScript.Quit 1
WScript.Quit 0
EOF
# Counts the processes whose name or command line contains the argument.
cat >"$unix_scripts/processes.vbs" <<'EOF'
On Error Resume Next
Dim processes, process, count
Set processes = GetObject("winmgmts:\\.\root\cimv2").ExecQuery("SELECT Name, CommandLine FROM Win32_Process")
If Err.Number <> 0 Then WScript.Echo "error" : WScript.Quit 1
count = 0
For Each process In processes
    If LCase(process.Name) <> "cscript.exe" Then
        If InStr(1, process.Name & " " & process.CommandLine, WScript.Arguments(0), 1) > 0 Then count = count + 1
    End If
Next
WScript.Echo count
EOF
# The file version of a file, and the target of a shortcut as the shell resolves it.
# (Wine 8's WScript.Shell cannot read a shortcut's TargetPath; Shell.Application can.)
cat >"$unix_scripts/look-up.vbs" <<'EOF'
On Error Resume Next
Dim result, folder
If WScript.Arguments(0) = "version" Then
    result = CreateObject("Scripting.FileSystemObject").GetFileVersion(WScript.Arguments(1))
Else
    Set folder = CreateObject("Shell.Application").NameSpace(WScript.Arguments(1))
    result = folder.ParseName(WScript.Arguments(2)).GetLink.Path
End If
If Err.Number <> 0 Then WScript.Echo "error 0x" & Hex(Err.Number) : WScript.Quit 1
WScript.Echo result
EOF
look_up() { wine cscript.exe //nologo "$scripts\\look-up.vbs" "$@" 2>/dev/null | tr -d '\r'; }

# Everything that an installation leaves, named for a report; nothing when none is left.
# With --except-folder, the install folder is not looked at.
leftovers() {
    local found=()
    [ "${1:-}" != --except-folder ] && [ -e "$unix_install_dir" ] && found+=("$install_dir ($(ls -A "$unix_install_dir" | tr '\n' ' '))")
    [ -e "$unix_shortcut" ] && found+=("Start menu shortcut")
    key_exists "HKCR\\CLSID\\$clsid" && found+=("CLSID key")
    key_exists "HKCR\\$progid" && found+=("ProgID key")
    key_exists "HKCR\\TypeLib\\$libid" && found+=("TypeLib key")
    key_exists "$uninstall_key" && found+=("Add/Remove Programs entry")
    [ ${#found[@]} -eq 0 ] || echo "${found[*]}"
}

# --- A server that cannot register ------------------------------------------------
if [ -n "$failing_setup" ]; then
    wine "$failing_setup" /S
    status=$?
    left=$(leftovers)
    if [ $status -eq 2 ] && [ -z "$left" ]; then pass "a failed /RegServer stops the install (exit code 2) and leaves nothing"
    else fail "a failed /RegServer: exit code $status (want 2), left: ${left:-nothing}"; fi
fi

# --- Install ----------------------------------------------------------------------
started=$SECONDS
wine "$setup" /S
status=$?
echo "installer: silent install took $((SECONDS - started)) s"
if [ $status -eq 0 ]; then pass "silent install exits 0"
else fail "silent install exits 0 (exit code $status)"; fi

problems=()
for file in Mappa.exe Mappa2.dat Uninstall.exe; do
    [ -f "$unix_install_dir/$file" ] || problems+=("$install_dir\\$file is missing")
done
cmp -s "$built_exe" "$unix_install_dir/Mappa.exe" || problems+=("Mappa.exe differs from the built one")
cmp -s "$root/resources/Mappa2.dat" "$unix_install_dir/Mappa2.dat" || problems+=("Mappa2.dat differs from resources/")
if [ ${#problems[@]} -eq 0 ]; then pass "Mappa.exe, Mappa2.dat and Uninstall.exe in $install_dir"
else fail "installed files: ${problems[*]}"; fi

target=$(look_up shortcut "$shortcut_dir" Mappa.lnk)
if [ -f "$unix_shortcut" ] && [ "$target" = "$install_dir\\Mappa.exe" ]; then
    pass "Start menu shortcut for all users points at Mappa.exe"
else fail "Start menu shortcut: exists=$([ -f "$unix_shortcut" ] && echo yes || echo no), target '$target'"; fi

file_version=$(look_up version "$install_dir\\Mappa.exe")
problems=()
[ "$(reg_value "$uninstall_key" DisplayName)" = Mappa ] || problems+=(DisplayName)
[ "$(reg_value "$uninstall_key" DisplayVersion)" = "$file_version" ] || problems+=("DisplayVersion (Mappa.exe: '$file_version')")
[ "$(reg_value "$uninstall_key" Publisher)" = Norvantic ] || problems+=(Publisher)
[ "$(reg_value "$uninstall_key" InstallLocation)" = "$install_dir" ] || problems+=(InstallLocation)
[ "$(reg_value "$uninstall_key" UninstallString)" = "\"$install_dir\\Uninstall.exe\"" ] || problems+=(UninstallString)
[ "$(reg_value "$uninstall_key" QuietUninstallString)" = "\"$install_dir\\Uninstall.exe\" /S" ] || problems+=(QuietUninstallString)
[ "$(reg_value "$uninstall_key" NoModify)" = 0x1 ] || problems+=(NoModify)
[ "$(reg_value "$uninstall_key" NoRepair)" = 0x1 ] || problems+=(NoRepair)
if [ ${#problems[@]} -eq 0 ]; then pass "Add/Remove Programs entry (version $file_version)"
else fail "Add/Remove Programs entry: wrong or missing ${problems[*]}"; fi

# Mappa registers its server under the short form of its path; both name the installed file.
problems=()
server=$(reg_value "HKCR\\CLSID\\$clsid\\LocalServer32" "") || problems+=("no LocalServer32")
if [ -n "$server" ]; then
    unix_server=$(wine winepath.exe -u "$server" 2>/dev/null | tr -d '\r')
    [ -n "$unix_server" ] && [ "$unix_server" -ef "$unix_install_dir/Mappa.exe" ] ||
        problems+=("LocalServer32 is '$server', not the installed Mappa.exe")
fi
[ "$(reg_value "HKCR\\$progid\\Clsid" "")" = "$clsid" ] || problems+=("ProgID's Clsid")
[ "$(reg_value "HKCR\\CLSID\\$clsid\\ProgID" "")" = "$progid" ] || problems+=("CLSID's ProgID")
key_exists "HKCR\\TypeLib\\$libid" || problems+=("no TypeLib key")
if [ ${#problems[@]} -eq 0 ]; then pass "automation server registered ($server)"
else fail "automation server registration: ${problems[*]}"; fi

started=$SECONDS
output=$(wine cscript.exe //nologo "$scripts\\client.vbs" 2>&1)
status=$?
echo "       ${output//$'\r'/}"
if [ "$status" -eq 0 ]; then pass "a script client creates $progid and reads Version 1"
else fail "script client (exit code $status)"; fi
# The server started by COM ends by itself once its last object is released; the
# uninstaller must not meet it.
if wait_for_no_process 'Mappa.exe'; then pass "the COM-started Mappa.exe ends after its client ($((SECONDS - started)) s)"
else fail "the COM-started Mappa.exe ends after its client"; fi

# --- Uninstall --------------------------------------------------------------------
# As Add/Remove Programs does it (QuietUninstallString): the uninstaller copies itself
# to %TEMP%, starts the copy and returns at once; the copy does the work. Wait for it.
started=$SECONDS
wine "$install_dir\\Uninstall.exe" /S
status=$?
for _ in $(seq 1 80); do
    [ -e "$unix_install_dir" ] || break
    sleep 0.25
done
wait_for_no_process '_?=' >/dev/null
echo "installer: silent uninstall took $((SECONDS - started)) s"
if [ $status -eq 0 ] && [ ! -e "$unix_install_dir" ]; then pass "silent uninstall removes $install_dir"
else fail "silent uninstall (exit code $status): left $(ls -A "$unix_install_dir" 2>/dev/null | tr '\n' ' ')"; fi

left=$(leftovers)
if [ -z "$left" ]; then pass "nothing left: shortcut, CLSID, ProgID, TypeLib and uninstall keys removed"
else fail "left after uninstall: $left"; fi

# --- The uninstaller removes only what it installed --------------------------------
wine "$setup" /S >/dev/null 2>&1
echo "kept by the user" >"$unix_install_dir/notes.txt"
wine "$install_dir\\Uninstall.exe" /S
for _ in $(seq 1 80); do
    [ -e "$unix_install_dir/Uninstall.exe" ] || break
    sleep 0.25
done
wait_for_no_process '_?=' >/dev/null
left=$(ls -A "$unix_install_dir" 2>/dev/null | tr '\n' ' ')
others=$(leftovers --except-folder)
if [ "$left" = "notes.txt " ] && [ -z "$others" ]; then
    pass "the uninstaller keeps a file it did not install, and the folder with it"
else fail "with a file of the user's in $install_dir: left '$left' there, and ${others:-nothing else}"; fi
rm -rf "$unix_install_dir"

stop_server
trap - EXIT
if [ $failed -eq 0 ]; then
    rm -rf "$prefix" "$prefix.lock"
else
    echo "installer: the Wine prefix is kept for a look: $prefix"
fi
echo "installer: $passed passed, $failed failed"
[ $failed -eq 0 ]
