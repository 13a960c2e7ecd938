#!/usr/bin/env bash
# SetUp.exe under Wine, end to end, driven by the demo's driver; every text checked against GBK bytes made here.
#   e2e.sh SETUP.EXE SETUP_DRIVER.EXE DIALOG_MEASURE.EXE    (VORTEL_WINEARCH=win64, the default, or win32)
set -euo pipefail
source "$(dirname "$0")/../../cmake/wine-env.sh"
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "$@"  # room for the dialog at 200 %
setup="$1" driver="$2" measure="$3"
c="$WINEPREFIX/drive_c" scratch="$WINEPREFIX/drive_c/e2e"
installed="$c/Vortel/V-Trelmox" library="Vortel扩展绘图库"
failures=0

fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
expect() { [ "$2" == "$3" ] || fail "$1: $(printf '%q' "$2") instead of $(printf '%q' "$3")"; }
gbk() { printf '%s' "$1" | iconv -f UTF-8 -t GBK; }
sample() { mkdir -p "$(dirname "$1")"; printf '%s %s\0\377\\\r\n\032' "$2" "$(basename "$1")" >"$1"; }
same() { cmp -s "$1" "$2" || fail "$1 is not $2"; }
names() { (cd "$1" 2>/dev/null && find . -mindepth 1 -maxdepth 1 -printf '%f\n' | LC_ALL=C sort | tr '\n' ' '); }
# A registry value as reg.exe shows it in the 32-bit view: its type and data, or nothing.
value() { wine reg query "$1" /v "$2" /reg:32 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r' | sed -n "s/^    $2    //p" || true; }

# AutoCAD 2008 below the 32-bit root (which is the native one too in a 64-bit prefix), 2009,
# 2012 and 2016 below the native root, and 2019, which a package for 32 bits does not serve.
root32='SOFTWARE\Wow6432Node\Autodesk\AutoCAD'
[ "$WINEARCH" == win64 ] && root32='SOFTWARE\Autodesk\AutoCAD'
keys=("$root32\\R17.1\\ACAD-6001:804" 'SOFTWARE\Autodesk\AutoCAD\R17.2\ACAD-7001:804'
      'SOFTWARE\Autodesk\AutoCAD\R18.2\ACAD-A001:804' 'SOFTWARE\Autodesk\AutoCAD\R20.1\ACAD-F001:804'
      'SOFTWARE\Autodesk\AutoCAD\R23.0\ACAD-2001:804')
years=(2008 2009 2012 2016 2019) loaders=(2008 2009 2010 2015 "") served=(1 1 1 1 0)
profile='HKEY_CURRENT_USER\Software\Autodesk\AutoCAD\R17.1\ACAD-6001:804\Profiles\<<Unnamed Profile>>'
fresh='HKEY_CURRENT_USER\Software\Autodesk\AutoCAD\R20.1\ACAD-F001:804\Profiles\New'
entry='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\VortelStructureToolbox'
step='HKLM\SOFTWARE\Microsoft\Active Setup\Installed Components\VortelStructureToolbox'

clear_machine() {
  rm -rf "$scratch" "$c/Vortel"
  for key in 'HKLM\SOFTWARE\Wow6432Node\Autodesk' 'HKLM\SOFTWARE\Autodesk' 'HKCU\Software\Autodesk' "$entry" "$step"; do
    wine reg delete "$key" /f /reg:32 >/dev/null 2>&1 || true
  done
}
scale() { wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null; }  # in DPI
trap "clear_machine; scale 96; wineserver -k" EXIT  # and no process of the run left behind

# The package (SetUp.exe beside Data), the AutoCAD folders and the registry, made afresh.
lay_out() {
  clear_machine
  local data="$scratch/package/Data" seed="$scratch/seed.reg" n folder
  for name in Vortel2008.ARX Vortel2009.ARX Vortel2010.ARX Vortel2015.ARX Vortel.prt5 说明.txt 淺色.dat \
      Vortel_EN.shx Vortel_HZ.shx LICENSE setup.EXE "$library/图框A3.dwg" "$library/README" "$library/sub/x.dwg"; do
    sample "$data/$name" "Vortel's"
  done
  mkdir -p "$data/docs.v"
  cp "$setup" "$scratch/package/SetUp.exe"
  printf 'REGEDIT4\r\n\r\n' >"$seed"
  for n in "${!keys[@]}"; do
    folder="$scratch/AutoCAD ${years[n]}"
    for name in Fonts/txt.shx Fonts/Vortel_EN.shx Drv/pdfplot9.hdi; do sample "$folder/$name" "AutoCAD's"; done
    printf '[HKEY_LOCAL_MACHINE\\%s]\r\n"AcadLocation"="C:\\\\e2e\\\\AutoCAD %s\\\\"\r\n"ProductName"="%s"\r\n\r\n' \
      "${keys[n]}" "${years[n]}" "$(gbk "AutoCAD ${years[n]} - 简体中文")" >>"$seed"
  done
  printf '[%s\\Variables]\r\n"TRUSTEDPATHS"="C:\\\\Tools"\r\n\r\n[%s]\r\n"ProfileName"="New"\r\n' "$profile" "$fresh" >>"$seed"
  wine reg import "$(winepath -w "$seed")" /reg:32 >/dev/null 2>&1
}

# Waits until a condition holds, for at most a minute.
wait_for() { local tries; for tries in $(seq 600); do eval "$2" && return 0; sleep 0.1; done; fail "$1: not after a minute"; }
# Waits for the program started in the background to end; checks its exit status.
expect_end() { local status=0; wait "$setup_pid" || status=$?; expect "exit status" "$status" "$1"; }

# What an install into `folder` (below C:) left for the releases `served` (1 or 0 each): files, entries, fonts, lists.
expect_installed() {
  local folder="$1" served="$2" target="$c/${1:3}" n entry acad loader ctrls fonts
  target="${target//\\//}"
  expect "installation folder" "$(names "$target")" "Uninstall.dat Uninstall.exe Vortel.prt5 Vortel2008.ARX Vortel2009.ARX Vortel2010.ARX Vortel2015.ARX $library 淺色.dat 说明.txt "
  for name in Vortel2008.ARX Vortel2009.ARX Vortel2010.ARX Vortel2015.ARX Vortel.prt5 说明.txt 淺色.dat "$library/图框A3.dwg" "$library/README"; do
    same "$target/$name" "$scratch/package/Data/$name"
  done
  expect "library" "$(names "$target/$library")" "README 图框A3.dwg "
  for n in "${!keys[@]}"; do
    entry="HKLM\\${keys[n]}\\Applications\\Vortel${years[n]}" acad="$scratch/AutoCAD ${years[n]}" loader="" ctrls="" fonts=""
    [ "${served:n:1}" == 1 ] && loader="REG_SZ    $folder\\Vortel${loaders[n]}.ARX" ctrls="REG_DWORD    0x2" fonts="Vortel_HZ.shx "
    expect "${years[n]} LOADER" "$(value "$entry" LOADER)" "$loader"
    expect "${years[n]} LOADCTRLS" "$(value "$entry" LOADCTRLS)" "$ctrls"
    expect "${years[n]} fonts" "$(names "$acad/Fonts")" "Vortel_EN.shx ${fonts}txt.shx "
    [ "${served:n:1}" == 1 ] && same "$acad/Fonts/Vortel_EN.shx" "$scratch/package/Data/Vortel_EN.shx"
  done
  grep -q "AutoCAD's" "$scratch/AutoCAD 2009/Drv/pdfplot9.hdi" || fail "the driver went to 2009"
  if [ "${served:0:1}" == 1 ]; then same "$scratch/AutoCAD 2008/Drv/pdfplot9.hdi" "$scratch/package/Data/Vortel.prt5"; fi
  expect "trusted paths" "$(value "$profile\\Variables" TRUSTEDPATHS)" "REG_SZ    C:\\TOOLS;${folder^^}"
  expect "trusted paths of a new profile" "$(value "$fresh\\Variables" TRUSTEDPATHS)" "REG_SZ    $folder"
}
# Runs SetUp.exe from a batch file with no display, as a deployment tool does; expects the exit status given (which
# reaches Linux in its low 8 bits: 1618 as 82).
run_silent() { run_command "$1" "C:\\e2e\\package\\SetUp.exe $2"; }
run_command() {
  printf '@%s\r\n@exit /b %%errorlevel%%\r\n' "$2" >"$WINEPREFIX/run.bat"
  expect "exit status of $2" "$(unset DISPLAY; timeout 300 wine cmd /c "$(winepath -w "$WINEPREFIX/run.bat")" 2>/dev/null; echo $?)" "$(($1 % 256))"
}
# A command the program registered (a value in the 32-bit view), run as Windows would run it.
run_registered() { run_command "$1" "$(value "$2" "$3" | sed 's/^REG_SZ    //')"; }
# What the program may touch, as text: both views of HKLM\SOFTWARE, HKCU\Software, and every file below C: with its
# checksum (Wine's own and the temporary ones aside; not the fonts, which stay, nor the lists stored in capitals).
machine_state() {
  local view export="$WINEPREFIX/state.reg"
  for view in 32 64; do
    [ "$WINEARCH" == win32 ] && [ "$view" == 64 ] && continue
    wine reg export 'HKLM\SOFTWARE' "$(winepath -w "$export")" /reg:$view /y >/dev/null 2>&1
    iconv -f UTF-16 -t UTF-8 "$export"
  done
  wine reg export 'HKCU\Software' "$(winepath -w "$export")" /y >/dev/null 2>&1
  iconv -f UTF-16 -t UTF-8 "$export" | grep -v '"TRUSTEDPATHS"=' |  # Wine's own settings aside
    awk '/^\[/ { skip = index($0, "[HKEY_CURRENT_USER\\Software\\Wine") == 1 } !skip'
  (cd "$c" && find . \( -path ./windows -o -path './users/*/Temp' \) -prune -o -type f ! -path '*/Fonts/Vortel_*' -print0 |
     LC_ALL=C sort -z | xargs -0 md5sum)
}

echo "== the dialog installs every release found; the user's uninstall leaves the machine as it was, save the fonts"
lay_out
before="$(machine_state)"
timeout 300 wine "$scratch/package/SetUp.exe" >/dev/null 2>&1 & setup_pid=$!  # a run that hangs ends with status 124
wine "$driver" wait
message="$(wine "$driver" install | tr -d '\r')"
expect "closing message" "$message" "$(gbk $'V-工具箱安装\n安装完成，重启CAD即可使用 !')"
wine "$driver" answer >/dev/null
expect_end 0
expect_installed 'C:\Vortel\V-Trelmox' 11110
timeout 300 wine "$installed/Uninstall.exe" >/dev/null 2>&1 & setup_pid=$!
expect "confirmation" "$(wine "$driver" uninstall-box | tr -d '\r')" "$(gbk $'V-结构工具箱卸载\n确定要卸载结构工具箱软件吗？')"
expect "closing message" "$(wine "$driver" uninstall-box | tr -d '\r' | head -n 2)" "$(gbk $'V-结构工具箱卸载\n卸载完成 !')"
expect_end 0
wait_for "the maintenance copy gone" '[ ! -e "$installed/Uninstall.exe" ]'  # a copy in the temporary folder finishes
wine wineboot -r >/dev/null 2>&1  # Windows starts anew: that copy goes now
[ "$(machine_state)" == "$before" ] || fail "the machine is not as it was: $(diff <(echo "$before") <(machine_state) | head -n 20)"
expect "trusted paths" "$(value "$profile\\Variables" TRUSTEDPATHS)" "REG_SZ    C:\\TOOLS"

echo "== a package of 135 entries without its fonts: every file copied, and the dialog says what it could not do"
lay_out
rm "$scratch/package/Data/Vortel_EN.shx" "$scratch/package/Data/Vortel_HZ.shx"
for n in $(seq 120); do sample "$scratch/package/Data/more$n.dat" "Vortel's"; done
timeout 300 wine "$scratch/package/SetUp.exe" >/dev/null 2>&1 & setup_pid=$!
wine "$driver" wait
message="$(wine "$driver" install | tr -d '\r' | iconv -f GBK -t UTF-8)"
wine "$driver" answer >/dev/null
expect_end 9
expect "closing message" "$(head -n 4 <<<"$message")" $'V-工具箱安装\n安装完成，但以下各项未能完成：\n字体或打印驱动未能放入部分AutoCAD的文件夹'
log="$(sed -n 's/^详情请见日志：//p' <<<"$message")"
expect "the log it names" "$(tail -n 1 "$(winepath -u "$log" 2>/dev/null)" | tr -d '\r')" "outcome: finished with errors (exit code 9)"
expect "program files copied" "$(cd "$installed" && ls more*.dat | wc -l)" 120

echo "== no display, as administrators type it: one release into a folder given last, with spaces; the log; the per-user step"
lay_out
run_silent 0 '/VERYSILENT /SUPPRESSMSGBOXES /NORESTART /SP- /LOG="C:\e2e\logs\setup.log" /RELEASES=2008 /D=C:\e2e\T T'
expect_installed 'C:\e2e\T T\V-Trelmox' 10000
log="$scratch/logs/setup.log"
head -c 3 "$log" | cmp -s - <(printf '\357\273\277') || fail "the log has no byte-order mark"
grep -q "program file copied: .*淺色.dat" "$log" || fail "the log does not name what was copied"
grep -q "switch ignored: NORESTART" "$log" || fail "the log does not name the switch it ignored"
expect "the log's last line" "$(tail -n 1 "$log" | tr -d '\r')" "outcome: finished (exit code 0)"
later='HKEY_CURRENT_USER\Software\Autodesk\AutoCAD\R17.1\ACAD-6001:804\Profiles\Later\Variables'
wine reg add "$later" /v TRUSTEDPATHS /d 'D:\Blocks' /f >/dev/null
run_registered 0 "$step" StubPath
run_registered 0 "$step" StubPath
expect "trusted once" "$(value "$later" TRUSTEDPATHS)" 'REG_SZ    D:\BLOCKS;C:\E2E\T T\V-TRELMOX'

echo "== a silent install that fails after a good one: rolled back, the good one registered and removable"
target="$scratch/T T/V-Trelmox"
cp "$target/Vortel2008.ARX" "$scratch/installed.arx"
sample "$scratch/package/Data/Vortel2008.ARX" "a new version of"
sample "$scratch/package/Data/新文件.txt" "new"  # listed after the modules, it cannot be copied onto a folder
mkdir "$target/新文件.txt"
run_silent 4 '/S /RELEASES=2008'
same "$target/Vortel2008.ARX" "$scratch/installed.arx"
rmdir "$target/新文件.txt"
expect "the entry of the good one" "$(value "$entry" InstallLocation)" 'REG_SZ    C:\e2e\T T\V-Trelmox'

echo "== a journal tampered with, AutoCAD's driver repaired and a drawing edited, then the quiet uninstall"
sample "$scratch/victim.txt" "mine"
printf 'file\tC:\\e2e\\victim.txt\t1:00000000\r\n' >>"$target/Uninstall.dat"
sample "$scratch/AutoCAD 2008/Drv/pdfplot9.hdi" "AutoCAD's repaired"
printf 'edited' >>"$target/$library/图框A3.dwg"
run_registered 9 "$entry" QuietUninstallString
wait_for "the maintenance copy gone" '[ ! -e "$target/Uninstall.exe" ]'
expect "what stays" "$(names "$target")" "$library "
expect "the edited drawing stays" "$(names "$target/$library")" "图框A3.dwg "
expect "the driver and its copy stay" "$(names "$scratch/AutoCAD 2008/Drv")" "pdfplot9.hdi pdfplot9.hdi.vortel-backup "
grep -q "AutoCAD's repaired" "$scratch/AutoCAD 2008/Drv/pdfplot9.hdi" || fail "the repaired driver is gone"
[ -e "$scratch/victim.txt" ] || fail "a file the journal names outside the folder is gone"
expect "no entry" "$(value "$entry" DisplayName)" ""
run_silent 0 '/UNINSTALL /S /LOG="C:\e2e\logs\setup.log"'  # a log made anew over one there is no other run

echo "== one folder by its short name and its long one; a downgrade refused, then allowed, dropping a file"
lay_out
mkdir -p "$scratch/Long Folder Name"
short="$(wine cmd /c 'dir /x C:\e2e' 2>/dev/null | tr -d '\r' | awk '/ Long Folder Name$/ { print $(NF - 3) }')"
run_silent 0 "/S /RELEASES=2008 /DIR=C:\\e2e\\$short"
run_silent 0 '/S /RELEASES=2008 /D=C:\e2e\Long Folder Name'
target="$scratch/Long Folder Name/V-Trelmox"
expect "the entry's folder" "$(value "$entry" InstallLocation)" 'REG_SZ    C:\e2e\Long Folder Name\V-Trelmox'
[ -e "$target/Uninstall.exe" ] || fail "the second spelling removed the first one's files"
wine reg add "$entry" /v DisplayVersion /d 2099.1.1 /f /reg:32 >/dev/null 2>&1
run_silent 1638 '/S /RELEASES=2008'
rm "$scratch/package/Data/淺色.dat"
run_silent 0 '/S /RELEASES=2008 /ALLOWDOWNGRADE'
[ ! -e "$target/淺色.dat" ] || fail "the upgrade kept a file it no longer ships"
run_silent 0 '/UNINSTALL /S /DIR="C:\e2e\Long Folder Name\V-Trelmox"'
expect "what the uninstall leaves" "$(names "$target")" ""
expect "no entry" "$(value "$entry" DisplayName)" ""

echo "== AutoCAD running: a silent install asks to be run again later"
lay_out
cp "$driver" "$scratch/acad.exe"  # it waits for a setup dialog that does not come
wine "$scratch/acad.exe" wait >/dev/null 2>&1 &
wait_for "AutoCAD running" 'wine wmic process get name 2>/dev/null | iconv -f UTF-16 -t UTF-8 | grep -qi acad.exe'
run_silent 1618 '/S'
wine taskkill /f /im acad.exe >/dev/null 2>&1 || true

echo "== at 100, 150, 175 and 200 %: the logo and the title keep their share of the dialog's width; every text fits"
if [ "$WINEARCH" == win64 ]; then  # the same in either prefix
  lay_out
  declare -A measures  # "client width, logo width, title height" at each DPI
  for dpi in 96 144 168 192; do
    scale $dpi
    timeout 300 wine "$scratch/package/SetUp.exe" >/dev/null 2>&1 & setup_pid=$!
    wine "$driver" wait
    measures[$dpi]="$(wine "$measure" 2>&1 | tr -d '\r')" || fail "at $dpi DPI: ${measures[$dpi]}"
    expect_end 2
    awk -v base="${measures[96]}" -v at="${measures[$dpi]}" 'BEGIN { split(base, b); split(at, a)
      for (i = 2; i <= 3; i++) if (a[1] * b[i] == 0 || (r = a[i] / a[1] / (b[i] / b[1])) < 0.9 || r > 1.1) exit 1 }' ||
      fail "at $dpi DPI the dialog, its logo and title measure ${measures[$dpi]}; at 96 DPI ${measures[96]}"
  done
  scale 96
fi

[ "$failures" == 0 ] && echo "all passed" || { echo "$failures failed"; exit 1; }
