#!/usr/bin/env bash
# Installs the Debian packages that building and testing the setup program need.
# Idempotent: does nothing when everything is already present.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libbenchmark-dev libxxhash-dev
  g++-mingw-w64-i686 mingw-w64 binutils-mingw-w64-i686
  wine wine32:i386 wine64 fonts-wine python3
  xvfb xauth x11-utils imagemagick fonts-wqy-microhei locales
  clang libclang-rt-14-dev zip osslsigncode openssl
)

run_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    run_as_root dpkg --add-architecture i386
  fi
  run_as_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive run_as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  run_as_root sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | run_as_root tee -a /etc/locale.gen >/dev/null
  run_as_root locale-gen >/dev/null
fi
