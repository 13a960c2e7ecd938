#!/usr/bin/env bash
# The release package's Authenticode signature, with a throwaway self-signed certificate: the packaged SetUp.exe is signed
# with SHA-256 at SOURCE_DATE_EPOCH, two signed runs give the same zip, a missing certificate fails the release, and
# without a certificate the release is built unsigned and says so.   signing_test.sh SETUP_EXE
set -euo pipefail
setup="$(realpath "$1")" release="$(dirname "$(realpath "$0")")/../../scripts/make-release.sh" name=Vortel-Setup-2026.8.5.0
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

echo "throwaway-$$" >"$work/password"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Vortel signing test" -addext keyUsage=digitalSignature \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout "file:$work/password" -out "$work/sign.pfx"
# release OUTPUT [VAR=VALUE...]: the release step with only the signing variables given; unpacked OUTPUT: its SetUp.exe.
release() {
  local output="$work/$1"; shift
  env -u VORTEL_SIGN_PFX -u VORTEL_SIGN_PASSWORD_FILE SOURCE_DATE_EPOCH=1785888000 "$@" "$release" "$setup" 2026.8.5.0 "$output" >"$output.log" 2>&1
}
unpacked() { unzip -q -o "$work/$1/$name.zip" "$name/SetUp.exe" -d "$work/$1/x" && echo "$work/$1/x/$name/SetUp.exe"; }
signing=(VORTEL_SIGN_PFX="$work/sign.pfx" VORTEL_SIGN_PASSWORD_FILE="$work/password")

release signed1 "${signing[@]}" && release signed2 "${signing[@]}" || fail "the signed release failed: $(cat "$work"/signed*.log)"
verify="$(osslsigncode verify -CAfile "$work/cert.pem" -in "$(unpacked signed1)" 2>&1)" || fail "the signed SetUp.exe does not verify: $verify"
grep -q '^Message digest algorithm *: SHA256' <<<"$verify" || fail "the signature's digest is not SHA-256"
grep -q 'Signing time: Aug  5 00:00:00 2026 GMT' <<<"$verify" || fail "the signing time is not SOURCE_DATE_EPOCH"
cmp -s "$work/signed1/$name.zip" "$work/signed2/$name.zip" || fail "two signed runs gave different zips"
(cd "$work/signed1" && sha256sum --quiet -c "$name.zip.sha256") || fail "the .sha256 is not of the signed zip"
release missing VORTEL_SIGN_PFX="$work/none.pfx" VORTEL_SIGN_PASSWORD_FILE="$work/password" && fail "a missing certificate did not fail"
release unsigned || fail "the unsigned release failed: $(cat "$work/unsigned.log")"
grep -q 'not signed' "$work/unsigned.log" || fail "the unsigned release does not say it is unsigned"
osslsigncode verify -in "$(unpacked unsigned)" >/dev/null 2>&1 && fail "the unsigned release carries a signature"
[ "$failures" -eq 0 ] && echo "release signing: all checks passed" || { echo "$failures check(s) failed"; exit 1; }
