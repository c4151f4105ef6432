#!/usr/bin/env bash
# A private Wine prefix for running the Windows programs headless, inside a build folder.
#
#   scripts/wine-prefix.sh setup DIR          create DIR/prefix if needed, start an Xvfb and a
#                                              persistent wineserver for it
#   scripts/wine-prefix.sh run DIR PROGRAM... run a program in it (the CTest emulator)
#   scripts/wine-prefix.sh dpi DIR N          set the screen's DPI (96, 144, ...) and restart
#   scripts/wine-prefix.sh stop DIR           end the wineserver and the Xvfb
#
# Everything Wine writes stays in DIR: prefix, HOME, XDG folders and TMPDIR.
set -euo pipefail
[ $# -ge 2 ] || { sed -n '2,9p' "$0" >&2; exit 2; }
command=$1
dir=$(mkdir -p "$2" && cd "$2" && pwd)
shift 2

export WINEPREFIX=$dir/prefix WINEARCH=win64 WINEDEBUG=-all
# Wine reads the command line's bytes in the locale's character set: Chinese arguments need UTF-8.
# HYDRANT_WINE_LOCALE runs a program under another one (zh_CN.UTF-8: the Chinese code page).
export LC_ALL=${HYDRANT_WINE_LOCALE:-C.UTF-8}
# No .NET or Gecko download prompts, no menu entries or file associations on the host.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME=$dir/home TMPDIR=$dir/tmp
export XDG_CONFIG_HOME=$dir/home/.config XDG_DATA_HOME=$dir/home/.local/share
export XDG_CACHE_HOME=$dir/home/.cache XDG_RUNTIME_DIR=$dir/run
mkdir -p "$HOME" "$TMPDIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
[ -f "$dir/display" ] && export DISPLAY=":$(cat "$dir/display")"

# Wine's background processes inherit the standard streams; a caller that waits for their
# end (CTest) would wait forever, so they start with all three redirected.
quiet() { "$@" </dev/null >/dev/null 2>&1; }

# The server keeps running between programs (-p); otherwise each wine start costs ~2 s.
restart_server() {
  quiet wineserver -k || true
  quiet wineserver -w || true
  quiet wineserver -p
  # The first program starts the virtual desktop and the services with quiet streams too.
  quiet wine rundll32.exe || true
}

# Registry settings, imported as UTF-16LE with a byte order mark, the form regedit reads.
import_reg() {
  local reg=$TMPDIR/settings.reg
  { printf '\xff\xfe'; printf '%s\r\n' "$@" | iconv -f UTF-8 -t UTF-16LE; } >"$reg"
  quiet wine regedit /S "$(winepath_of "$reg")"
}
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

# The screen and the virtual desktop: a 1920×1080 monitor, which holds the system form whole at
# 96 DPI and at 144 DPI (150 %), so that its screenshots show all of it.
screen=1920x1080

start_xvfb() {
  if [ -f "$dir/xvfb.pid" ] && kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null; then return; fi
  # -displayfd picks a free display number and writes it once the server accepts clients.
  exec 3>"$dir/display"
  Xvfb -displayfd 3 -screen 0 ${screen}x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  echo $! >"$dir/xvfb.pid"
  exec 3>&-
  for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
  [ -s "$dir/display" ] || { echo "wine-prefix: Xvfb did not start" >&2; exit 1; }
  DISPLAY=":$(tr -d '\n' <"$dir/display")"
  export DISPLAY
  printf '%s' "${DISPLAY#:}" >"$dir/display"
}

case $command in
  setup)
    start_xvfb
    if [ ! -f "$WINEPREFIX/.hydrant-ready" ]; then
      rm -rf "$WINEPREFIX"
      quiet wine wineboot -i
      quiet wineserver -w
      # 宋体 and its names become Noto's CJK font with half-width Latin letters, as in 宋体;
      # Wine's own fallback has no Latin letters. The caption font (Tahoma) links to it for
      # the Chinese in the title.
      cjk="Noto Sans Mono CJK SC"
      link=$(printf 'NotoSansCJK-Regular.ttc,%s\0\0' "$cjk" | iconv -f UTF-8 -t UTF-16LE |
        od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//')
      import_reg 'Windows Registry Editor Version 5.00' '' \
        '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
        "\"宋体\"=\"$cjk\"" "\"SimSun\"=\"$cjk\"" "\"新宋体\"=\"$cjk\"" "\"NSimSun\"=\"$cjk\"" '' \
        '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]' \
        "\"Tahoma\"=hex(7):$link" '' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' '' \
        '[HKEY_CURRENT_USER\Control Panel\Desktop]' '"LogPixels"=dword:00000060' ''
      # Debian's Wine does not find its own Marlett; without it the caption buttons show
      # letters.
      cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
      touch "$WINEPREFIX/.hydrant-ready"
    fi
    # Set on every setup, so that a prefix made with another size follows.
    import_reg 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' "\"Default\"=\"$screen\"" ''
    restart_server
    ;;
  run)
    exec wine "$@"
    ;;
  dpi)
    printf -v hex '%08x' "$1"
    import_reg 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_CURRENT_USER\Control Panel\Desktop]' "\"LogPixels\"=dword:$hex" ''
    restart_server
    ;;
  stop)
    quiet wineserver -k || true
    if [ -f "$dir/xvfb.pid" ]; then
      kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
      rm -f "$dir/xvfb.pid" "$dir/display"
    fi
    ;;
  *)
    sed -n '2,9p' "$0" >&2
    exit 2
    ;;
esac
