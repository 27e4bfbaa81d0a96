# The checks that installer-test.sh makes of both packages. Sourced by it after it
# has set prefix, root, built_exe, built_checker, probe and the function wine.

clsid='{53E9A354-DB33-430D-9DFD-15EE629798E6}'
iid='{75BF1E08-8073-423F-BACB-BAF9504ABD00}'
libid='{401913BB-FADD-4255-A0BF-684C39EDEE26}'
progid='ObelSupportMappaMap.SupportMap'
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
    [ -n "$shortcut" ] && target=$(wine cscript.exe //nologo "$work\\shortcut.vbs" "$folder" "$(basename "$shortcut")" 2>/dev/null | tr -d '\r')
    if [ "$(shortcuts | grep -c .)" = 1 ] && [ "${target:-}" = "$install_dir\\Mappa.exe" ]; then
        pass "Start menu shortcut $folder\\Mappa.lnk points at Mappa.exe"
    else fail "Start menu shortcut: '$(shortcuts | tr '\n' ' ')' pointing at '${target:-}'"; fi
}

# The server's keys under HKEY_CLASSES_ROOT in both registry views, as `reg export`
# writes them, one line per value (and per key), sorted: the registry does not
# keep the order in which values were written, and ignores the letter case of keys.
export_registration() {
    local view key
    for view in 64 32; do
        for key in "CLSID\\$clsid" "$progid" "Interface\\$iid" "TypeLib\\$libid"; do
            rm -f "$unix_work/export.reg"
            if reg export "HKCR\\$key" "$work\\export.reg" /y "/reg:$view" >/dev/null; then
                iconv -f UTF-16 -t UTF-8 "$unix_work/export.reg" | tr -d '\r' |
                    awk -v view="$view" '/^\[/ { key = tolower($0); print view " " key; next }
                                         /^[@"]/ { print view " " key " " $0 }'
            else
                echo "$view [hkey_classes_root\\$(printf '%s' "$key" | tr A-Z a-z)] absent"
            fi
        done
    done | LC_ALL=C sort >"$1"
}
# The server's command line in an export: the data of the LocalServer32 default value,
# as `reg export` writes it (backslashes and quotes escaped).
exported_server() { sed -n 's/^64 \[.*\\localserver32\] @="\(.*\)"$/\1/p' "$1" | sed 's/\\\(.\)/\1/g'; }
# The export with the server's command line replaced by <server>.
without_server() { sed 's/^\(64 \[.*\\localserver32\] @=\).*$/\1<server>/' "$1"; }

# What a package wrote against what /RegServer wrote (both for the same folder). The
# package must write the server's long path in quotes, the one form that cannot be
# misread; /RegServer, which rewrites the entry at every start of Mappa, may write
# another form of the same path (the short one), which check_regserver_path looks at.
compare_registration() {
    local difference server problems=()
    server=$(exported_server "$1")
    [ "$server" = "\"$install_dir\\Mappa.exe\"" ] || problems+=("LocalServer32 is '$server', not \"$install_dir\\Mappa.exe\" in quotes")
    if ! difference=$(diff -u <(without_server "$unix_work/regserver.reg") <(without_server "$1")); then
        problems+=("other registry entries than Mappa.exe /RegServer (- /RegServer, + package):")
    fi
    if [ ${#problems[@]} -eq 0 ]; then
        pass "$2 writes the registry entries of Mappa.exe /RegServer ($(grep -c . "$1") keys and values), the server as $server"
    else
        fail "$2: ${problems[*]}"
        [ -z "$difference" ] || printf '%s\n' "$difference" | sed -n '3,$p' | head -n 40
    fi
}

# What /RegServer wrote for the server names the installed Mappa.exe (while it is there).
check_regserver_path() {
    local regserver unix_regserver
    regserver=$(exported_server "$unix_work/regserver.reg")
    unix_regserver=$(wine winepath.exe -u "${regserver//\"/}" 2>/dev/null | tr -d '\r')
    [ -n "$unix_regserver" ] && [ "$unix_regserver" -ef "$unix_install_dir/Mappa.exe" ] ||
        fail "/RegServer's LocalServer32 '$regserver' is not the installed Mappa.exe"
}

# Everything that an installation leaves, named for a report; nothing when none is left.
# With --except-folder, the install folder is not looked at.
leftovers() {
    local found=() view
    [ "${1:-}" != --except-folder ] && [ -e "$unix_install_dir" ] && found+=("$install_dir ($(ls -A "$unix_install_dir" | tr '\n' ' '))")
    [ -n "$(shortcuts)" ] && found+=("Start menu shortcut")
    for view in 64 32; do
        key_exists "HKCR\\CLSID\\$clsid" "/reg:$view" && found+=("CLSID key ($view-bit)")
        key_exists "HKCR\\$progid" "/reg:$view" && found+=("ProgID key ($view-bit)")
        key_exists "HKCR\\Interface\\$iid" "/reg:$view" && found+=("Interface key ($view-bit)")
        key_exists "HKCR\\TypeLib\\$libid" "/reg:$view" && found+=("TypeLib key ($view-bit)")
    done
    [ -n "$(uninstall_entries)" ] && found+=("Add/Remove Programs entry")
    key_exists 'HKLM\Software\Norvantic\Mappa' && found+=("the record of the install folder")
    [ ${#found[@]} -eq 0 ] || echo "${found[*]}"
}

# A script client creates the object, calls runMap 0 and reads Version. runMap hands
# the object to the map window: close the window as the user would, after which the
# copy of Mappa that COM started ends by itself.
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
}
