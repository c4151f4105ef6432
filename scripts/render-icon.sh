#!/usr/bin/env bash
# Re-renders the program icon from packaging/icons/hydrant-calc.svg into the files committed
# beside it: hydrant-calc-<size>.png for the hicolor theme and the Qt window, and
# hydrant-calc.ico for the Windows resource and the installer. Run by hand after editing the
# SVG, then commit the results; the build only copies them.
#
#   scripts/render-icon.sh
#
# Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert.
set -euo pipefail
icons=$(cd "$(dirname "$0")/../packaging/icons" && pwd)
svg=$icons/hydrant-calc.svg
png_sizes=(16 24 32 48 64 128 256)
# The Windows icon: 32-bit images with alpha (Windows 7 and later), 256 px stored as PNG.
ico_sizes=(16 24 32 48 64 256)

for size in "${png_sizes[@]}"; do
  rsvg-convert --width "$size" --height "$size" "$svg" --output "$icons/hydrant-calc-$size.png"
done
# -strip keeps dates out of the embedded PNG, so the same SVG gives the same bytes.
ico_inputs=()
for size in "${ico_sizes[@]}"; do ico_inputs+=("$icons/hydrant-calc-$size.png"); done
convert "${ico_inputs[@]}" -strip "$icons/hydrant-calc.ico"
echo "render-icon: ${png_sizes[*]} px and hydrant-calc.ico in $icons"
