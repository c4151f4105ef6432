#!/usr/bin/env bash
# The Windows installer under Wine, the way a user meets it: silent install, the installed
# command line on the window's initial entries, silent uninstall, and nothing left behind
# (files, Start-menu and desktop shortcuts, the Apps & Features entry).
#
#   scripts/installer-check.sh SETUP.exe WINE_DIR WINDOW.exe CLI.exe
#
# WINE_DIR is the private prefix of scripts/wine-prefix.sh (set up here if it is not yet).
# WINDOW.exe and CLI.exe are the built programs the installer must have put in place.
set -euo pipefail
[ $# -eq 4 ] || { sed -n '2,9p' "$0" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
setup=$(realpath "$1")
wine_dir=$(mkdir -p "$2" && cd "$2" && pwd)
window_exe=$3
cli_exe=$4
version=$(basename "$setup" | sed -n 's/^hydrant-calc-\(.*\)-setup\.exe$/\1/p')
[ -n "$version" ] || { echo "installer-check: cannot read the version from $setup" >&2; exit 2; }
started=$(date +%s%N)

[ -f "$wine_dir/prefix/.hydrant-ready" ] || bash "$here/wine-prefix.sh" setup "$wine_dir"
drive_c=$wine_dir/prefix/drive_c
folder="$drive_c/Program Files/Tavrel小工具"
win_folder='C:\Program Files\Tavrel小工具'
shortcuts=("$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tavrel小工具.lnk"
           "$drive_c/users/Public/Desktop/Tavrel小工具.lnk")
key='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\hydrant-calc'
log=$wine_dir/installer-check.log
: >"$log"

fail() { echo "installer-check: $*" >&2; exit 1; }
# Every Wine call is bounded in time. The (un)installer starts helper processes that would
# hold an inherited stdout open, so those calls get quiet streams and write to the log.
wine_run() { timeout 60 bash "$here/wine-prefix.sh" run "$wine_dir" "$@"; }
wine_quiet() { wine_run "$@" </dev/null >>"$log" 2>&1; }
key_exists() { wine_quiet reg query "$key" /reg:64; }
# Waits up to 30 s for a condition; the uninstaller returns before its copy in %TEMP% ends.
wait_for() {
  for _ in $(seq 300); do "$@" && return 0; sleep 0.1; done
  return 1
}
folder_gone() { [ ! -e "$folder" ]; }

# A run that failed half-way must not decide this one.
if [ -e "$folder" ] || key_exists; then
  rm -rf "$folder" "${shortcuts[@]}"
  wine_quiet reg delete "$key" /reg:64 /f || true
fi

# Install.
wine_quiet "$setup" /S || fail "the silent install ended with status $? (log: $log)"
cmp -s "$folder/hydrant-calc.exe" "$window_exe" || fail "hydrant-calc.exe is not the built program"
cmp -s "$folder/hydrant-calc-cli.exe" "$cli_exe" || fail "hydrant-calc-cli.exe is not the built program"
[ -f "$folder/uninstall.exe" ] || fail "no uninstall.exe"
for lnk in "${shortcuts[@]}"; do
  [ -f "$lnk" ] || fail "no shortcut $lnk"
  # The target path is stored in UTF-16: drop the zero bytes to find its ASCII tail.
  tr -d '\0' <"$lnk" | grep -aq 'hydrant-calc\.exe' || fail "$lnk does not start hydrant-calc.exe"
done

# The Apps & Features entry, exported by regedit as UTF-16 and compared line by line.
reg_file=$wine_dir/tmp/uninstall-key.reg
rm -f "$reg_file"
wine_quiet regedit /E "Z:${reg_file//\//\\}" "$key"
[ -f "$reg_file" ] || fail "no uninstall entry $key"
entry=$(iconv -f UTF-16 -t UTF-8 "$reg_file" | tr -d '\r')
wf=${win_folder//\\/\\\\}
expected_values=(
  '"DisplayName"="Tavrel小工具"'
  "\"DisplayVersion\"=\"$version\""
  '"Publisher"="hydrant-calc"'
  "\"DisplayIcon\"=\"$wf\\\\hydrant-calc.exe,0\""
  "\"InstallLocation\"=\"$wf\""
  "\"UninstallString\"=\"\\\"$wf\\\\uninstall.exe\\\"\""
  "\"QuietUninstallString\"=\"\\\"$wf\\\\uninstall.exe\\\" /S\""
  '"NoModify"=dword:00000001'
  '"NoRepair"=dword:00000001'
)
for line in "${expected_values[@]}"; do
  grep -qxF -- "$line" <<<"$entry" || { echo "$entry" >&2; fail "the uninstall entry lacks $line"; }
done
grep -qE '^"EstimatedSize"=dword:0*[1-9a-f][0-9a-f]*$' <<<"$entry" || fail "no EstimatedSize"

# The installed command line on the window's initial entries with a width of 10 m.
expected=$'消防栓口水压：  21.96(mH2o)\nTavrel出水量：  4.62(l/s)\n保护半径(m)     23.10\nTavrel间距(m)   20.82'
actual=$(wine_run "$win_folder\\hydrant-calc-cli.exe" --width 10 </dev/null 2>>"$log" | tr -d '\r' | head -n 4)
[ "$actual" = "$expected" ] || { echo "$actual" >&2; fail "the installed hydrant-calc-cli printed the above"; }
installed_ms=$((($(date +%s%N) - started) / 1000000))

# Uninstall, as Apps & Features' quiet string does, then wait for the relaunched copy.
wine_quiet "$win_folder\\uninstall.exe" /S || fail "the silent uninstall ended with status $?"
wait_for folder_gone || fail "the program folder is still there 30 s after the uninstall"
for lnk in "${shortcuts[@]}"; do
  [ ! -e "$lnk" ] || fail "the shortcut $lnk is left"
done
! key_exists || fail "the uninstall entry $key is left"

echo "installer-check: installed, ran and removed hydrant-calc $version cleanly" \
     "(install and checks $((installed_ms)) ms, all $((($(date +%s%N) - started) / 1000000)) ms)"
