#!/usr/bin/env bash
# The Windows installer under Wine, the way a user meets it: silent install, the installed
# command line on the window's initial entries, the Start-menu shortcut started under a UTF-8
# and under a Chinese (GBK) locale, a silent re-install over the open window, a re-install
# into another folder (the first copy is removed, shortcuts follow), a re-install that keeps
# that folder, and the quiet uninstall string with the window open and its system form changed
# (the save question answered 否), which must return only when nothing is left (files,
# Start-menu and desktop shortcuts, the Apps & Features entry).
# Between them, unsaved work in the system form meets the setup at its copying: the program's
# save question answered 取消 keeps it running with its change, and the setup's 取消 (status 2)
# and a silent install (status 2) replace nothing; the setup's 重试 asks nothing twice, asks
# again once answered, and 否 lets the window close (status 0) and the install complete.
#
#   scripts/installer-check.sh SETUP.exe WINE_DIR WINDOW.exe CLI.exe MANUAL.html WAIT_WINDOW.exe
#
# WINE_DIR is the private prefix of scripts/wine-prefix.sh (set up here if it is not yet).
# WINDOW.exe, CLI.exe and MANUAL.html are what the installer must have put in place;
# WAIT_WINDOW.exe (tests/win32/wait_window.cpp) waits for the started window.
set -euo pipefail
[ $# -eq 6 ] || { sed -n '2,12p' "$0" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
setup=$(realpath "$1")
wine_dir=$(mkdir -p "$2" && cd "$2" && pwd)
window_exe=$3
cli_exe=$4
manual=$5
wait_window="Z:$(realpath "$6")"
window_class=HydrantCalcForm1  # kClassName in ui/win32/win32_window.cpp
version=$(basename "$setup" | sed -n 's/^hydrant-calc-\(.*\)-setup\.exe$/\1/p')
[ -n "$version" ] || { echo "installer-check: cannot read the version from $setup" >&2; exit 2; }
started=$(date +%s%N)

[ -f "$wine_dir/prefix/.hydrant-ready" ] || bash "$here/wine-prefix.sh" setup "$wine_dir"
drive_c=$wine_dir/prefix/drive_c
first_folder="$drive_c/Program Files/Tavrel小工具"
folder=$first_folder
win_folder='C:\Program Files\Tavrel小工具'
# The folder of the re-install elsewhere: Chinese and a blank, as designers' folders are.
other_folder="$drive_c/设计工具/Tavrel小工具"
win_other='C:\设计工具\Tavrel小工具'
start_menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
shortcuts=("$start_menu/Tavrel小工具.lnk" "$drive_c/users/Public/Desktop/Tavrel小工具.lnk")
manual_shortcut="$start_menu/Tavrel小工具 使用说明.lnk"
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
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

# Starts the installed window in the background and waits until it is open.
window_pid=
start_window() {
  timeout 60 bash "$here/wine-prefix.sh" run "$wine_dir" "$win_folder\\hydrant-calc.exe" \
    </dev/null >>"$log" 2>&1 &
  window_pid=$!
  wine_quiet "$wait_window" "$window_class" open 20 || fail "the installed window did not open"
}
window_ended() { ! kill -0 "$window_pid" 2>/dev/null; }
# The window was closed (not killed): its program ended with status 0.
expect_window_closed() {
  wait_for window_ended || fail "hydrant-calc.exe still runs 30 s after the $1"
  local status=0
  wait "$window_pid" || status=$?
  [ "$status" -eq 0 ] || fail "hydrant-calc.exe ended with status $status during the $1"
  window_pid=
}
# A failed check leaves no window or setup of its own behind (timeout passes the signal on).
setup_pid=
stop_window() {
  [ -z "$window_pid" ] || kill "$window_pid" 2>/dev/null || true
  [ -z "$setup_pid" ] || kill "$setup_pid" 2>/dev/null || true
}
trap stop_window EXIT

# A run that failed half-way must not decide this one.
if [ -e "$folder" ] || [ -e "$other_folder" ] || key_exists; then
  rm -rf "$folder" "$other_folder" "${shortcuts[@]}" "$manual_shortcut"
  wine_quiet reg delete "$key" /reg:64 /f || true
fi

# Install.
wine_quiet "$setup" /S || fail "the silent install ended with status $? (log: $log)"
cmp -s "$folder/hydrant-calc.exe" "$window_exe" || fail "hydrant-calc.exe is not the built program"
cmp -s "$folder/hydrant-calc-cli.exe" "$cli_exe" || fail "hydrant-calc-cli.exe is not the built program"
cmp -s "$folder/hydrant-calc-manual.html" "$manual" || fail "hydrant-calc-manual.html is not the manual"
[ -f "$folder/uninstall.exe" ] || fail "no uninstall.exe"
# A shortcut stores its target path in UTF-16 and ASCII; the target is named by its short
# name (HYDR~IIO.EXE) where the volume has them. That it starts the program is tested below.
shortcut_to() {
  [ -f "$1" ] || fail "no shortcut $1"
  tr -d '\0' <"$1" | grep -aiq "$2" || fail "$1 does not open $2"
}
for lnk in "${shortcuts[@]}"; do shortcut_to "$lnk" '\\hydr[^\\]*\.exe'; done
shortcut_to "$manual_shortcut" '\\hydr[^\\]*\.htm'

# The Apps & Features entry, exported by regedit as UTF-16 and compared line by line.
reg_file=$wine_dir/tmp/uninstall-key.reg
uninstall_entry() {
  rm -f "$reg_file"
  wine_quiet regedit /E "Z:${reg_file//\//\\}" "$key"
  [ -f "$reg_file" ] || fail "no uninstall entry $key"
  iconv -f UTF-16 -t UTF-8 "$reg_file" | tr -d '\r'
}
entry=$(uninstall_entry)
wf=${win_folder//\\/\\\\}
expected_values=(
  '"DisplayName"="Tavrel小工具"'
  "\"DisplayVersion\"=\"$version\""
  '"Publisher"="hydrant-calc team"'
  "\"DisplayIcon\"=\"$wf\\\\hydrant-calc.exe,0\""
  "\"InstallLocation\"=\"$wf\""
  "\"UninstallString\"=\"\\\"$wf\\\\uninstall.exe\\\"\""
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

# The Start-menu shortcut opens the program under a UTF-8 locale and under the Chinese code
# page alike (an ANSI-built link kept its path as "Tavrel???" outside GBK). zh_CN.UTF-8 is
# made in the prefix's folder where the system lacks it.
locales=$wine_dir/locale
mkdir -p "$locales"
[ -d "$locales/zh_CN.UTF-8" ] || localedef -i zh_CN -f UTF-8 "$locales/zh_CN.UTF-8" >>"$log" 2>&1 ||
  fail "cannot make the locale zh_CN.UTF-8"
for locale in C.UTF-8 zh_CN.UTF-8; do
  # As the desktop opens a shortcut; start returns when the program ends.
  LOCPATH=$locales HYDRANT_WINE_LOCALE=$locale timeout 60 bash "$here/wine-prefix.sh" run \
    "$wine_dir" start /unix "${shortcuts[0]}" </dev/null >>"$log" 2>&1 &
  window_pid=$!
  wine_quiet "$wait_window" "$window_class" open 20 ||
    fail "the Start-menu shortcut opened no window under $locale"
  wine_quiet "$wait_window" "$window_class" close 20 || fail "the window did not close"
  expect_window_closed "shortcut under $locale"
done

# Cancelled on its welcome page (Cancel, then Yes in the box that asks), an interactive setup
# leaves the running window alone: it is asked to close only when the copying starts.
start_window
timeout 60 bash "$here/wine-prefix.sh" run "$wine_dir" "$setup" </dev/null >>"$log" 2>&1 &
setup_pid=$!
for answer in 2 6; do  # IDCANCEL on the page, IDYES in the box
  wine_quiet "$wait_window" '#32770' "press:$answer" 20 || fail "the setup showed no page or box"
  sleep 0.5
done
wait "$setup_pid" || true
! kill -0 "$setup_pid" 2>/dev/null && wine_quiet "$wait_window" '#32770' closed 10 ||
  fail "the setup did not end when cancelled"
setup_pid=
wine_quiet "$wait_window" "$window_class" open 0 || fail "the cancelled setup closed the window"
wine_quiet "$wait_window" "$window_class" close 20 || fail "the window did not close"
expect_window_closed "cancelled setup"

# Unsaved work in the system form meets the setup. The window is asked to close (WM_CLOSE)
# only when the copying starts, and its form asks "保存对“未命名”的更改？" (是/否/取消); 取消 keeps
# the program running with its change, the setup then offers 重试/取消. (a) Its 取消: the setup
# ends with status 2 and replaces nothing. (b) Silently nobody can answer: status 2 after 10 s,
# nothing replaced, the question left to the user. (c) 重试 while the question is still open
# asks nothing twice; once it is answered 取消, 重试 asks again, and 否 lets the window close
# (status 0, not killed) and the install complete. A replaced manual marks what was copied.
ww() { wine_quiet "$wait_window" "$@"; }
setup_box='Tavrel小工具 安装'    # the caption of the setup's boxes
question=Tavrel小工具             # the caption of the program's boxes
changed_form='* - 消火栓系统计算'  # the form's caption with unsaved changes
shot() { [ -z "${HYDRANT_INSTALLER_SHOTS:-}" ] ||
  DISPLAY=":$(cat "$wine_dir/display")" import -window root "$HYDRANT_INSTALLER_SHOTS$1.png"; }
# The interactive setup past its three pages to the copying, its first box answered 是.
setup_to_copying() {
  timeout 120 bash "$here/wine-prefix.sh" run "$wine_dir" "$setup" </dev/null >>"$log" 2>&1 &
  setup_pid=$!
  for page in welcome components folder; do
    ww '#32770' press:1 20 || fail "the setup showed no $page page"
    sleep 0.3
  done
  ww '#32770' press:6 20 "$setup_box" || fail "the setup did not ask to close the program"
  ww '#32770' open 10 "$question" || fail "the program did not ask to save its changes"
}
expect_kept() {
  kill -0 "$window_pid" 2>/dev/null || fail "hydrant-calc.exe ended $1"
  ww '#32770' open 0 "$changed_form" || fail "the system form lost its change $1"
  [ "$(cat "$folder/hydrant-calc-manual.html")" = kept ] || fail "files were replaced $1"
}
# Answers the program's question 取消; exactly one was open.
cancel_question() {
  ww '#32770' press:2 20 "$question" || fail "no save question $1"
  ww '#32770' closed 2 "$question" || fail "a second save question was stacked $1"
}
expect_setup_status() {
  local status=0
  wait "$setup_pid" || status=$?
  setup_pid=
  [ "$status" -eq "$1" ] || fail "the setup ended with status $status $2, not $1"
}
# Opens the system form of the started window and changes its first entry (工程名称).
change_system_form() {
  ww "$window_class" command:104 10 || fail "no 系统计算 command"  # menuCommandId(System)
  ww '#32770' text:4001:改过的工程 20 ' - 消火栓系统计算' || fail "the system form did not open"
  ww '#32770' open 5 "$changed_form" || fail "the form's caption does not show the change"
}
echo kept >"$folder/hydrant-calc-manual.html"
start_window
change_system_form

setup_to_copying
shot save-question
cancel_question "in the interactive setup"
expect_kept "after 取消 of the save question"
ww '#32770' open 20 "$setup_box" || fail "the setup offered no 重试/取消"
shot retry-box
ww '#32770' press:2 1 "$setup_box" || fail "no 取消 in the setup's box"
expect_setup_status 2 "when its 取消 left the program open"
expect_kept "after the setup's 取消"

status=0
wine_quiet "$setup" /S || status=$?
[ "$status" -eq 2 ] || fail "the silent install over unsaved work ended with status $status, not 2"
expect_kept "after the silent install"
cancel_question "left by the silent install"

setup_to_copying
# The setup's 重试 comes 10 s after its request, over the question still open.
ww '#32770' open 20 "$setup_box" || fail "the setup offered no 重试/取消"
shot both-boxes
ww '#32770' press:4 1 "$setup_box" || fail "no 重试 in the setup's box"
ww '#32770' closed 5 "$setup_box" && sleep 0.5  # its request reaches the program
cancel_question "after 重试 over it"
expect_kept "after 重试 and 取消"
ww '#32770' press:4 20 "$setup_box" || fail "the setup did not offer 重试 again"
ww '#32770' press:7 20 "$question" || fail "重试 did not ask again"
expect_window_closed "setup's 重试 and 否"
ww '#32770' press:1 30 || fail "the setup showed no finish page"  # 完成, which runs the program
expect_setup_status 0 "after the program closed"
cmp -s "$folder/hydrant-calc-manual.html" "$manual" || fail "the setup's 重试 did not install"
ww "$window_class" open 20 || fail "the finish page did not start the program"
ww "$window_class" close 20 || fail "the program started by the finish page did not close"

# A silent re-install over the running window: it closes the window, then replaces the program.
start_window
wine_quiet "$setup" /S || fail "the silent re-install ended with status $?"
expect_window_closed re-install
cmp -s "$folder/hydrant-calc.exe" "$window_exe" || fail "hydrant-calc.exe not in place after the re-install"

# Into another folder, with the window open: the first copy is uninstalled, its folder gone,
# the shortcuts and the entry lead to the new one. (/D= is the last argument, unquoted.)
start_window
wine_quiet "$setup" /S "/D=$win_other" || fail "the re-install elsewhere ended with status $?"
expect_window_closed "re-install elsewhere"
[ ! -e "$first_folder" ] || fail "the first copy is left after the re-install elsewhere:$(ls -A "$first_folder")"
folder=$other_folder
win_folder=$win_other
cmp -s "$folder/hydrant-calc.exe" "$window_exe" || fail "hydrant-calc.exe not in the other folder"
# UTF-16 of "设计": a shortcut that still led to the first folder would lack it.
for lnk in "${shortcuts[@]}"; do
  grep -aqF "$(printf '设计' | iconv -f UTF-8 -t UTF-16LE)" "$lnk" || fail "$lnk does not lead to $win_other"
done
# A re-install without /D= proposes the folder of the installed copy and stays there.
wine_quiet "$setup" /S || fail "the re-install into the same folder ended with status $?"
[ ! -e "$first_folder" ] && [ -f "$folder/hydrant-calc.exe" ] || fail "the re-install left $win_other"

# Uninstall with the window open and its system form changed by the entry's quiet uninstall
# string, run by cmd as a script would under a Chinese Windows (GBK): the form's question
# answered 否, it closes the window and returns with status 0 only when the folder is gone,
# nothing in it left behind.
quiet='"C:\windows\system32\cmd.exe" /c ""'$win_folder'\uninstall.exe" /S _?='$win_folder'&& del "'$win_folder'\uninstall.exe" && rmdir "'$win_folder'""'
entry_line="\"QuietUninstallString\"=\"$(sed 's/\\/\\\\/g; s/"/\\"/g' <<<"$quiet")\""
grep -qxF -- "$entry_line" <<<"$(uninstall_entry)" || fail "the quiet uninstall string is not $quiet"
script=$wine_dir/tmp/quiet-uninstall.bat
printf '@%s\r\n' "$quiet" | iconv -f UTF-8 -t GBK >"$script"
start_window
change_system_form
LOCPATH=$locales HYDRANT_WINE_LOCALE=zh_CN.UTF-8 wine_quiet cmd /c "$(winepath_of "$script")" &
uninstall_pid=$!
ww '#32770' press:7 20 "$question" || fail "the uninstall did not ask to save the changes"
wait "$uninstall_pid" || fail "the quiet uninstall string ended with status $?"
[ ! -e "$folder" ] || fail "the quiet uninstall returned before its folder was gone:$(ls -A "$folder" | sed 's/^/ /')"
expect_window_closed uninstall
for lnk in "${shortcuts[@]}" "$manual_shortcut"; do
  [ ! -e "$lnk" ] || fail "the shortcut $lnk is left"
done
! key_exists || fail "the uninstall entry $key is left"

echo "installer-check: installed, ran and removed hydrant-calc $version cleanly" \
     "(install and checks $((installed_ms)) ms, all $((($(date +%s%N) - started) / 1000000)) ms)"
