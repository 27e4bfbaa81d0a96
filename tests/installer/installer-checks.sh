# The checks that installer-test.sh makes of both packages. Sourced by it after it
# has set prefix, root, built_exe, built_checker, probe and the function wine.

clsid='{53E9A354-DB33-430D-9DFD-15EE629798E6}'
iid='{75BF1E08-8073-423F-BACB-BAF9504ABD00}'
libid='{401913BB-FADD-4255-A0BF-684C39EDEE26}'
progid='ObelSupportMappaMap.SupportMap'
office_map_clsid='{69AF8C35-14EF-4871-8C05-C7F2851971CD}'
office_map_progid='ObelSupportMappaMap.OfficeMap'
# IOffice, IOffices, IOfficeMap and the events' dispinterface OfficeMapEvents.
office_map_iids=('{FCECA357-9D51-43FF-9A1C-C9E7A9272AA3}' '{108EC307-D9EA-4346-BD13-6484EC08BE7B}'
                 '{771188D9-0CF6-4BC7-A528-52FEC5FAE20D}' '{6516B7AB-A9EB-4A79-B537-45563DE4CD72}')
# Every key below HKEY_CLASSES_ROOT that Mappa's registration owns, with what is below it.
server_keys=("CLSID\\$clsid" "$progid" "Interface\\$iid" "TypeLib\\$libid" "CLSID\\$office_map_clsid"
             "$office_map_progid" "$office_map_progid.1" "${office_map_iids[@]/#/Interface\\}" mappa)
uninstall_root='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall'
nsis_entry="$uninstall_root\\Mappa"
install_dir='C:\Program Files\Mappa'
unix_install_dir=$prefix/drive_c/Program\ Files/Mappa
work='C:\mappa-installer-test'
unix_work=$prefix/drive_c/mappa-installer-test

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok:   $1"; }
fail() { failed=$((failed + 1)); echo "FAIL: $1"; }

# (Only when there is a prefix: tools/wine-run would first make one.)
stop_server() { [ ! -f "$prefix/system.reg" ] || wine --server-stop >/dev/null 2>&1 || true; }

# Wine's reg, with its messages. Under load it has been seen to end now and then with
# an error and no message; such a run is repeated, and said.
reg() {
    local output status attempt
    for attempt in 1 2 3; do
        output=$(wine reg "$@" 2>&1)
        status=$?
        if [ $status -eq 0 ] || [[ $output == *"Unable to find"* ]]; then
            printf '%s\n' "${output//$'\r'/}"
            return $status
        fi
        echo "       reg $* failed (exit code $status: '${output//$'\r'/}'), attempt $attempt" >&2
    done
    return $status
}

# The data of one registry value ("" for the default value); fails when it is absent.
reg_value() {
    local output
    if [ -z "$2" ]; then output=$(reg query "$1" /ve) || return 1
    else output=$(reg query "$1" /v "$2") || return 1; fi
    printf '%s\n' "$output" | sed -n 's/^    .*    REG_[A-Z_]*    //p' | head -n 1
}
# A key in the 64-bit or (with /reg:32) the 32-bit view.
key_exists() { reg query "$@" >/dev/null; }

# The Add/Remove Programs entries (keys) whose name is Mappa.
uninstall_entries() {
    reg query "$uninstall_root" /s | awk '/^HKEY_/ { key = $0 } /^    DisplayName    REG_SZ    Mappa$/ { print key }'
}

# Live processes of this prefix whose name or command line contains $1.
process_count() {
    wine cscript.exe //nologo "$work\\processes.vbs" "$1" 2>/dev/null | tr -d '\r' | tail -n 1
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

write_scripts() {
    mkdir -p "$unix_work"
    # A client of the automation server as the suite's scripts use it, late-bound.
    # (An uncaught script error ends cscript with exit code 0 under Wine: check each step.)
    cat >"$unix_work/client.vbs" <<'VBS'
On Error Resume Next
Dim map, version
Set map = CreateObject("ObelSupportMappaMap.SupportMap")
If Err.Number <> 0 Then Fail "CreateObject"
map.runMap 0
If Err.Number <> 0 Then Fail "runMap"
version = map.Version
If Err.Number <> 0 Then Fail "Version"
Set map = Nothing
WScript.Echo "Version = " & version
If CStr(version) <> "1" Then WScript.Quit 1
WScript.Quit 0

Sub Fail(step)
    WScript.Echo step & " failed: 0x" & Hex(Err.Number) & " " & Err.Description
    WScript.Quit 1
End Sub
VBS
    # A client of the office map: the package's registration of its class and type
    # library 1.1 serves it, and the copy that COM starts ends with its last object.
    cat >"$unix_work/office-map-client.vbs" <<'VBS'
On Error Resume Next
Dim map, count
Set map = CreateObject("ObelSupportMappaMap.OfficeMap")
If Err.Number <> 0 Then Fail "CreateObject"
count = map.Offices.Count
If Err.Number <> 0 Then Fail "Offices.Count"
Set map = Nothing
WScript.Echo "Offices.Count = " & count
If count < 1 Then WScript.Quit 1
WScript.Quit 0

Sub Fail(step)
    WScript.Echo step & " failed: 0x" & Hex(Err.Number) & " " & Err.Description
    WScript.Quit 1
End Sub
VBS
    # Counts the processes whose name or command line contains the argument.
    cat >"$unix_work/processes.vbs" <<'VBS'
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
VBS
    # The target of a shortcut as the shell resolves it. (Wine 8's WScript.Shell
    # cannot read a shortcut's TargetPath; Shell.Application can.)
    cat >"$unix_work/shortcut.vbs" <<'VBS'
On Error Resume Next
Dim target
target = CreateObject("Shell.Application").NameSpace(WScript.Arguments(0)).ParseName(WScript.Arguments(1)).GetLink.Path
If Err.Number <> 0 Then WScript.Echo "error 0x" & Hex(Err.Number) : WScript.Quit 1
WScript.Echo target
VBS
}

# Runs a Windows program with Wine's trace of process creation in $1 (the program and
# every process it starts log each program they start).
traced_run() {
    local log=$1 status started=$SECONDS
    shift
    WINEDEBUG=-all,+process wine "$@" >/dev/null 2>"$log"
    status=$?
    last_run_seconds=$((SECONDS - started))
    return $status
}
# The installation must not have run Mappa: the server's registration came from the package.
check_no_mappa_run() {
    local started
    started=$(grep -c 'trace:process:CreateProcessInternalW app' "$1")
    if grep -qi 'trace:process:CreateProcessInternalW app.*mappa\.exe' "$1"; then
        fail "$2 ran Mappa: $(grep -i 'trace:process:CreateProcessInternalW app.*mappa\.exe' "$1" | head -n 1)"
    elif ! grep -q 'trace:process:' "$1"; then
        fail "$2: no trace of process creation to look at"
    else pass "$2 ran no copy of Mappa (it started $started other programs)"; fi
}

check_files() {
    local problems=() file
    for file in Mappa.exe mappa-check.exe Mappa2.dat worldmap.bmp "$@"; do
        [ -f "$unix_install_dir/$file" ] || problems+=("$install_dir\\$file is missing")
    done
    cmp -s "$built_exe" "$unix_install_dir/Mappa.exe" || problems+=("Mappa.exe differs from the built one")
    cmp -s "$built_checker" "$unix_install_dir/mappa-check.exe" || problems+=("mappa-check.exe differs from the built one")
    cmp -s "$root/resources/Mappa2.dat" "$unix_install_dir/Mappa2.dat" || problems+=("Mappa2.dat differs from resources/")
    cmp -s "$root/resources/worldmap.bmp" "$unix_install_dir/worldmap.bmp" || problems+=("worldmap.bmp differs from resources/")
    if [ ${#problems[@]} -eq 0 ]; then pass "Mappa.exe, mappa-check.exe, Mappa2.dat, worldmap.bmp${*:+ and $*} in $install_dir"
    else fail "installed files: ${problems[*]}"; fi
}

# The installed programs (and the uninstaller, when named) carry the packages' signature,
# and the stripped checker still runs: it reads the installed office list clean.
check_signed_programs() {
    local problems=() file output
    for file in Mappa.exe mappa-check.exe "$@"; do
        osslsigncode verify -CAfile "$ca_cert" -in "$unix_install_dir/$file" >/dev/null 2>&1 ||
            problems+=("$file is not signed by the test certificate")
    done
    output=$(wine "$install_dir\\mappa-check.exe" "$install_dir\\Mappa2.dat" 2>&1) ||
        problems+=("mappa-check.exe on the installed Mappa2.dat: exit code $? ($(printf '%s' "${output//$'\r'/}" | tail -n 1))")
    if [ ${#problems[@]} -eq 0 ]; then pass "Mappa.exe, mappa-check.exe${*:+ and $*} signed; the installed checker runs"
    else fail "installed programs: ${problems[*]}"; fi
}

# The Start menu shortcuts named Mappa, for all users first.
shortcuts() { find "$prefix/drive_c/ProgramData" "$prefix/drive_c/users" -iname Mappa.lnk 2>/dev/null; }
# Windows Installer puts a per-machine package's shortcut into the programs of all
# users; Wine 8's msi puts it into the user's own (its ProgramMenuFolder ignores
# ALLUSERS), so either is taken here.
check_shortcut() {
    local shortcut folder target
    shortcut=$(shortcuts | head -n 1)
    folder=$(dirname "${shortcut#"$prefix/drive_c"}")
    folder="C:${folder//\//\\}"
    # Wine now and then fails to start the script host ("ShellExecuteEx failed:
    # Internal error" on standard output): then it is asked again.
    for _ in 1 2 3; do
        [ -n "$shortcut" ] && target=$(wine cscript.exe //nologo "$work\\shortcut.vbs" "$folder" "$(basename "$shortcut")" 2>/dev/null | tr -d '\r')
        case "${target:-}" in *ShellExecuteEx*) sleep 1 ;; *) break ;; esac
    done
    if [ "$(shortcuts | grep -c .)" = 1 ] && [ "${target:-}" = "$install_dir\\Mappa.exe" ]; then
        pass "Start menu shortcut $folder\\Mappa.lnk points at Mappa.exe"
    else fail "Start menu shortcut: '$(shortcuts | tr '\n' ' ')' pointing at '${target:-}'"; fi
}

# The server's keys under HKEY_CLASSES_ROOT in both registry views, as `reg export`
# writes them, one line per value (and per key), sorted: the registry does not
# keep the order in which values were written, and ignores the letter case of keys.
# A key that is not there gives one line "VIEW [key] absent". (One export of the
# whole of HKEY_CLASSES_ROOT per view, filtered here: far quicker than one per key.)
export_registration() {
    local view
    for view in 64 32; do
        rm -f "$unix_work/export.reg"
        reg export HKCR "$work\\export.reg" /y "/reg:$view" >/dev/null ||
            { echo "$view export of HKEY_CLASSES_ROOT failed"; continue; }
        iconv -f UTF-16 -t UTF-8 "$unix_work/export.reg" | tr -d '\r' |
            owned=$(printf '%s\n' "${server_keys[@]}") awk -v view="$view" '
                BEGIN { count = split(tolower(ENVIRON["owned"]), keys, "\n")
                        for (i = 1; i <= count; i++) keys[i] = "[hkey_classes_root\\" keys[i] }
                function mine(line,    i) {
                    for (i = 1; i <= count; i++)
                        if (line == keys[i] "]" || index(line, keys[i] "\\") == 1) { seen[i] = 1; return 1 }
                    return 0 }
                /^\[/ { key = tolower($0); keep = mine(key); if (keep) print view " " key; next }
                keep && /^[@"]/ { print view " " key " " $0 }
                END { for (i = 1; i <= count; i++) if (!seen[i]) print view " " keys[i] "] absent" }'
    done | LC_ALL=C sort >"$1"
}
# The values that begin with the server's command line: the classes' LocalServer32
# and the link scheme's icon and command. The command is the path in quotes or, as
# /RegServer may write it, a path without blanks.
command_value='^(64 \[[^]]*\\(localserver32|defaulticon|shell\\open\\command)\] @=")(\\"[^"]*\\"|[^"]*[Mm]appa\.exe)'
# The server's command lines in an export, as the registry holds them (the escapes of
# `reg export` undone), one line for each value.
exported_commands() { sed -En "s/$command_value.*\$/\\3/p" "$1" | sed 's/\\\(.\)/\1/g'; }
# The export with each server command line replaced by <server>.
without_server() { sed -E "s/$command_value/\\1<server>/" "$1"; }

# What a package wrote against what /RegServer wrote (both for the same folder). The
# package must write the server's long path in quotes, the one form that cannot be
# misread; /RegServer, which rewrites the entries at every start of Mappa, may write
# another form of the same path (the short one), which check_regserver_path looks at.
compare_registration() {
    local difference commands problems=()
    commands=$(exported_commands "$1")
    [ "$(printf '%s\n' "$commands" | grep -c .)" = 4 ] ||
        problems+=("$(printf '%s\n' "$commands" | grep -c .) server command lines, not 4 (two classes, the link's icon and command)")
    [ "$(printf '%s\n' "$commands" | sort -u)" = "\"$install_dir\\Mappa.exe\"" ] ||
        problems+=("server command lines '$(printf '%s ' $commands)', not \"$install_dir\\Mappa.exe\" in quotes")
    if ! difference=$(diff -u <(without_server "$unix_work/regserver.reg") <(without_server "$1")); then
        problems+=("other registry entries than Mappa.exe /RegServer (- /RegServer, + package):")
    fi
    if [ ${#problems[@]} -eq 0 ]; then
        pass "$2 writes the registry entries of Mappa.exe /RegServer ($(grep -vc ' absent$' "$1") keys and values, both classes and the mappa: scheme), the server as $(printf '%s\n' "$commands" | head -n 1)"
    else
        fail "$2: ${problems[*]}"
        [ -z "$difference" ] || printf '%s\n' "$difference" | sed -n '3,$p' | head -n 40
    fi
}

# What /RegServer wrote for the server names the installed Mappa.exe (while it is there),
# in each of its command lines.
check_regserver_path() {
    local commands command unix_command
    commands=$(exported_commands "$unix_work/regserver.reg")
    [ "$(printf '%s\n' "$commands" | grep -c .)" = 4 ] || fail "/RegServer wrote $(printf '%s\n' "$commands" | grep -c .) server command lines, not 4"
    while IFS= read -r command; do
        unix_command=$(wine winepath.exe -u "${command//\"/}" 2>/dev/null | tr -d '\r')
        [ -n "$unix_command" ] && [ "$unix_command" -ef "$unix_install_dir/Mappa.exe" ] ||
            fail "/RegServer's server command line '$command' is not the installed Mappa.exe"
    done < <(printf '%s\n' "$commands" | sort -u)
}

# Everything that an installation leaves, named for a report; nothing when none is left.
# With --except-folder, the install folder is not looked at.
leftovers() {
    local found=() view key lower
    [ "${1:-}" != --except-folder ] && [ -e "$unix_install_dir" ] && found+=("$install_dir ($(ls -A "$unix_install_dir" | tr '\n' ' '))")
    [ -n "$(shortcuts)" ] && found+=("Start menu shortcut")
    # Each of the server's keys that is there, in either view.
    export_registration "$unix_work/leftover.reg"
    for view in 64 32; do
        for key in "${server_keys[@]}"; do
            lower=$(printf '%s' "$key" | tr A-Z a-z)
            grep -qxF "$view [hkey_classes_root\\$lower]" "$unix_work/leftover.reg" && found+=("HKCR\\$key ($view-bit)")
        done
    done
    [ -n "$(uninstall_entries)" ] && found+=("Add/Remove Programs entry")
    key_exists 'HKLM\Software\Norvantic\Mappa' && found+=("the record of the install folder")
    [ ${#found[@]} -eq 0 ] || echo "${found[*]}"
}

# A script client creates the object, calls runMap 0 and reads Version. runMap hands
# the object to the map window: close the window as the user would, after which the
# copy of Mappa that COM started ends by itself. Then a client of the office map,
# whose copy ends as soon as the client lets go.
use_server() {
    local status started=$SECONDS
    # Into a file: the server that COM starts inherits the client's output, and keeps
    # it open until its window closes.
    wine cscript.exe //nologo "$work\\client.vbs" >"$unix_work/client.out" 2>&1
    status=$?
    echo "       $(tr -d '\r' <"$unix_work/client.out")"
    if [ $status -eq 0 ]; then pass "$1: a script client creates $progid, calls runMap 0 and reads Version 1"
    else fail "$1: script client (exit code $status)"; fi
    wine "$probe" close-map || fail "$1: no map window to close"
    if wait_for_no_process 'Mappa.exe'; then pass "$1: Mappa ends once its map window is closed ($((SECONDS - started)) s)"
    else fail "$1: Mappa ends once its map window is closed"; fi

    started=$SECONDS
    wine cscript.exe //nologo "$work\\office-map-client.vbs" >"$unix_work/client.out" 2>&1
    status=$?
    echo "       $(tr -d '\r' <"$unix_work/client.out")"
    if [ $status -eq 0 ]; then pass "$1: a script client creates $office_map_progid and counts its offices"
    else fail "$1: office map script client (exit code $status)"; fi
    if wait_for_no_process 'Mappa.exe'; then pass "$1: the copy that COM started for it ends by itself ($((SECONDS - started)) s)"
    else fail "$1: the copy that COM started for the office map ends by itself"; fi
}
