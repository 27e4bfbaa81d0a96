#!/usr/bin/env bash
# What the packages carry, and how the signing scripts answer what they are given:
# - the stripped and signed executables and both signed packages of this build verify
#   against the test certificate, with SHA-256; the executables are stripped, smaller
#   than the built ones, and keep what the hardening test checks;
# - without a certificate the executables are staged stripped and unsigned;
# - a certificate and key (the key with a password) sign;
# - a certificate given in part, both kinds at once, a wrong password, an unreachable
#   time-stamp server: each fails, leaving no executable to be packaged.
#
#   signing-test.sh BUILT_MAPPA_EXE STAGED_DIR MAPPA_MSI SETUP_EXE CA_CERT WORK_DIR
set -uo pipefail

[ $# -eq 6 ] || { echo "usage: $0 BUILT_MAPPA_EXE STAGED_DIR MAPPA_MSI SETUP_EXE CA_CERT WORK_DIR" >&2; exit 2; }
built_exe=$1 staged=$2 msi=$3 setup=$4 ca=$5 work=$6
built_checker=$(dirname "$built_exe")/mappa-check.exe
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
stage="$root/installer/stage-programs"
check_pe="$root/tests/hardening/check-pe.py"
unset SIGN_PKCS12 SIGN_CERT SIGN_KEY SIGN_PASSWORD_FILE SIGN_TIMESTAMP_URL

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok:   $1"; }
fail() { failed=$((failed + 1)); echo "FAIL: $1"; }

# A valid Authenticode signature by the test certificate, with a SHA-256 digest.
verify() {
    local output
    output=$(osslsigncode verify -CAfile "$ca" -in "$1" 2>&1) &&
        grep -q '^Message digest algorithm *: SHA256' <<<"$output" && grep -q '^Succeeded' <<<"$output"
}
signed() { osslsigncode extract-signature -in "$1" -out /dev/null >/dev/null 2>&1; }

# --- What this build's packages carry -----------------------------------------------
for file in "$staged/Mappa.exe" "$staged/mappa-check.exe" "$msi" "$setup"; do
    if verify "$file"; then pass "$(basename "$file"): signature verifies (SHA-256)"
    else fail "$(basename "$file"): $(osslsigncode verify -CAfile "$ca" -in "$file" 2>&1 | tail -n 3 | tr '\n' ' ')"; fi
done
if output=$(python3 "$check_pe" --stripped "$staged/Mappa.exe" "$staged/mappa-check.exe"); then
    pass "the staged executables are stripped and keep ASLR, DEP and their relocations"
else fail "staged executables: $output"; fi
for pair in "$built_exe:$staged/Mappa.exe" "$built_checker:$staged/mappa-check.exe"; do
    whole=$(stat -c %s "${pair%%:*}") stripped=$(stat -c %s "${pair#*:}")
    if [ "$stripped" -lt "$whole" ]; then
        pass "$(basename "${pair#*:}"): $stripped bytes packaged, $whole built ($((100 * stripped / whole)) %)"
    else fail "$(basename "${pair#*:}"): $stripped bytes packaged, not fewer than the $whole built"; fi
done

# --- The scripts, given a certificate or not ---------------------------------------
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
openssl req -x509 -newkey rsa:2048 -days 3650 -subj "/CN=Mappa signing test" -addext extendedKeyUsage=codeSigning \
    -passout pass:secret -keyout key.pem -out cert.pem 2>/dev/null || { echo "openssl cannot make a certificate" >&2; exit 1; }
echo secret >password.txt
echo wrong >wrong.txt

if "$stage" "$built_exe" unsigned >/dev/null 2>stderr.txt && ! signed unsigned/Mappa.exe && ! signed unsigned/mappa-check.exe &&
    python3 "$check_pe" --stripped unsigned/Mappa.exe unsigned/mappa-check.exe >/dev/null; then
    pass "no certificate: stripped and unsigned ($(head -n 1 stderr.txt))"
else fail "no certificate: exit code or signature wrong ($(cat stderr.txt))"; fi

if SIGN_CERT=cert.pem SIGN_KEY=key.pem SIGN_PASSWORD_FILE=password.txt "$stage" "$built_exe" pem >/dev/null 2>stderr.txt &&
    ca=cert.pem verify pem/Mappa.exe && ca=cert.pem verify pem/mappa-check.exe; then
    pass "SIGN_CERT and SIGN_KEY with the key's password in SIGN_PASSWORD_FILE: both executables signed"
else fail "SIGN_CERT and SIGN_KEY: $(cat stderr.txt)"; fi

# As `make package` gives them, relative to where it runs: the setup program's
# uninstaller is signed elsewhere (from makensis's folder), by the same certificate.
openssl pkcs12 -export -in cert.pem -inkey key.pem -passin pass:secret -passout pass:secret -out cert.p12 2>/dev/null
if SIGN_PKCS12=cert.p12 SIGN_PASSWORD_FILE=password.txt "$root/installer/make-installer" pem/Mappa.exe -o Mappa-relative.exe \
        >/dev/null 2>stderr.txt && ca=cert.pem verify Mappa-relative.exe; then
    pass "SIGN_PKCS12 and SIGN_PASSWORD_FILE as relative paths: the setup program and its uninstaller signed"
else fail "SIGN_PKCS12 relative: $(tail -n 3 stderr.txt | tr '\n' ' ')"; fi

# Each of these must fail and leave nothing in its folder.
refused() {
    local description=$1 folder=$2
    shift 2
    if env "$@" "$stage" "$built_exe" "$folder" >/dev/null 2>stderr.txt; then
        fail "$description: accepted"
    elif [ -n "$(ls -A "$folder" 2>/dev/null)" ]; then
        fail "$description: failed, but left $(ls -A "$folder" | tr '\n' ' ')"
    else pass "$description: refused ($(grep -m 1 'sign-file' stderr.txt || head -n 1 stderr.txt))"; fi
}
refused "SIGN_CERT without SIGN_KEY" half SIGN_CERT=cert.pem
refused "SIGN_KEY without SIGN_CERT" half SIGN_KEY=key.pem
refused "SIGN_PKCS12 with SIGN_CERT and SIGN_KEY" both SIGN_PKCS12=cert.pem SIGN_CERT=cert.pem SIGN_KEY=key.pem
refused "a certificate file that is not there" missing SIGN_CERT=absent.pem SIGN_KEY=key.pem
refused "a time-stamp server without a certificate" stamp-only SIGN_TIMESTAMP_URL=http://127.0.0.1:9/
refused "the wrong password" wrong SIGN_CERT=cert.pem SIGN_KEY=key.pem SIGN_PASSWORD_FILE=wrong.txt
# Nothing listens on the discard port: no signature without the time-stamp asked for.
refused "a time-stamp server that does not answer" unstamped SIGN_CERT=cert.pem SIGN_KEY=key.pem \
    SIGN_PASSWORD_FILE=password.txt SIGN_TIMESTAMP_URL=http://127.0.0.1:9/

echo "package_signing: $passed passed, $failed failed"
[ $failed -eq 0 ]
