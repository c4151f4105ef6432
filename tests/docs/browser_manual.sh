#!/bin/bash
# The user manual as a designer prints it: every section is there, the page stands alone
# (no script, nothing fetched), and headless Chromium prints it on A4 without an error.
# Usage: browser_manual.sh MANUAL.html BUILD_DIR
set -euo pipefail
html=$(realpath "$1")
out=$2
. "$(dirname "$0")/../browser_print.sh"

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
# Links only within the page; no script, style sheet, picture or font from elsewhere: the
# screenshots are in the page itself.
if grep -qiE '<script|<link|<iframe|@import|url\(' "$html"; then fail "external resource"; fi
if grep -oiE 'src="[^"]{0,22}' "$html" | grep -qv '^src="data:image/png;base64,'; then
  fail "a picture from elsewhere"
fi
if grep -oE 'href="[^"]*"' "$html" | grep -qv 'href="#'; then fail "a link that leaves the page"; fi
grep -o 'href="#[^"]*"' "$html" | sed 's/href="#\(.*\)"/\1/' | sort -u | while read -r id; do
  grep -q "id=\"$id\"" "$html" || fail "link to #$id, which is not in the page"
done

pdf=$out/hydrant-calc-manual.pdf
print_pdf manual "$html" "$pdf" 20
for s in "${sections[@]}"; do
  grep -qF -- "$s" <<<"$text" || fail "“$s” missing from the printout"
done
# The batch example's long lines break at commas only: each column name stays whole.
header=$(sed -n 's/<wbr>//g; s/^<pre class="long csv">\(id,governedBy[^<]*\)$/\1/p' "$html")
[ -n "$header" ] || fail "no batch example"
for column in ${header//,/ }; do
  grep -qw -- "$column" <<<"$text" || fail "“$column” broken in the printed batch example"
done
echo "manual: ${#sections[@]} sections on $pages A4 pages ($pdf)"
