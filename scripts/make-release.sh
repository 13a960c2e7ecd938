#!/usr/bin/env bash
# Assembles the distributable package: SetUp.exe beside the vendor's "Data" folder, zipped,
# with a SHA-256 checksum file beside the zip. Without a Data folder, the demo package's is used.
# The packaged SetUp.exe is signed by sign-release.sh when a certificate is configured (see there).
#   make-release.sh SETUP_EXE VERSION OUTPUT_FOLDER [DATA_FOLDER]
# The zip is the same bytes for the same inputs: its entries are sorted and stamped with the
# package's own date, and carry no extra file attributes.
set -euo pipefail
setup="$1"
version="$2"
output="$3"
data="${4:-}"

name="Vortel-Setup-$version"
stage="$output/$name"
rm -rf "$stage" "$output/$name.zip" "$output/$name.zip.sha256"
mkdir -p "$stage"

if [ -z "$data" ]; then
  demo="$(mktemp -d)"
  trap 'rm -rf "$demo"' EXIT
  "$(dirname "$0")/make-demo-package.sh" "$demo" "$setup"
  data="$demo/Data"
fi
[ -d "$data" ] || { echo "no Data folder at $data" >&2; exit 1; }

cp "$setup" "$stage/SetUp.exe"
"$(dirname "$0")/sign-release.sh" "$stage/SetUp.exe" || { rm -rf "$stage"; exit 1; }
cp -r "$data" "$stage/Data"
IFS=. read -r year month day _ <<<"$version"
stamp="$(printf '%04d%02d%02d0000' "$year" "$month" "$day")"
find "$stage" -exec touch -t "$stamp" {} +

(cd "$output" && find "$name" | LC_ALL=C sort | zip -q -X -D -@ "$name.zip")
(cd "$output" && sha256sum "$name.zip" >"$name.zip.sha256")
echo "release package: $output/$name.zip"
cat "$output/$name.zip.sha256"
