#!/usr/bin/env bash
# Builds the .deb, checks it with lintian and the desktop entry with desktop-file-validate,
# installs it, checks the installed programs, and removes it again.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/hydrant-calc_*.deb | head -n 1)
echo "Package: $deb"
dpkg-deb -I "$deb" | grep -E '^ (Package|Version|Depends|Maintainer):'
dpkg-deb -c "$deb" | awk '{print $6}'

# Any error or warning at lintian's default level fails the check.
lintian --fail-on error,warning "$deb" 2> >(grep -v 'running with root privileges' >&2)
echo "lintian: no error, no warning"
desktop-file-validate packaging/hydrant-calc.desktop
echo "desktop-file-validate: ok"

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "./$deb" >/dev/null
trap 'apt-get remove -y -qq hydrant-calc >/dev/null' EXIT

# The command-line program on the window's initial entries.
expected=$'消防栓口水压：  21.96(mH2o)\nTavrel出水量：  4.62(l/s)\n保护半径(m)     23.10\nTavrel间距(m)   20.82'
actual=$(/usr/bin/hydrant-calc-cli --width 10 | head -n 4)
if [ "$actual" != "$expected" ]; then
  echo "installed hydrant-calc-cli printed:"; echo "$actual"; exit 1
fi
echo "installed hydrant-calc-cli: ok"

# The window on the offscreen platform: it must still be running (in its event loop) after
# three seconds and end with status 0 when asked to close.
QT_QPA_PLATFORM=offscreen /usr/bin/hydrant-calc &
pid=$!
sleep 3
kill -0 "$pid" || { echo "hydrant-calc exited early"; wait "$pid"; exit 1; }
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "hydrant-calc ended with status $status"; exit 1; }
echo "installed hydrant-calc: reached its event loop and closed cleanly"

for f in /usr/share/applications/hydrant-calc.desktop /usr/share/icons/hicolor/48x48/apps/hydrant-calc.png \
  /usr/share/doc/hydrant-calc/hydrant-calc-manual.html; do
  [ -f "$f" ] || { echo "missing $f"; exit 1; }
done
