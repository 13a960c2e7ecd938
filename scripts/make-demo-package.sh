#!/usr/bin/env bash
# Lays out a demo installation package: SetUp.exe beside a "Data" folder of sample files, each
# of which says that it is a sample.
#   scripts/make-demo-package.sh PACKAGE-FOLDER PATH-OF-SetUp.exe
set -euo pipefail

package="$1"
setup="$2"
data="$package/Data"
library="$data/Vortel扩展绘图库"

sample() {
  printf 'Vortel setup demo: a sample %s named "%s", not the real file.\r\n' "$2" "$(basename "$1")" >"$1"
}

mkdir -p "$library"
cp "$setup" "$package/SetUp.exe"
# The loader modules, one per group of AutoCAD releases.
for year in 2008 2009 2010 2013 2015 2017 2018 2019 2021 2025 2027; do
  sample "$data/Vortel$year.ARX" "AutoCAD application module"
done
sample "$data/Vortel_EN.shx" "shape font"
sample "$data/Vortel_HZ.shx" "shape font"
sample "$data/Vortel.prt5" "plot driver"
sample "$library/图框A3.dwg" "drawing"
sample "$library/钢筋符号.dwg" "drawing"
sample "$library/说明.txt" "note"
