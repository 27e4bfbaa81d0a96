#!/usr/bin/env bash
# Both packages on a machine that has never seen Mappa, in one fresh Wine prefix of
# the test's own: first the Windows Installer package, then the setup program. Each
# installs silently without running Mappa, writes the same registry entries as
# `Mappa.exe /RegServer`, serves a script client, is upgraded in place by a newer
# package and leaves nothing of Mappa after a silent uninstall. The setup program
# must also stop on its own, with a non-zero exit code and nothing left, when its
# registration cannot be written.
#
#   installer-test.sh MAPPA_MSI SETUP_EXE PACKAGED_MAPPA_EXE PROBE_EXE PREFIX_DIR CA_CERT
#
# PACKAGED_MAPPA_EXE is the stripped, signed Mappa.exe that the packages carry
# (mappa-check.exe beside it); CA_CERT the certificate that signed them: the installed
# programs and the uninstaller must carry its signature and still run.
# PROBE_EXE is tests/installer/InstallerProbe.exe. PREFIX_DIR is made anew (and
# removed again when every check passes); the prefix has its own wineserver, stopped
# at the end. Needs an X display (DISPLAY, or Xvfb here).
set -uo pipefail

[ $# -eq 6 ] || { echo "usage: $0 MAPPA_MSI SETUP_EXE PACKAGED_MAPPA_EXE PROBE_EXE PREFIX_DIR CA_CERT" >&2; exit 2; }
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

test_started=$SECONDS
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
msi_package=$1
setup=$2
built_exe=$3
probe=$4
prefix=$5
ca_cert=$6
for file in "$msi_package" "$setup" "$built_exe" "$probe" "$ca_cert"; do
    [ -f "$file" ] || { echo "installer: $file is missing" >&2; exit 1; }
done
built_checker=$(dirname "$built_exe")/mappa-check.exe

export WINEPREFIX=$prefix
# No Mono or Gecko prompts; and no menu entries on this machine for the shortcuts
# that the packages create (winemenubuilder would write .desktop files into $HOME).
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
# Every Wine call is bounded (a message box in a silent run would wait for ever) and
# closes the run lock's descriptor, so that the prefix's wineserver does not hold it.
wine() { timeout 120 "$root/tools/wine-run" "$@" 8>&-; }

source "$(dirname "${BASH_SOURCE[0]}")/installer-checks.sh"
source "$root/installer/package-inputs.sh"

# Packages of a newer version for the upgrades, built while the prefix is made.
file_version=$(package_file_version "$built_exe")
IFS=. read -r major minor build revision <<<"$file_version"
newer_version=$major.$minor.$((build + 1)).$revision
newer=$(mktemp -d)
"$root/installer/make-msi" --version "$newer_version" "$built_exe" -o "$newer/Mappa-newer.msi" >/dev/null &
newer_msi_build=$!
"$root/installer/make-installer" --version "$newer_version" "$built_exe" -o "$newer/Mappa-newer-setup.exe" >/dev/null &
newer_setup_build=$!

# --- A fresh prefix ---------------------------------------------------------------
# Two test runs in one build tree (two people running ctest) take turns on the prefix.
exec 8>"$prefix.run-lock"
flock -w 240 8 || { echo "installer: $prefix is busy with another test run" >&2; exit 1; }
stop_server
trap 'stop_server; rm -rf "$newer"' EXIT
rm -rf "$prefix" "$prefix.lock"
prefix_started=$SECONDS
# Wine's first start in a new prefix has failed once, with no message, and passed
# when run again: one more try, in a prefix made anew.
if ! wine --prepare; then
    echo "installer: the first start in the new prefix failed; making it again" >&2
    stop_server
    rm -rf "$prefix" "$prefix.lock"
    wine --prepare || { echo "installer: cannot create the Wine prefix $prefix" >&2; exit 1; }
fi
echo "installer: fresh Wine prefix in $((SECONDS - prefix_started)) s"
write_scripts
cp "$msi_package" "$unix_work/Mappa.msi"
echo "installer: Mappa.exe is version $file_version; the upgrades are version $newer_version"

# === The Windows Installer package ================================================
msi_product_entry() { uninstall_entries | head -n 1; }

traced_run "$unix_work/msi-install.log" msiexec /i "$work\\Mappa.msi" /qn
status=$?
echo "installer: msiexec /i took $last_run_seconds s"
if [ $status -eq 0 ]; then pass "msiexec /i /qn installs (exit code 0)"
else fail "msiexec /i /qn (exit code $status)"; fi
check_no_mappa_run "$unix_work/msi-install.log" "msiexec /i"
check_files
check_signed_programs
check_shortcut
export_registration "$unix_work/msi.reg"

entries=$(uninstall_entries)
entry=$(msi_product_entry)
product_code=${entry##*\\}
problems=()
[ "$(printf '%s\n' "$entries" | grep -c .)" = 1 ] || problems+=("$(printf '%s\n' "$entries" | grep -c .) entries")
[ "$(reg_value "$entry" DisplayVersion)" = "$file_version" ] || problems+=("DisplayVersion (Mappa.exe: '$file_version')")
[ "$(reg_value "$entry" Publisher)" = Norvantic ] || problems+=(Publisher)
[ "$(reg_value "$entry" InstallLocation)" = "$install_dir\\" ] || problems+=(InstallLocation)
[ "$(reg_value "$entry" UninstallString)" = "MsiExec.exe /X$product_code" ] || problems+=(UninstallString)
if [ ${#problems[@]} -eq 0 ]; then pass "one Programs and Features entry $product_code, version $file_version, publisher, uninstall"
else fail "Programs and Features entry '$entry': wrong or missing ${problems[*]}"; fi

use_server "after msiexec /i"

# A newer package replaces the installed one where it is.
wait $newer_msi_build && cp "$newer/Mappa-newer.msi" "$unix_work/" || fail "cannot build the newer package"
traced_run "$unix_work/msi-upgrade.log" msiexec /i "$work\\Mappa-newer.msi" /qn
status=$?
echo "installer: the upgrade took $last_run_seconds s"
check_no_mappa_run "$unix_work/msi-upgrade.log" "the upgrade"
entries=$(uninstall_entries)
entry=$(msi_product_entry)
export_registration "$unix_work/msi-upgraded.reg"
problems=()
[ $status -eq 0 ] || problems+=("exit code $status")
[ "$(printf '%s\n' "$entries" | grep -c .)" = 1 ] || problems+=("entries: $(printf '%s ' $entries)")
[ "$(reg_value "$entry" DisplayVersion)" = "$newer_version" ] || problems+=("DisplayVersion $(reg_value "$entry" DisplayVersion)")
[ "$entry" != "$uninstall_root\\$product_code" ] || problems+=("the old product is still there")
[ -f "$unix_install_dir/Mappa.exe" ] && [ -f "$unix_install_dir/mappa-check.exe" ] || problems+=("files gone")
cmp -s "$unix_work/msi.reg" "$unix_work/msi-upgraded.reg" || problems+=("registry entries changed")
if [ ${#problems[@]} -eq 0 ]; then pass "version $newer_version upgrades in place: one entry, files and registration kept"
else fail "upgrade with msiexec /i /qn: ${problems[*]}"; fi

# And the older one refuses to replace the newer one.
wine msiexec /i "$work\\Mappa.msi" /qn >/dev/null 2>&1
status=$?
if [ $status -ne 0 ] && [ "$(reg_value "$(msi_product_entry)" DisplayVersion)" = "$newer_version" ]; then
    pass "the older package refuses to install over the newer one (exit code $status)"
else fail "the older package over the newer one: exit code $status, installed $(reg_value "$(msi_product_entry)" DisplayVersion)"; fi

wine msiexec /x "$work\\Mappa-newer.msi" /qn >/dev/null 2>&1
status=$?
left=$(leftovers)
if [ $status -eq 0 ] && [ -z "$left" ]; then pass "msiexec /x /qn leaves no file, no shortcut, no class, ProgID, interface, type library or mappa: key, no entry"
else fail "msiexec /x /qn: exit code $status, left: ${left:-nothing}"; fi

# Another folder given at installation: the server is registered there, an upgrade
# keeps the folder, and the removal empties it.
custom_dir='C:\Mappa Apps\Mappa'
unix_custom_dir=$prefix/drive_c/Mappa\ Apps/Mappa
wine msiexec /i "$work\\Mappa.msi" /qn "INSTALLDIR=$custom_dir" >/dev/null 2>&1
first_status=$?
wine msiexec /i "$work\\Mappa-newer.msi" /qn >/dev/null 2>&1
status=$?
server=$(reg_value "HKCR\\CLSID\\$clsid\\LocalServer32" "")
office_map_server=$(reg_value "HKCR\\CLSID\\$office_map_clsid\\LocalServer32" "")
link_command=$(reg_value 'HKCR\mappa\shell\open\command' "")
problems=()
[ $first_status -eq 0 ] && [ $status -eq 0 ] || problems+=("exit codes $first_status, $status")
[ "$server" = "\"$custom_dir\\Mappa.exe\"" ] || problems+=("LocalServer32 is '$server'")
[ "$office_map_server" = "$server" ] || problems+=("the office map's LocalServer32 is '$office_map_server'")
[ "$link_command" = "\"$custom_dir\\Mappa.exe\" /link \"%1\"" ] || problems+=("the mappa: command is '$link_command'")
[ "$(reg_value "$(msi_product_entry)" DisplayVersion)" = "$newer_version" ] || problems+=("not upgraded")
[ ! -e "$unix_install_dir" ] || problems+=("$install_dir made")
wine msiexec /x "$work\\Mappa-newer.msi" /qn >/dev/null 2>&1
left=$(leftovers)
[ ! -e "$unix_custom_dir" ] || left+=" $custom_dir ($(ls -A "$unix_custom_dir" | tr '\n' ' '))"
[ -z "$left" ] || problems+=("left after msiexec /x: $left")
if [ ${#problems[@]} -eq 0 ]; then pass "INSTALLDIR=\"$custom_dir\": the server registered there, kept by the upgrade, removed"
else fail "INSTALLDIR=\"$custom_dir\": ${problems[*]}"; fi
rm -rf "$prefix/drive_c/Mappa Apps"

# --- What Mappa.exe /RegServer writes, for the comparison ---------------------------
# In the same folder of the same prefix, now clean again, so that the paths are the same.
mkdir -p "$unix_install_dir"
cp "$built_exe" "$unix_install_dir/Mappa.exe"
wine "$install_dir\\Mappa.exe" /RegServer >/dev/null 2>&1
status=$?
export_registration "$unix_work/regserver.reg"
check_regserver_path
wine "$install_dir\\Mappa.exe" /UnRegServer >/dev/null 2>&1
rm -rf "$unix_install_dir"
left=$(leftovers)
[ $status -eq 0 ] && [ -z "$left" ] || fail "Mappa.exe /RegServer for the comparison: exit code $status, left afterwards: ${left:-nothing}"
compare_registration "$unix_work/msi.reg" "the Windows Installer package"

# === The setup program ============================================================
# A registration that cannot be written: the class key is volatile, so its
# LocalServer32 key cannot be created. The setup must end by itself, well within
# the guard, with a non-zero exit code, and take back what it had done.
wine "$probe" block "CLSID\\$clsid" || fail "cannot block the class key"
started=$SECONDS
timeout 60 "$root/tools/wine-run" "$setup" /S 8>&-
status=$?
left=$(leftovers)
if [ $status -ne 0 ] && [ $status -ne 124 ] && [ -z "$left" ]; then
    pass "a registration that cannot be written stops /S by itself in $((SECONDS - started)) s (exit code $status), nothing left"
else fail "a registration that cannot be written: exit code $status (124: still waiting after 60 s), left: ${left:-nothing}"; fi
wine reg delete "HKCR\\CLSID\\$clsid" /f >/dev/null 2>&1

traced_run "$unix_work/setup-install.log" "$setup" /S
status=$?
echo "installer: setup /S took $last_run_seconds s"
if [ $status -eq 0 ]; then pass "setup /S installs (exit code 0)"
else fail "setup /S (exit code $status)"; fi
check_no_mappa_run "$unix_work/setup-install.log" "setup /S"
check_files Uninstall.exe
check_signed_programs Uninstall.exe
check_shortcut
export_registration "$unix_work/setup.reg"
compare_registration "$unix_work/setup.reg" "the setup program"

problems=()
[ "$(uninstall_entries)" = "$uninstall_root\\Mappa" ] || problems+=("entries: $(uninstall_entries | tr '\n' ' ')")
[ "$(reg_value "$nsis_entry" DisplayVersion)" = "$file_version" ] || problems+=("DisplayVersion (Mappa.exe: '$file_version')")
[ "$(reg_value "$nsis_entry" Publisher)" = Norvantic ] || problems+=(Publisher)
[ "$(reg_value "$nsis_entry" InstallLocation)" = "$install_dir" ] || problems+=(InstallLocation)
[ "$(reg_value "$nsis_entry" UninstallString)" = "\"$install_dir\\Uninstall.exe\"" ] || problems+=(UninstallString)
[ "$(reg_value "$nsis_entry" QuietUninstallString)" = "\"$install_dir\\Uninstall.exe\" /S" ] || problems+=(QuietUninstallString)
[ "$(reg_value "$nsis_entry" NoModify)" = 0x1 ] || problems+=(NoModify)
[ "$(reg_value "$nsis_entry" NoRepair)" = 0x1 ] || problems+=(NoRepair)
if [ ${#problems[@]} -eq 0 ]; then pass "one Add/Remove Programs entry, version $file_version"
else fail "Add/Remove Programs entry: wrong or missing ${problems[*]}"; fi

use_server "after setup /S"

wait $newer_setup_build && cp "$newer/Mappa-newer-setup.exe" "$unix_work/" || fail "cannot build the newer setup program"
wine "$work\\Mappa-newer-setup.exe" /S >/dev/null 2>&1
status=$?
problems=()
[ $status -eq 0 ] || problems+=("exit code $status")
[ "$(uninstall_entries)" = "$uninstall_root\\Mappa" ] || problems+=("entries: $(uninstall_entries | tr '\n' ' ')")
[ "$(reg_value "$nsis_entry" DisplayVersion)" = "$newer_version" ] || problems+=("DisplayVersion $(reg_value "$nsis_entry" DisplayVersion)")
export_registration "$unix_work/setup-upgraded.reg"
cmp -s "$unix_work/setup.reg" "$unix_work/setup-upgraded.reg" || problems+=("registry entries changed")
if [ ${#problems[@]} -eq 0 ]; then pass "version $newer_version upgrades in place: one entry, registration kept"
else fail "upgrade with setup /S: ${problems[*]}"; fi

# As Add/Remove Programs does it (QuietUninstallString): the uninstaller copies itself
# to %TEMP%, starts the copy and returns at once; the copy does the work. Wait for it.
uninstall_setup() {
    wine "$install_dir\\Uninstall.exe" /S
    local status=$?
    for _ in $(seq 1 80); do
        [ -e "$unix_install_dir/Uninstall.exe" ] || break
        sleep 0.25
    done
    wait_for_no_process '_?=' >/dev/null
    return $status
}
uninstall_setup
status=$?
left=$(leftovers)
if [ $status -eq 0 ] && [ -z "$left" ]; then pass "Uninstall.exe /S leaves no file, no shortcut, no class, ProgID, interface, type library or mappa: key, no entry"
else fail "Uninstall.exe /S: exit code $status, left: ${left:-nothing}"; fi

# The uninstaller removes only what it installed.
wine "$setup" /S >/dev/null 2>&1
echo "kept by the user" >"$unix_install_dir/notes.txt"
uninstall_setup
left=$(ls -A "$unix_install_dir" 2>/dev/null | tr '\n' ' ')
others=$(leftovers --except-folder)
if [ "$left" = "notes.txt " ] && [ -z "$others" ]; then
    pass "the uninstaller keeps a file it did not install, and the folder with it"
else fail "with a file of the user's in $install_dir: left '$left' there, and ${others:-nothing else}"; fi
rm -rf "$unix_install_dir"

stop_server
rm -rf "$newer"
trap - EXIT
if [ $failed -eq 0 ]; then
    rm -rf "$prefix" "$prefix.lock"
else
    echo "installer: the Wine prefix is kept for a look: $prefix"
fi
echo "installer: $passed passed, $failed failed in $((SECONDS - test_started)) s"
[ $failed -eq 0 ]
