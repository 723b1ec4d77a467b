#!/usr/bin/env bash
# Stops what cmake/wine-run.sh left running for a state dir: the Wine server with its services and
# programs, and the Xvfb that wine-run.sh started itself (never a display someone else runs).
set -u
state=${1:?state dir}
[ -d "$state" ] || exit 0
state=$(cd "$state" && pwd)
prefix="$state/prefix"
server=""
for candidate in /usr/lib/wine/wineserver64 wineserver; do
  if command -v "$candidate" >/dev/null 2>&1; then server=$candidate; break; fi
done

xvfb=""
[ -f "$state/xvfb.pid" ] && xvfb=$(tr -d ' \n' <"$state/xvfb.pid")

# The processes of this prefix: every Wine process has WINEPREFIX in its environment. An Xvfb may have
# it too; a display is never ended here (the one wine-run.sh started goes below, by a signal that lets it
# clean up after itself).
prefix_pids() {
  local p
  for p in /proc/[0-9]*; do
    case "${p#/proc/}" in "$$" | "$PPID" | "$xvfb") continue ;; esac
    case "$(cat "$p/comm" 2>/dev/null)" in Xvfb | Xorg) continue ;; esac
    { tr '\0' '\n' <"$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$prefix" && echo "${p#/proc/}"
  done
}

if [ -n "$server" ] && [ -d "$prefix" ]; then
  # Asks the server to end everything; it then ends itself. A server that does not go in time, and any
  # process of the prefix still there (its services, a program a test started), is ended by signal.
  WINEPREFIX="$prefix" "$server" -k >/dev/null 2>&1
  pids=""
  for _ in $(seq 50); do
    pids=$(prefix_pids)
    [ -z "$pids" ] && break
    sleep 0.1
  done
  # shellcheck disable=SC2086 # one pid a word
  [ -n "$pids" ] && kill -KILL $pids 2>/dev/null
fi

# Ends the X server `pid` if it is still the one started for `display` (a pid may have been reused since).
stop_server() {
  local pid=$1 display=$2
  [ -n "$pid" ] && [ -n "$display" ] || return 0
  if tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -Eq "^(Xvfb|/usr/lib/xorg/Xorg) $display "; then
    kill "$pid" 2>/dev/null
    # Gone before this returns: a display started next on the same number must not meet it still closing.
    for _ in $(seq 50); do
      [ -d "/proc/$pid" ] && [ "$(cut -d' ' -f3 "/proc/$pid/stat" 2>/dev/null)" != Z ] || break
      sleep 0.1
    done
  fi
}

[ -f "$state/display" ] && stop_server "$xvfb" "$(tr -d ' \n' <"$state/display")"
# The servers wine-run.sh replaced because they did not answer.
if [ -f "$state/xvfb.replaced" ]; then
  while read -r pid display; do stop_server "$pid" "$display"; done <"$state/xvfb.replaced"
fi
rm -f "$state/display" "$state/xvfb.pid" "$state/xvfb.replaced"
exit 0
