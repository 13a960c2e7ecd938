#!/usr/bin/env bash
# Fails when a program imports a DLL that Windows does not always load from its system folder
# (a KnownDLL), or needs a MinGW runtime DLL beside it, or loads a window library as it starts
# (they are loaded by their first call: a run without a window never loads them). Prints the
# imports it found.
#   check-imports.sh PROGRAM.exe
set -euo pipefail
program="$1"
known_dlls="ADVAPI32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL SHELL32.DLL USER32.DLL"
delay_loaded="GDI32.DLL OLE32.DLL USER32.DLL"

imports="$(i686-w64-mingw32-objdump -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:lower:]' '[:upper:]' | sort -u)"
[ -n "$imports" ] || { echo "no import table read from $program"; exit 1; }
status=0
for dll in $imports; do
  case "$dll" in
    LIBGCC*|LIBSTDC++*|LIBWINPTHREAD*|MINGW*) echo "needs a MinGW runtime DLL: $dll"; status=1 ;;
  esac
  case " $delay_loaded " in
    *" $dll "*) echo "loads a window library as it starts: $dll"; status=1 ;;
  esac
  case " $known_dlls " in
    *" $dll "*) ;;
    *) echo "imports a DLL that can be planted beside it: $dll"; status=1 ;;
  esac
done
echo "imports:" $imports
exit "$status"
