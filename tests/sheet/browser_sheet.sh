#!/bin/bash
# The example's calculation sheet as a plan reviewer gets it: written by the command line,
# printed to PDF by headless Chromium, read back with pdftotext. Page 1 stays in the build
# folder as hydrant-calc-sheet-page1.png for a look by eye.
# Usage: browser_sheet.sh HYDRANT_CALC_CLI BUILD_DIR
set -euo pipefail
cli=$1
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

html=$out/hydrant-calc-sheet.html
pdf=$out/hydrant-calc-sheet.pdf
rm -f "$html" "$pdf"
hostile='<script>x</script>&'
"$cli" --width 10 --report "$html" --project "$hostile" --designer '张<b>三' --date 2026年12月6日

# A fresh profile and no network: the sheet must need nothing but itself.
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$work/profile" --no-pdf-header-footer --print-to-pdf="$pdf" \
  "file://$html" >"$work/chromium.log" 2>&1 || { cat "$work/chromium.log"; fail "chromium"; }
[ -s "$pdf" ] || fail "no PDF"

text=$(pdftotext -layout "$pdf" -)
# The run's numbers (φ, B, H_q, q, h_d, H_xh in m and MPa, R, S) and the design check's
# (candidate A 0.220 MPa, design point 25.37 m / 0.254 MPa from 5 l/s, S_k,act 11.4 m).
for number in 0.0097 1.576 13.55 4.62 6.41 21.96 0.2196 23.10 20.82 \
  0.220 0.254 25.37 25.00 15.87 7.51 11.4; do
  grep -qF -- "$number" <<<"$text" || fail "$number missing from the printed sheet"
done
for word in 室内消火栓水力计算书 工程信息 计算依据 输入参数 计算过程 规范校核 设计工况 结论 \
  7.4.12-2 7.4.10-1 3.5.2; do
  grep -qF -- "$word" <<<"$text" || fail "$word missing from the printed sheet"
done
for bad in NaN nan undefined; do
  if grep -qw -- "$bad" <<<"$text"; then fail "$bad on the printed sheet"; fi
done
# The typed texts print as typed, so they were escaped, and never reach the page as markup.
grep -qF -- "$hostile" <<<"$text" || fail "project name not printed as typed"
grep -qF -- '张<b>三' <<<"$text" || fail "designer not printed as typed"
if grep -qF -e '<script>x' -e '张<b>三' "$html"; then fail "unescaped < from an entry in the HTML"; fi
if grep -qiE 'src=|href=|@import|url\(' "$html"; then fail "external resource in the HTML"; fi

info=$(pdfinfo "$pdf")
pages=$(awk '/^Pages:/ {print $2}' <<<"$info")
[ "$pages" -ge 1 ] && [ "$pages" -le 2 ] || fail "$pages pages, at most 2 expected"
grep -qE "第 ?1 ?页 ?共 ?$pages ?页" <<<"$text" || fail "no page numbers"
grep -qE '^Page size: +59[45](\.[0-9]+)? x 84[12](\.[0-9]+)? pts \(A4\)' <<<"$info" ||
  fail "not A4: $(grep '^Page size' <<<"$info")"

pdftoppm -png -r 100 -f 1 -l 1 -singlefile "$pdf" "$out/hydrant-calc-sheet-page1"
echo "sheet: $pages A4 pages; page 1 in $out/hydrant-calc-sheet-page1.png"
