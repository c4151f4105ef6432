#!/usr/bin/env bash
# Runs window_driver on hydrant-calc.exe in the private Wine prefix at one DPI, and turns the
# driver's screenshot into a PNG.
#   window_test.sh WINE_SCRIPT WINE_DIR DRIVER APP DPI [PNG]
set -euo pipefail
wine=$1 dir=$2 driver=$3 app=$4 dpi=$5 png=${6:-}
if [ "$dpi" != 96 ]; then
  "$wine" dpi "$dir" "$dpi"
  trap '"$wine" dpi "$dir" 96' EXIT
fi
bmp=${png%.png}.bmp
# Windows paths for the driver: Wine maps the Linux root to Z:.
"$wine" run "$dir" "$driver" "Z:$app" "$dpi" ${png:+"Z:$bmp"}
if [ -n "$png" ]; then
  for shot in "${png%.png}" "${png%.png}-system"; do
    convert "$shot.bmp" "$shot.png"
    rm -f "$shot.bmp"
    echo "screenshot: $shot.png"
  done
fi
