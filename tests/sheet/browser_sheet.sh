#!/bin/bash
# The calculation sheet as a plan reviewer gets it: written by the command line, printed to
# PDF by headless Chromium with its default options (header and footer on), read back with
# pdftotext. The sheet's own page boxes must replace the browser's date, title and file path.
# Page 1 of the first case stays in the build folder as hydrant-calc-sheet-page1.png.
# Usage: browser_sheet.sh HYDRANT_CALC_CLI BUILD_DIR
set -euo pipefail
cli=$1
out=$2
. "$(dirname "$0")/../browser_print.sh"

# print NAME ARGS...: the sheet for ARGS as $out/NAME.pdf, printed by print_pdf.
print() {
  local name=$1
  shift
  html=$out/$name.html
  pdf=$out/$name.pdf
  rm -f "$html"
  "$cli" --report "$html" --date 2026年12月6日 "$@"
  print_pdf "$name" "$html" "$pdf" 3
  text_inside "$name" "$pdf" 18 16
  last_page_full "$name" "$pdf" "$pages"
  for bad in NaN nan undefined Tavrel; do
    if grep -qw -- "$bad" <<<"$text"; then fail "$name: $bad on the printed sheet"; fi
  done
}

hostile='<script>x</script>&'
print hydrant-calc-sheet --width 10 --project "$hostile" --designer '张<b>三' \
  --project-number P-01 --subproject 地下室 --stage 施工图 --sheet-number JS-01 --revision A
# The run's numbers (φ, B, H_q, q, h_d, H_xh in m and MPa, R, S), the design check's
# (candidate A 0.220 MPa, design point 25.37 m / 0.254 MPa from 5 L/s, S_k,act 11.4 m) and
# the design radius from 10 m with its spacing.
for number in 0.00967 1.576 13.55 4.62 6.41 21.96 0.220 23.10 20.82 \
  0.254 25.37 25.00 15.87 7.51 11.4; do
  grep -qF -- "$number" <<<"$text" || fail "$number missing from the printed sheet"
done
for word in 室内消火栓水力计算书 工程编号 P-01 地下室 施工图 JS-01 计算程序 校对 审核 审定 \
  计算依据 输入参数 计算简图 计算过程 规范校核 设计工况 结论 设计保护半径 \
  7.4.12-2 7.4.10-1 3.5.2 水枪 充实水柱; do
  grep -qF -- "$word" <<<"$text" || fail "$word missing from the printed sheet"
done
# The typed texts print as typed, so they were escaped, and never reach the page as markup.
grep -qF -- "$hostile" <<<"$text" || fail "project name not printed as typed"
grep -qF -- '张<b>三' <<<"$text" || fail "designer not printed as typed"
if grep -qF -e '<script>x' -e '张<b>三' "$html"; then fail "unescaped < from an entry in the HTML"; fi
if grep -qiE 'src=|href=|@import|url\(' "$html"; then fail "external resource in the HTML"; fi
pdftoppm -png -r 100 -f 1 -l 1 -singlefile "$pdf" "$out/hydrant-calc-sheet-page1"
first=$pages

# The longest sheets: every check with a sentence, one stream, a given pressure or flow.
print sheet-long --width 30 --streams 1 --occupancy high --nozzle 13 --water-column 7 --hose-length 30
print sheet-pressure --pressure 0.8 --width 10 --streams 1 --occupancy high
grep -qF "单支水枪出水量为 9.13 L/s" <<<"$text" || fail "unreduced pressure not named"
print sheet-flow --flow 5 --width 10 --occupancy high --min-flow 2.5 --nozzle 13
# The widest step table: a given flow through a lined hose, its S_k solved (one value, 11.4 m).
print sheet-wide --flow 5 --occupancy other --nozzle 19 --material 衬胶 --hose-diameter 65 \
  --hose-length 20 --water-column 10
grep -qF "= 11.4 m" <<<"$text" || fail "S_k of the given flow not 11.4 m"

echo "sheet: $first A4 pages; page 1 in $out/hydrant-calc-sheet-page1.png"
