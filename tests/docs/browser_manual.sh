#!/bin/bash
# The user manual as a designer prints it: every section is there, the page stands alone
# (no script, nothing fetched), and headless Chromium prints it on A4 without an error.
# Usage: browser_manual.sh MANUAL.html BUILD_DIR
set -euo pipefail
html=$(realpath "$1")
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The sections a reader looks for, each an <h2> of the page and a line of the printout.
sections=(
  "1 概述"
  "2 窗口计算与各输入项"
  "3 规范校核与结论"
  "4 计算书与打印为 PDF"
  "5 批量计算"
  "6 消火栓系统计算与项目文件"
  "7 计算公式与规范条文"
  "8 命令行简介"
  "9 安装、卸载与文件位置"
)
for s in "${sections[@]}"; do
  grep -qF -- ">$s</h2>" "$html" || fail "no section heading “$s” in the manual"
done
[ "$(grep -c '<h2' "$html")" -eq ${#sections[@]} ] || fail "a section heading not in this test's list"
# Links only within the page; no script, style sheet, picture or font from elsewhere.
if grep -qiE '<script|<link|<img|<iframe|src=|@import|url\(' "$html"; then fail "external resource"; fi
if grep -oE 'href="[^"]*"' "$html" | grep -qv 'href="#'; then fail "a link that leaves the page"; fi
grep -o 'href="#[^"]*"' "$html" | sed 's/href="#\(.*\)"/\1/' | sort -u | while read -r id; do
  grep -q "id=\"$id\"" "$html" || fail "link to #$id, which is not in the page"
done

pdf=$out/hydrant-calc-manual.pdf
rm -f "$pdf"
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$work/profile" --no-pdf-header-footer --print-to-pdf="$pdf" \
  "file://$html" >"$work/chromium.log" 2>&1 || { cat "$work/chromium.log"; fail "chromium"; }
[ -s "$pdf" ] || fail "no PDF"
if grep -E ':(ERROR|FATAL):' "$work/chromium.log" | grep -viE 'dbus|bus\.cc|gpu|gles|viz|sandbox'; then
  fail "chromium reported the errors above"
fi

text=$(pdftotext -layout "$pdf" -)
for s in "${sections[@]}"; do
  grep -qF -- "$s" <<<"$text" || fail "“$s” missing from the printout"
done
info=$(pdfinfo "$pdf")
pages=$(awk '/^Pages:/ {print $2}' <<<"$info")
grep -qE '^Page size: +59[45](\.[0-9]+)? x 84[12](\.[0-9]+)? pts \(A4\)' <<<"$info" ||
  fail "not A4: $(grep '^Page size' <<<"$info")"
grep -qE "第 ?$pages ?页 ?共 ?$pages ?页" <<<"$text" || fail "no page numbers"
echo "manual: ${#sections[@]} sections on $pages A4 pages ($pdf)"
