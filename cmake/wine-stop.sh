#!/usr/bin/env bash
# Stops what cmake/wine-run.sh left running for a state dir: the Wine server (and its services) and the Xvfb.
set -u
state=${1:?state dir}
[ -d "$state" ] || exit 0
for server in /usr/lib/wine/wineserver64 wineserver; do
  command -v "$server" >/dev/null 2>&1 && { WINEPREFIX="$state/prefix" "$server" -k >/dev/null 2>&1; break; }
done
if [ -f "$state/display" ]; then
  n=$(cut -c2- "$state/display")
  [ -f "/tmp/.X$n-lock" ] && kill "$(tr -d ' ' < "/tmp/.X$n-lock")" 2>/dev/null
  rm -f "$state/display"
fi
exit 0
