#!/usr/bin/env bash
# Runs window_driver on hydrant-calc.exe in the private Wine prefix at one DPI, and turns the
# driver's screenshots (the window, the system form's two pages, the menu) into PNGs.
#   window_test.sh WINE_SCRIPT WINE_DIR DRIVER APP DPI [PNG [MENU_PNG]]
set -euo pipefail
wine=$1 dir=$2 driver=$3 app=$4 dpi=$5 png=${6:-} menu_png=${7:-}
if [ "$dpi" != 96 ]; then
  "$wine" dpi "$dir" "$dpi"
  trap '"$wine" dpi "$dir" 96' EXIT
fi
bmp=${png%.png}.bmp system_bmp=${png%.png}-system.bmp menu_bmp=${menu_png%.png}.bmp
# Windows paths for the driver: Wine maps the Linux root to Z:.
"$wine" run "$dir" "$driver" "Z:$app" "$dpi" ${png:+"Z:$bmp" "Z:$system_bmp"} \
  ${menu_png:+"Z:$menu_bmp"}
for shot in ${png:+"$png"} ${png:+"${png%.png}-system.png"} ${png:+"${png%.png}-system-2.png"} \
  ${menu_png:+"$menu_png"}; do
  convert "${shot%.png}.bmp" "$shot"
  rm -f "${shot%.png}.bmp"
  echo "screenshot: $shot"
done
