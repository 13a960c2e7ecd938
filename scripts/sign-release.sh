#!/usr/bin/env bash
# Signs the setup program with Authenticode (SHA-256 digest), in place:
#   sign-release.sh EXE
# The certificate is the PKCS#12 file VORTEL_SIGN_PFX, its password the text of the file
# VORTEL_SIGN_PASSWORD_FILE (give both as absolute paths: the release target runs in the build
# folder). With neither set the program stays unsigned and one line says so; with only one set,
# a file missing, or a signature that fails, this fails, so that a release meant to be signed never
# ships unsigned. The signing time is SOURCE_DATE_EPOCH when set (no time-stamp server is asked),
# so that signing the same program twice gives the same bytes; otherwise it is the current time.
set -euo pipefail
exe="$1"
pfx="${VORTEL_SIGN_PFX:-}"
password="${VORTEL_SIGN_PASSWORD_FILE:-}"

if [ -z "$pfx" ] && [ -z "$password" ]; then
  echo "$(basename "$exe") is not signed: set VORTEL_SIGN_PFX and VORTEL_SIGN_PASSWORD_FILE to sign it"
  exit 0
fi
fail() { echo "sign-release.sh: $*" >&2; exit 1; }
[ -n "$pfx" ] || fail "VORTEL_SIGN_PASSWORD_FILE is set but VORTEL_SIGN_PFX is not"
[ -n "$password" ] || fail "VORTEL_SIGN_PFX is set but VORTEL_SIGN_PASSWORD_FILE is not"
[ -f "$pfx" ] || fail "no certificate at VORTEL_SIGN_PFX=$pfx"
[ -f "$password" ] || fail "no password file at VORTEL_SIGN_PASSWORD_FILE=$password"
command -v osslsigncode >/dev/null || fail "osslsigncode is not installed (scripts/install-deps.sh)"

when=()
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  [[ "$SOURCE_DATE_EPOCH" =~ ^[0-9]+$ ]] || fail "SOURCE_DATE_EPOCH is not a number of seconds"
  when=(-time "$SOURCE_DATE_EPOCH")
fi

signed="$exe.signed"
trap 'rm -f "$signed"' EXIT
osslsigncode sign -pkcs12 "$pfx" -readpass "$password" -h sha256 "${when[@]}" \
  -in "$exe" -out "$signed" >/dev/null || fail "signing $exe failed"
chmod --reference="$exe" "$signed"
mv -f "$signed" "$exe"
echo "signed $(basename "$exe") with the certificate in $pfx"
