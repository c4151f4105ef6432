#!/bin/bash
# The system sheet of the example project as a plan reviewer gets it: written by the command
# line, printed to PDF by headless Chromium with its default options, read back with pdftotext; and a 60-storey
# version of the same project for the page count. Page 3 of the example stays in the build
# folder as hydrant-system-sheet-page3.png for a look by eye.
# Usage: browser_system_sheet.sh HYDRANT_CALC_CLI BUILD_DIR EXAMPLE_TOML
set -euo pipefail
cli=$1
out=$2
example=$3
. "$(dirname "$0")/../browser_print.sh"

# print NAME TOML MAX_PAGES: the sheet as $work/NAME.pdf, printed by print_pdf, as a plan reviewer
# prints it; its text also in $work/NAME.txt.
print() {
  local name=$1 toml=$2 max=$3
  "$cli" --system "$toml" --report "$work/$name.html" --date 2026年12月7日
  print_pdf "$name" "$work/$name.html" "$work/$name.pdf" "$max"
  text_inside "$name" "$work/$name.pdf" 18 16
  last_page_full "$name" "$work/$name.pdf" "$pages"
  printf '%s\n' "$text" >"$work/$name.txt"
  echo "$name: $pages A4 pages"
}

print office "$example" 6
text=$(cat "$work/office.txt")
# The pump head with 10.1.7 substituted, the working pressure, floor 1's static, zero-flow and
# dynamic pressure, its exact and made hole, floor 2's hole and pressure after it.
for number in "1.2×(6.434 + 1.287) + (68.60 − (-4.50)) + 35.00 = 117.37 m" "1.4×117.365" 168.31 \
  75.90 162.21 109.34 20.003 38.22 22.14 54.20 "164.311 − 0.15412"; do
  grep -qF -- "$number" <<<"$text" || fail "$number missing from the printed sheet"
done
grep -qE -- '^ *1 +1\.10 +75\.90 +162\.21 +109\.34 +必须减压 +20\.003 +21 +40\.17 +56\.00' <<<"$text" ||
  fail "floor 1's row missing"
for word in 系统计算简图 消防水池 消防水泵 高位水箱 立管 干管 10.3.1 6.2.1 5.2.2 应设稳压泵 经验值; do
  grep -qF -- "$word" <<<"$text" || fail "$word missing from the printed sheet"
done
for bad in NaN nan inf undefined; do
  if grep -qw -- "$bad" <<<"$text"; then fail "$bad on the printed sheet"; fi
done
if grep -qiE 'src=|href=|@import|url\(' "$work/office.html"; then fail "external resource in the HTML"; fi

# The residence's calculation book: the pool, the proposed P1, the equipment list.
print residence "$(dirname "$example")/residence-33f.toml" 9
text=$(cat "$work/residence.txt")
for word in "= 252.00 m³" "P1 = 0.18" 主要设备表 "2 台（1 用 1 备）" 条文待核 "0–4.0 MPa"; do
  grep -qF -- "$word" <<<"$text" || fail "$word missing from the residence's sheet"
done

# 60 storeys of 3.6 m with the tank raised to match.
heights=$(printf '5.1'; for _ in $(seq 58); do printf ', 3.6'; done)
sed -e 's/^floors = 18/floors = 60/' -e "s/^floor_heights = .*/floor_heights = [$heights]/" \
  -e 's/^lowest_level = 75.0/lowest_level = 225.0/' -e 's/^highest_level = 77.0/highest_level = 227.0/' \
  "$example" >"$work/tower.toml"
print tower "$work/tower.toml" 7
grep -qF "60F" "$work/tower.txt" || fail "the tower's top floor is not in the diagram"

# The example on four risers with a top ring: the plan of the ring and r*.
print ring "$(dirname "$example")/office-18f-ring.toml" 6
for word in 顶部环管 环状干管 "3 号 r*" 53.36; do
  grep -qF -- "$word" "$work/ring.txt" || fail "$word missing from the ring's printed sheet"
done
# 33 storeys of 2.9 m that must be zoned (6 pages), and the example with a stabiliser (5).
heights=$(printf '4.5'; for _ in $(seq 31); do printf ', 2.9'; done)
sed -e 's/^floors = 18/floors = 33/' -e "s/^floor_heights = .*/floor_heights = [$heights]/" \
  -e 's/^lowest_level = 75.0/lowest_level = 100.0/' -e 's/^highest_level = 77.0/highest_level = 101.5/' \
  "$example" >"$work/residence.toml"
print residence "$work/residence.toml" 6
grep -qF "应分区供水" "$work/residence.txt" || fail "the residence is not zoned"
sed -e 's/^# \[stabilizer\]/[stabilizer]/' -e 's/^# stop_pressure = 0.60 /stop_pressure = 0.95 /' \
  -e 's/^# elevation = -4.0 */elevation = -5.0/' "$example" >"$work/stabilizer.toml"
print stabilizer "$work/stabilizer.toml" 6
grep -qF "稳压泵停泵压力 0.95 MPa" "$work/stabilizer.txt" || fail "no 5.3.3 row"

pdftoppm -png -r 100 -f 3 -l 3 -singlefile "$work/office.pdf" "$out/hydrant-system-sheet-page3"
