# Sourced by test.sh and run.sh: a private Xvfb display and a private folder of Wine prefixes
# for this run, both removed when the script exits.

# start_private_display [WIDTHxHEIGHT]: the screen is 1280x1024 unless given.
start_private_display() {
  local number size="${1:-1280x1024}"
  for number in $(seq 90 140); do
    if [ ! -e "/tmp/.X${number}-lock" ] && [ ! -e "/tmp/.X11-unix/X${number}" ]; then
      Xvfb ":${number}" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
      VORTEL_XVFB_PID=$!
      export DISPLAY=":${number}"
      for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
      done
      echo "Xvfb did not start on :${number}" >&2
      return 1
    fi
  done
  echo "no free X display number" >&2
  return 1
}

start_wine_session() {
  export VORTEL_WINE_ROOT
  VORTEL_WINE_ROOT="$(mktemp -d "${TMPDIR:-/tmp}/vortel-wine.XXXXXX")"
  trap stop_wine_session EXIT
}

stop_wine_session() {
  local prefix
  for prefix in "$VORTEL_WINE_ROOT"/win*; do
    [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  done
  [ -n "${VORTEL_XVFB_PID:-}" ] && kill "$VORTEL_XVFB_PID" >/dev/null 2>&1 || true
  [ -n "${VORTEL_KEEP_WINE_ROOT:-}" ] || rm -rf "$VORTEL_WINE_ROOT"
}
