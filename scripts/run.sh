#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine.
#   scripts/run.sh [--lang EN|UK|DE|FR|JP] [--screenshot]
#   scripts/run.sh --pictures
# With a display, the program opens there and settings persist between runs in a Wine prefix
# under your data folder. With no display (or --screenshot), it runs on a virtual display, saves
# a screenshot of the main window and prints its path. --pictures makes the pictures of the README
# and the help page again (data/Help/pictures/): the main window with the ANSI, ISO and Japanese
# keyboards and every window the main window opens, each from a first start in a fresh prefix, and a
# corner of the main window at 100 % and 200 % display scale.
set -euo pipefail
cd "$(dirname "$0")/.."
lang="" shot=0 pictures=0
while [ $# -gt 0 ]; do
  case "$1" in
    --lang) lang="${2:?--lang needs a code}"; shift 2 ;;
    --screenshot) shot=1; shift ;;
    --pictures) pictures=1; shift ;;
    *) echo "usage: $0 [--lang EN|UK|DE|FR|JP] [--screenshot] | --pictures" >&2; exit 2 ;;
  esac
done

bash scripts/setup.sh

if [ "$pictures" -eq 1 ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j "$(nproc)" --target Q7Config HID KBHook package_files q7shots
  build="$PWD/build/windows" work="$PWD/build/pictures" out="$PWD/data/Help/pictures"
  rm -rf "$work" && mkdir -p "$work" "$out"
  source scripts/xvfb.sh
  start_xvfb
  trap stop_xvfb EXIT
  "$build/wine-run.sh" --prepare >/dev/null
  winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
  # The program folder of one language, as the installer lays it out.
  for set in EN:ansi DE:iso JP:japanese; do
    code="${set%%:*}" name="${set#*:}"
    folder="$work/$code"
    mkdir -p "$folder"
    cp "$build/dist/Q7Config.exe" "$build/dist/HID.exe" "$build/dist/KBHook.dll" "$folder/"
    cp "data/strings/Strings.$code.xml" "$folder/Strings.xml"
    # -a keeps the files' times: the program takes a scaled picture only if it is not older.
    cp -a "$build/skinsets/$code" "$folder/Skins"
    dialogs=""
    [ "$code" = EN ] && dialogs="--dialogs"
    "$build/wine-run.sh" "$build/packaging/q7shots.exe" "$(winpath "$folder")" "$(winpath "$work/$name")" $dialogs
    mv "$work/$name-main.bmp" "$work/main-$name.bmp"
    for bmp in "$work/$name"-*.bmp; do
      [ -f "$bmp" ] && mv "$bmp" "$work/$(basename "$bmp" | sed "s/^$name-//")"
    done
  done
  # The same corner of the main window on a display at 100 % and at 200 % (pixel for pixel).
  "$build/wine-run.sh" "$build/packaging/q7shots.exe" "$(winpath "$work/EN")" "$(winpath "$work/scaled")" --dpi 192
  convert "$work/main-ansi.bmp" -crop 360x150+50+140 +repage "$work/scale-100.bmp"
  convert "$work/scaled-main.bmp" -crop 720x300+100+280 +repage "$work/scale-200.bmp"
  rm -f "$work/scaled-main.bmp"
  # Small pictures: at most 720 pixels wide, in at most 64 colours.
  rm -f "$out"/*.png
  for bmp in "$work"/*.bmp; do
    png="$out/$(basename "${bmp%.bmp}").png"
    convert "$bmp" -resize '720x>' -colors 64 -strip "PNG8:$png"
  done
  ls -l "$out"
  exit 0
fi

if [ -n "$lang" ]; then
  cmake --preset windows -DQ7_LANG="$lang" >/dev/null
else
  cmake --preset windows >/dev/null
fi
cmake --build --preset windows -j "$(nproc)"
dist="$PWD/build/windows/dist"

export WINEPREFIX="${Q7_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/q7config/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
# The prefix is prepared again when the preparing script changed (a font linked since, say); the
# settings in it stay.
prepared=$(md5sum scripts/wine-prefix.sh | cut -d' ' -f1)
if [ "$(cat "$WINEPREFIX/.q7-ready" 2>/dev/null)" != "$prepared" ]; then
  echo "Preparing the Wine prefix $WINEPREFIX..."
  bash scripts/wine-prefix.sh "$WINEPREFIX"
  echo "$prepared" >"$WINEPREFIX/.q7-ready"
fi

if [ "$shot" -eq 0 ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  cd "$dist" && exec wine ./Q7Config.exe
fi

# No display: a virtual one, and a screenshot of the main window.
source scripts/xvfb.sh
start_xvfb
trap 'wineserver -k >/dev/null 2>&1 || true; stop_xvfb' EXIT
(cd "$dist" && wine ./Q7Config.exe </dev/null >/dev/null 2>&1 &)
wid=""
for _ in $(seq 1 150); do
  wid=$(xdotool search --onlyvisible --classname 'q7config.exe' 2>/dev/null | head -1 || true)
  [ -n "$wid" ] && break
  sleep 0.2
done
if [ -z "$wid" ]; then
  echo "The main window did not appear (is HID.exe beside Q7Config.exe?)." >&2
  exit 1
fi
sleep 2 # let the first paint finish
mkdir -p build/screenshots
out="$PWD/build/screenshots/main-window.png"
eval "$(xdotool getwindowgeometry --shell "$wid")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
echo "Screenshot of the main window: $out"
