# Sourced by cmake/wine-run.sh and the Wine-side test scripts: the private Wine prefix of the
# tests, made on first use.
#   VORTEL_WINE_ROOT  folder that holds the prefixes (default: a folder under /tmp per user)
#   VORTEL_WINEARCH   win64 (default: what users of 64-bit Windows get) or win32
arch="${VORTEL_WINEARCH:-win64}"
root="${VORTEL_WINE_ROOT:-/tmp/vortel-wine-$(id -u)}"
mkdir -p "$root"

export WINEPREFIX="$root/$arch"
export WINEARCH="$arch"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8

prepare_prefix() {
  wineboot -i >/dev/null 2>&1
  # Close managed windows at once (no window manager under Xvfb) and let a crash end the program.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.vortel-ready"
}

(
  flock 9
  [ -f "$WINEPREFIX/.vortel-ready" ] || prepare_prefix
) 9>"$root/.$arch.lock"
