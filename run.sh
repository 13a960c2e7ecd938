#!/usr/bin/env bash
# The setup program on a demo machine. Installs what the build needs, builds SetUp.exe, lays
# out a demo installation package and a private Wine prefix that holds two sample AutoCAD
# installations and one AutoCAD user profile, and starts SetUp.exe there:
#   - on $DISPLAY when one is set, for you to work with (the command ends with the program);
#   - otherwise under a private Xvfb, where it installs as a user would: it saves a screenshot
#     of the dialog, presses the install button, saves a screenshot of the closing message over
#     the finished dialog, answers it, and prints what the install left in the demo machine.
# Everything stays in build/demo/ (made anew on each run) for you to look at afterwards.
#   ./run.sh --silent   installs as a deployment tool would instead: SetUp.exe /VERYSILENT with
#                       no display at all; prints its exit code, its install log and what it left.
#   ./run.sh --uninstall  installs that way, then runs the uninstall as a user does, from the
#                       Uninstall.exe the install left (on $DISPLAY, or under a private Xvfb where
#                       its messages are printed and the confirmation is answered Yes), waits for
#                       the copy that finishes the removal, lets Windows start anew, and prints
#                       what is left.
#   ./run.sh [...] --scale 150   any of these with the display scaled as Windows scales it (the
#                       prefix's LogPixels: 144 DPI here); a private Xvfb grows with the scale.
set -euo pipefail
cd "$(dirname "$0")"
mode=dialog scale=100
usage() { echo "usage: ./run.sh [--silent | --uninstall] [--scale PERCENT]   (PERCENT from 100 to 400)" >&2; exit 2; }
while [ $# -gt 0 ]; do
  case "$1" in
    --silent|--uninstall) mode="$1" ;;
    --scale) [[ "${2:-}" =~ ^[1-4][0-9][0-9]$ ]] && [ "$2" -le 400 ] || usage; scale="$2"; shift ;;
    *) usage ;;
  esac
  shift
done

demo="$PWD/build/demo"
package="$demo/package"
screenshot="$demo/setup-dialog.png"
finished="$demo/setup-finished.png"
driver=build/windows/demo/setup_driver.exe
caption="V-结构工具箱安装"

./scripts/install-deps.sh
echo "== building SetUp.exe"
cmake --preset windows >/dev/null
cmake --build --preset windows --target SetUp setup_driver

export WINEPREFIX="$demo/wine" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
[ -d "$WINEPREFIX" ] && wineserver -k >/dev/null 2>&1 || true
rm -rf "$demo"

echo "== laying out the demo package in $package"
scripts/make-demo-package.sh "$package" build/windows/SetUp.exe

headless=
if [ -z "${DISPLAY:-}" ] && [ "$mode" != --silent ]; then
  headless=1
  source scripts/wine-session.sh
  start_private_display "$((1280 * scale / 100))x$((1024 * scale / 100))"
fi
stop_demo() {
  if [ -n "$headless" ]; then
    wineserver -k >/dev/null 2>&1 || true
    kill "$VORTEL_XVFB_PID" >/dev/null 2>&1 || true
  fi
}
trap stop_demo EXIT

echo "== making the Wine prefix $WINEPREFIX"
wineboot -i >/dev/null 2>&1
dpi=$((96 * scale / 100))
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
echo "   the display at $scale % ($dpi DPI)"

# Two AutoCAD installations, written into the registry view that the 32-bit SetUp.exe reads
# (/reg:32). In a 64-bit prefix, as on 64-bit Windows, that program sees this view under both
# of its roots, SOFTWARE\Autodesk\AutoCAD and SOFTWARE\Wow6432Node\Autodesk\AutoCAD, so the
# 2008 installation is found under both and the 2016 one under the native root only.
acad_folders=()
add_installation() {
  local key="HKLM\\SOFTWARE\\Autodesk\\AutoCAD\\$1" folder="$2" name="$3" unix_folder
  wine reg add "$key" /v AcadLocation /d "$folder" /reg:32 /f >/dev/null
  wine reg add "$key" /v ProductName /d "$name" /reg:32 /f >/dev/null
  unix_folder="$(realpath -m "$(winepath -u "$folder")")"
  mkdir -p "$unix_folder/Fonts" "$unix_folder/Drv"
  printf 'AutoCAD sample: a font of the demo installation.\r\n' >"$unix_folder/Fonts/txt.shx"
  printf 'AutoCAD sample: the plot driver of the demo installation.\r\n' >"$unix_folder/Drv/pdfplot9.hdi"
  acad_folders+=("$unix_folder")
  echo "   $name: $key, folder $unix_folder"
}
echo "== seeding two AutoCAD installations"
add_installation 'R17.1\ACAD-6001:804' 'C:\Program Files (x86)\AutoCAD 2008' 'AutoCAD 2008 - 简体中文 (Simplified Chinese)'
add_installation 'R20.1\ACAD-F001:804' 'C:\Program Files\Autodesk\AutoCAD 2016' 'AutoCAD 2016 - 简体中文 (Simplified Chinese)'
# The user's AutoCAD 2008 profile, which trusts one folder already; the install adds its own.
profile='HKCU\Software\Autodesk\AutoCAD\R17.1\ACAD-6001:804\Profiles\<<未命名配置>>'
wine reg add "$profile\Variables" /v TRUSTEDPATHS /d 'C:\Program Files (x86)\AutoCAD 2008\Support' /f >/dev/null
echo "   one AutoCAD 2008 profile of the user: $profile"

cat <<INFO
== demo
   package:      $package  (SetUp.exe beside Data/)
   Wine prefix:  $WINEPREFIX  (drive C: is $WINEPREFIX/drive_c)
   look at the registry afterwards with:  WINEPREFIX="$WINEPREFIX" wine regedit
INFO

# Windows programs write their texts in the code page of the Chinese system (GBK), with CR LF.
from_windows_text() { iconv -f GBK -t UTF-8 | tr -d '\r'; }

# Saves a picture of the screen where the setup dialog stands (with any message over it).
screenshot_of_dialog() {
  local window geometry
  window="$(xwininfo -root -tree | awk -v caption="\"$caption\":" '$2 == caption { print $1; exit }')"
  geometry="$(xwininfo -id "$window" | awk '
    /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /Width:/ { w = $NF } /Height:/ { h = $NF } END { printf "%dx%d+%d+%d", w, h, x, y }')"
  import -window root -crop "$geometry" +repage "$1"
}

# What the install left in the demo machine: files, loader entries and trusted paths.
print_install() {
  local folder file
  echo "== the installation folder C:\\Vortel\\V-Trelmox"
  (cd "$WINEPREFIX/drive_c/Vortel/V-Trelmox" && find . -type f | sed 's|^\./|   |' | sort)
  for folder in "${acad_folders[@]}"; do
    echo "== $folder: Fonts and Drv"
    for file in "$folder"/Fonts/* "$folder"/Drv/*; do
      printf '   %-22s %s\n' "${file#"$folder"/}" "$(head -n 1 "$file" | tr -d '\r')"
    done
  done
  echo "== loader entries below HKLM\\SOFTWARE\\Autodesk\\AutoCAD (the 32-bit view)"
  wine reg query 'HKLM\SOFTWARE\Autodesk\AutoCAD' /s /reg:32 | from_windows_text |
    grep -E 'Applications\\|LOADER|LOADCTRLS' | sed 's/^/   /'
  echo "== trusted paths of the user's AutoCAD profiles"
  wine reg query 'HKCU\Software\Autodesk\AutoCAD' /s | from_windows_text |
    grep -E '\\Variables$|TRUSTEDPATHS' | sed 's/^/   /'
}

# The uninstall from the Uninstall.exe the install left, as a user runs it; a copy of it in the
# temporary folder finishes the removal, Windows starts anew (that copy is deleted then) and what
# is left is printed.
uninstall_demo() {
  local maintenance="$WINEPREFIX/drive_c/Vortel/V-Trelmox/Uninstall.exe" status=0
  echo "== the entry in Programs and Features"
  wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\VortelStructureToolbox' /reg:32 |
    from_windows_text | sed -n 's/^    /   /p'
  if [ -z "$headless" ]; then
    echo "== starting Uninstall.exe on $DISPLAY; the command goes on when it has ended"
    wine "$maintenance" || status=$?
  else
    echo "== starting Uninstall.exe under a private Xvfb ($DISPLAY)"
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
    wine "$maintenance" &
    local uninstall_pid=$!
    echo "   it asks, and is answered Yes:"
    wine "$driver" uninstall-box | from_windows_text | sed 's/^/   /'
    echo "   it ends with:"
    wine "$driver" uninstall-box | from_windows_text | sed 's/^/   /'
    wait "$uninstall_pid" || status=$?
  fi
  echo "   exit code: $status"
  echo "== a copy of it in the temporary folder finishes the removal once Uninstall.exe has ended"
  local tries
  for tries in $(seq 600); do [ -e "$maintenance" ] || break; sleep 0.1; done
  echo "== Windows starts anew (the copy in the temporary folder is deleted then)"
  wineboot -r >/dev/null 2>&1
  echo "== what is left"
  echo "   below C:\\Vortel: $(cd "$WINEPREFIX/drive_c/Vortel" 2>/dev/null && find . -mindepth 1 | sed 's|^\./||' | tr '\n' ' ')"
  echo "      (the installation folder stays empty: other users' AutoCAD may still trust it)"
  for folder in "${acad_folders[@]}"; do
    echo "   $folder: $(cd "$folder" && find Fonts -type f | sort | tr '\n' ' ')(the fonts stay)"
    echo "      Drv/pdfplot9.hdi: $(head -n 1 "$folder/Drv/pdfplot9.hdi" | tr -d '\r')"
  done
  echo "   loader entries: $(wine reg query 'HKLM\SOFTWARE\Autodesk\AutoCAD' /s /reg:32 | grep -c 'Vortel' || true)"
  wine reg query 'HKCU\Software\Autodesk\AutoCAD' /s | from_windows_text | grep -E 'TRUSTEDPATHS' | sed 's/^/   /'
}

if [ "$mode" != dialog ]; then
  echo "== SetUp.exe /VERYSILENT /LOG=\"C:\\setup.log\", as a deployment tool runs it, with no display"
  printf '@"%s" /VERYSILENT /LOG="C:\\setup.log"\r\n@exit /b %%errorlevel%%\r\n' "$(winepath -w "$package/SetUp.exe")" \
    >"$WINEPREFIX/drive_c/silent.bat"
  status=0
  (unset DISPLAY; wine cmd /c 'C:\silent.bat' 2>/dev/null) || status=$?
  echo "   exit code: $status"
  echo "== its install log, C:\\setup.log"
  tr -d '\r' <"$WINEPREFIX/drive_c/setup.log" | sed '1s/^\xEF\xBB\xBF//; s/^/   /'
  print_install
  [ "$mode" == --silent ] && exit 0
  uninstall_demo
  exit 0
fi

if [ -z "$headless" ]; then
  echo "== starting SetUp.exe on $DISPLAY; the command ends when you close it"
  wine "$package/SetUp.exe"
  exit 0
fi

echo "== starting SetUp.exe under a private Xvfb ($DISPLAY)"
# Without a window manager Wine draws the frames itself and closes windows at once.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
wine "$package/SetUp.exe" &
setup_pid=$!
wine "$driver" wait
sleep 1
screenshot_of_dialog "$screenshot"
echo "   screenshot of the dialog: $screenshot"
echo "== pressing the install button; the closing message says:"
wine "$driver" install | from_windows_text | sed 's/^/   /'
sleep 1
screenshot_of_dialog "$finished"
echo "   screenshot of the closing message over the finished dialog: $finished"
wine "$driver" answer
wait "$setup_pid"
echo "== the message was answered and SetUp.exe has ended"
print_install
