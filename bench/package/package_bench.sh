#!/usr/bin/env bash
# The packages' sizes and the installer's speed, each against the zip measured in the same run:
# installer bytes / zip bytes, and a silent install and the uninstall under Wine / unpacking the
# zip (unzip, native). Needs a built windows preset and a display (DISPLAY, or a virtual one).
#   bash bench/package/package_bench.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
build="$PWD/build/windows"
zip=$(ls "$build"/Q7Config-*-win64.zip | head -1)
setup=$(ls "$build"/Q7Config-*-setup.exe | head -1)
[ -f "$build/packaging/install_timer.exe" ] || { echo "build the windows preset first" >&2; exit 1; }
if [ -z "${DISPLAY:-}" ]; then source scripts/xvfb.sh; start_xvfb; trap stop_xvfb EXIT; fi

zip_bytes=$(stat -c %s "$zip") setup_bytes=$(stat -c %s "$setup")
echo "zip       $zip_bytes bytes"
echo "installer $setup_bytes bytes"
awk -v s="$setup_bytes" -v z="$zip_bytes" 'BEGIN { printf "installer/zip size ratio %.2f\n", s / z }'

# The floor: unpacking the zip, best of three.
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true' EXIT
unzip_ms=""
for _ in 1 2 3; do
  rm -rf "$work/u"
  t0=$(date +%s%N)
  unzip -q "$zip" -d "$work/u"
  t=$((($(date +%s%N) - t0) / 1000000))
  [ -z "$unzip_ms" ] || [ "$t" -lt "$unzip_ms" ] && unzip_ms=$t
done
echo "unzip_ms $unzip_ms"

"$build/wine-run.sh" --prepare >/dev/null
winsetup="Z:$(printf '%s' "$setup" | tr / '\\')"
out=$("$build/wine-run.sh" "$build/packaging/install_timer.exe" "$winsetup" | tr -d '\r')
echo "$out"
install_ms=$(echo "$out" | awk '/install_ms/ && !/uninstall/ { print $2 }')
uninstall_ms=$(echo "$out" | awk '/uninstall_ms/ { print $2 }')
awk -v i="$install_ms" -v u="$uninstall_ms" -v z="$unzip_ms" 'BEGIN {
  z = (z < 1) ? 1 : z
  printf "silent install / unzip %.1f\nuninstall / unzip %.1f\n", i / z, u / z }'
