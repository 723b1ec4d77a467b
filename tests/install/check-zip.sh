#!/usr/bin/env bash
# The portable zip: exactly Vantel.exe, 使用说明.txt and LICENSE.txt; the guide is UTF-8 with a BOM and CRLF lines.
set -euo pipefail
zip=${1:?zip}
[ -f "$zip" ] || { echo "no $zip: run scripts/package first" >&2; exit 1; }
zip=$(realpath "$zip")
export LANG=C.UTF-8 LC_ALL=C.UTF-8
names=$(cmake -E tar tf "$zip" | sort)
expected=$(printf '%s\n' LICENSE.txt Vantel.exe 使用说明.txt | sort)
[ "$names" = "$expected" ] || { printf 'zip holds:\n%s\nexpected:\n%s\n' "$names" "$expected" >&2; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
(cd "$dir" && cmake -E tar xf "$zip")
guide=$dir/使用说明.txt
[ "$(head -c3 "$guide" | od -An -tx1 | tr -d ' ')" = efbbbf ] || { echo "the guide does not start with a UTF-8 BOM" >&2; exit 1; }
iconv -f UTF-8 -t UTF-16LE "$guide" >/dev/null || { echo "the guide is not UTF-8" >&2; exit 1; }
grep -q '开机启动' "$guide" || { echo "the guide lacks its Chinese text" >&2; exit 1; }
if [ "$(grep -c $'\r$' "$guide")" != "$(wc -l <"$guide")" ]; then
  echo "the guide's lines do not all end in CR LF" >&2
  exit 1
fi
echo "zip ok: $names" | tr '\n' ' '
echo
