#!/usr/bin/env bash
# Opens the calculator from a build folder: scripts/run.sh [BUILD]  (default: build).
# scripts/run.sh --check only tells whether there is a display, so that `make run` can say
# so before it installs and builds anything.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "hydrant-calc: no display (DISPLAY and WAYLAND_DISPLAY are unset); start it under a virtual one with: xvfb-run -a make run" >&2
  exit 1
fi
[ "${1:-}" = "--check" ] && exit 0

build=${1:-build}
case "$build" in /*) ;; *) build="$here/$build" ;; esac
exec "$build/app/hydrant-calc"
