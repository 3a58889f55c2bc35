#!/bin/sh
# Makes a Wine prefix ready for the program: booted, no window manager stalls, fonts that the
# program and its skins name, and CJK fallback. Usage: wine-prefix.sh PREFIX
set -e
export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineboot -i </dev/null >/dev/null 2>&1
wineserver -w
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
for f in /usr/share/fonts/truetype/liberation/LiberationSans-*.ttf /usr/share/fonts/truetype/crosextra/Carlito-*.ttf \
         /usr/share/fonts/truetype/wqy/wqy-zenhei.ttc; do
  [ -f "$f" ] && cp "$f" "$WINEPREFIX/drive_c/windows/Fonts/"
done
R='HKCU\Software\Wine\Fonts\Replacements'
wine reg add "$R" /v Arial /d 'Liberation Sans' /f >/dev/null 2>&1
wine reg add "$R" /v Tahoma /d 'Liberation Sans' /f >/dev/null 2>&1
wine reg add "$R" /v Calibri /d Carlito /f >/dev/null 2>&1
K='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for f in Tahoma 'Liberation Sans' Carlito; do
  wine reg add "$K" /v "$f" /t REG_MULTI_SZ /d 'wqy-zenhei.ttc,WenQuanYi Zen Hei' /f >/dev/null 2>&1
done
wineserver -k
wineserver -w
