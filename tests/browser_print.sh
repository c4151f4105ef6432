# Sourced by the browser tests (the sheet, the system sheet, the manual): a scratch folder
# removed on exit, fail, and the printout a designer gets from a browser.

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# print_pdf NAME HTML PDF MAX_PAGES: HTML printed to PDF by headless Chromium with its default
# print options (header and footer on), a fresh profile and no network, so the page must need
# nothing but itself. Sets $text (pdftotext -layout) and $pages. Fails on a Chromium error, more
# than MAX_PAGES pages, a page size other than A4, a page without its own "第 X 页 共 Y 页", or
# the browser's header or footer (the file's address, the date and time) on a page.
print_pdf() {
  local name=$1 html=$2 pdf=$3 max=$4 info p
  rm -f "$pdf"
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$(mktemp -d -p "$work")" --print-to-pdf="$pdf" \
    "file://$(realpath "$html")" >"$work/chromium.log" 2>&1 ||
    { cat "$work/chromium.log"; fail "$name: chromium"; }
  [ -s "$pdf" ] || fail "$name: no PDF"
  if grep -E ':(ERROR|FATAL):' "$work/chromium.log" | grep -viE 'dbus|bus\.cc|gpu|gles|viz|sandbox'; then
    fail "$name: chromium reported the errors above"
  fi
  text=$(pdftotext -layout "$pdf" -)
  info=$(pdfinfo "$pdf")
  pages=$(awk '/^Pages:/ {print $2}' <<<"$info")
  [ "$pages" -ge 1 ] && [ "$pages" -le "$max" ] || fail "$name: $pages pages, at most $max expected"
  grep -qE '^Page size: +59[45](\.[0-9]+)? x 84[12](\.[0-9]+)? pts \(A4\)' <<<"$info" ||
    fail "$name: not A4: $(grep '^Page size' <<<"$info")"
  for p in $(seq 1 "$pages"); do
    grep -qE "第 ?$p ?页 ?共 ?$pages ?页" <<<"$text" || fail "$name: no page number $p of $pages"
  done
  if grep -qE 'file:|[0-9]+/[0-9]+/[0-9]+, *[0-9]+:[0-9]+' <<<"$text"; then
    fail "$name: browser header or footer on the page"
  fi
}

# text_inside NAME PDF LEFT_MM RIGHT_MM: every word of the PDF (pdftotext -bbox) lies within the
# page's printable width, so no cell's text runs past the table or off the paper.
text_inside() {
  local name=$1 pdf=$2 left=$3 right=$4 out
  out=$(pdftotext -bbox "$pdf" - | awk -v l="$left" -v r="$right" '
    /<page / { match($0, /width="[0-9.]+"/); w = substr($0, RSTART + 7, RLENGTH - 8) + 0 }
    /<word / {
      match($0, /xMin="[0-9.]+"/); x0 = substr($0, RSTART + 6, RLENGTH - 7) + 0
      match($0, /xMax="[0-9.]+"/); x1 = substr($0, RSTART + 6, RLENGTH - 7) + 0
      if (x0 < l * 72 / 25.4 - 1 || x1 > w - r * 72 / 25.4 + 1) { sub(/^ */, ""); print }
    }' | head -5)
  [ -z "$out" ] || fail "$name: text outside the page's printable width: $out"
}

# last_page_full NAME PDF PAGES: the last page holds at least 8 lines besides its running
# header and page number.
last_page_full() {
  local name=$1 pdf=$2 pages=$3 lines
  lines=$(pdftotext -layout -f "$pages" -l "$pages" "$pdf" - | grep -cv '^[[:space:]]*$')
  [ $((lines - 2)) -ge 8 ] || fail "$name: only $((lines - 2)) lines on the last page"
}
