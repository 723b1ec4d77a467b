#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest and the scripts: usage wine-run.sh <state-dir> <program.exe> [args...]
# Prepares, once per state dir, a 64-bit prefix (no crash dialog, no Mono/Gecko, font replacements)
# and a virtual X display, so tests can run side by side on a machine without a screen.
set -Eeuo pipefail
# A set-up step that fails says which, rather than failing the test without a word.
trap 'echo "wine-run: line $LINENO failed: $BASH_COMMAND" >&2' ERR

state=${1:?state dir}; shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mkdir -p "$state"
state=$(cd "$state" && pwd)

export WINEPREFIX="$state/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 LC_ALL=C.UTF-8
wine_bin=wine
[ -x /usr/lib/wine/wine64 ] && wine_bin=/usr/lib/wine/wine64
wineserver_bin=wineserver
[ -x /usr/lib/wine/wineserver64 ] && wineserver_bin=/usr/lib/wine/wineserver64

display_alive() { [ -n "${1:-}" ] && xdpyinfo -display "$1" >/dev/null 2>&1; }

# Whether an X server for this display still runs, found by its command line: the pid recorded at its
# start may be another process's (setsid forks when it must).
server_runs() {
  local p c
  [ -n "${1:-}" ] || return 1
  for p in /proc/[0-9]*; do
    c=$(tr '\0' ' ' <"$p/cmdline" 2>/dev/null) || continue
    [[ "$c" == "Xvfb $1 "* || "$c" == "/usr/lib/xorg/Xorg $1 "* ]] && return 0
  done
  return 1
}

# Two monitors (VANTEL_MONITORS=two): Xvfb's screens all start at (0, 0) for Wine, so an X server with the
# dummy video driver runs instead, its second output set beside the first by RandR. Wine then reports a
# 1920x1080 primary monitor at (0, 0) and a 1280x1024 one left of it, at (-1280, 0). Needs root.
start_two_monitor_server() {
  cat >"$state/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoAddGPU" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 3200 1080
  EndSubSection
EndSection
CONF
  setsid env -u WINEPREFIX /usr/lib/xorg/Xorg "$1" -noreset -nolisten tcp -config "$state/xorg.conf" \
    -logfile "$state/xorg.log" >"$state/xvfb.log" 2>&1 </dev/null 8>&- &
}
arrange_two_monitors() {
  DISPLAY=$1 xrandr --output DUMMY0 --mode 1920x1080 --primary
  DISPLAY=$1 xrandr --addmode DUMMY1 1280x1024
  DISPLAY=$1 xrandr --output DUMMY1 --mode 1280x1024 --left-of DUMMY0
  # A full query makes the server probe its outputs again; until then clients that ask for the current
  # configuration (Wine) are told the old one.
  DISPLAY=$1 xrandr --query >/dev/null
}

# The tests get a display of their own (fixed size, nobody's real pointer), unless told otherwise.
ensure_display() {
  if [ -n "${VANTEL_TEST_DISPLAY:-}" ]; then export DISPLAY="$VANTEL_TEST_DISPLAY"; return; fi
  exec 8>"$state/display.lock"
  flock 8
  local d=""
  [ -f "$state/display" ] && d=$(cat "$state/display")
  # A server that still runs but does not answer at once is busy, not gone (seen on a loaded machine): it is
  # waited for and kept. A second server would leave the prefix's windows split between two displays, and
  # every later test would fail on windows the other server holds.
  if ! display_alive "$d" && server_runs "$d"; then
    for _ in $(seq 300); do display_alive "$d" && break; sleep 0.1; done
    server_runs "$d" && { flock -u 8; exec 8>&-; export DISPLAY="$d"; return; }
  fi
  if ! display_alive "$d"; then
    # Why a display was replaced, for whoever finds the prefix's windows on two displays.
    [ -n "$d" ] && echo "$(date '+%F %T') $d does not answer: $(xdpyinfo -display "$d" 2>&1 >/dev/null | head -1)" \
      >>"$state/display-changes.log"
    local n=90 pid
    while :; do
      while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
      d=":$n"
      # Without the lock: a start that fails must not leave the lock held by the server.
      if [ "${VANTEL_MONITORS:-one}" = two ]; then
        start_two_monitor_server "$d"
      else
        setsid env -u WINEPREFIX Xvfb "$d" -screen 0 "${VANTEL_SCREEN:-1920x1080x24}" -nolisten tcp \
          >"$state/xvfb.log" 2>&1 </dev/null 8>&- &
      fi
      pid=$!
      for _ in $(seq 300); do display_alive "$d" && break; kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      # Ours only if our server runs: another state dir may have taken the number at the same moment.
      kill -0 "$pid" 2>/dev/null && display_alive "$d" && break
      kill "$pid" 2>/dev/null || true  # already gone when its display number was taken
      n=$((n + 1))
      [ "$n" -lt 200 ] || { echo "wine-run: could not start an X server" >&2; exit 1; }
    done
    [ "${VANTEL_MONITORS:-one}" = two ] && arrange_two_monitors "$d"
    # The server this one replaces does not answer, but may still run: wine-stop.sh ends it too.
    if [ -f "$state/xvfb.pid" ] && [ -f "$state/display" ]; then
      echo "$(tr -d ' \n' <"$state/xvfb.pid") $(tr -d ' \n' <"$state/display")" >>"$state/xvfb.replaced"
    fi
    # wine-stop.sh ends this server, and only this one: the pid it was started with, on this display.
    echo "$pid" >"$state/xvfb.pid"
    echo "$d" >"$state/display"
  fi
  flock -u 8
  exec 8>&-
  export DISPLAY="$d"
}

ensure_prefix() {
  [ -f "$WINEPREFIX/.vantel-ready" ] && return
  exec 9>"$state/prefix.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/.vantel-ready" ]; then
    "$wine_bin" wineboot -u >"$state/wineboot.log" 2>&1 || true
    "$wineserver_bin" -w
    # Windows face names the program asks for, mapped to the fonts Debian installs.
    local reg="$state/fonts.reg"
    {
      printf 'Windows Registry Editor Version 5.00\r\n\r\n'
      printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n\r\n'
      # On our own Xvfb there is no window manager: Wine then waits 2 s for one at every destroy of a
      # window that was ever activated. Unmanaged windows go at once (Wine draws their frames itself).
      if [ -z "${VANTEL_TEST_DISPLAY:-}" ]; then
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n\r\n'
      fi
      printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
      for f in "Times New Roman=Liberation Serif" "Arial=Liberation Sans" "Courier New=Liberation Mono" \
               "MS Sans Serif=Liberation Sans" "Microsoft Sans Serif=Liberation Sans" "Tahoma=Liberation Sans" \
               "Segoe UI=Liberation Sans" "宋体=WenQuanYi Micro Hei" "SimSun=WenQuanYi Micro Hei" \
               "新宋体=WenQuanYi Micro Hei" "NSimSun=WenQuanYi Micro Hei" "微软雅黑=WenQuanYi Micro Hei" \
               "Microsoft YaHei=WenQuanYi Micro Hei"; do
        printf '"%s"="%s"\r\n' "${f%%=*}" "${f#*=}"
      done
      # Latin faces have no Chinese glyphs: Wine's text drawing falls back along these links, so
      # the settings window's Chinese labels, buttons and caption are readable.
      local link="hex(7):$(printf 'wqy-microhei.ttc,WenQuanYi Micro Hei\0\0' | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//')"
      printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
      for f in "MS Sans Serif" "Microsoft Sans Serif" "Tahoma" "Segoe UI" "Arial" "Liberation Sans" "Times New Roman" \
               "Liberation Serif"; do
        printf '"%s"=%s\r\n' "$f" "$link"
      done
    } | iconv -f UTF-8 -t UTF-16 >"$reg"
    "$wine_bin" regedit /S "$reg" >>"$state/wineboot.log" 2>&1
    "$wineserver_bin" -w
    touch "$WINEPREFIX/.vantel-ready"
  fi
  flock -u 9
  exec 9>&-
}

# One persistent server per prefix, with Wine's background services started detached from any test's
# output: otherwise they inherit the first test's pipes and CTest waits for them to go away.
ensure_server() {
  exec 7>"$state/server.lock"
  flock 7
  if "$wineserver_bin" -p >/dev/null 2>&1 < /dev/null; then
    "$wine_bin" wineboot >/dev/null 2>&1 < /dev/null || true
  fi
  flock -u 7
  exec 7>&-
}

ensure_display
ensure_prefix
ensure_server
trap - ERR  # from here on, the program's own status is the answer
# Wine hands its standard error to every process it starts, and the desktop process (explorer.exe) that
# the first window of an idle prefix starts outlives the program while other programs use the desktop.
# Under CTest that error stream is a pipe, and CTest waits for the pipe to close: a test that happened
# to start the desktop then ran into its time limit long after it passed. A file is nobody's to wait for.
if [ -p /dev/stderr ]; then
  errors=$(mktemp "$state/stderr.XXXXXX")
  set +e
  "$wine_bin" "$@" 2>"$errors"
  status=$?
  cat "$errors" >&2
  rm -f "$errors"
  # A test program answers 0 or 1. Anything else ended it from outside its own code (a crash, the loader,
  # the Wine server), often before it wrote a line: the status is the one clue left, so it is named. Windows'
  # exit code shows as its low byte (0xC0000005, an access violation, as 5).
  if [ "$status" -gt 1 ]; then
    echo "wine-run: $(basename "$1") ended with status $status ($(date '+%T'), load $(cut -d' ' -f1-3 /proc/loadavg))" >&2
  fi
  exit "$status"
fi
exec "$wine_bin" "$@"
