#!/bin/sh
# Makes a Wine prefix ready for the program: booted, no window manager stalls, fonts that the
# program and its skins name, and CJK fallback. Usage: wine-prefix.sh PREFIX
# Only the boot is essential; a font or registry tweak that fails is reported and skipped.
set -e
export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
echo "wine: $(command -v wine) $(wine --version 2>&1)"
wineboot -i </dev/null
wineserver -w
[ -f "$WINEPREFIX/system.reg" ] || { echo "wineboot left no system.reg in $WINEPREFIX" >&2; exit 1; }
set +e
tweak() { "$@" </dev/null >/dev/null 2>&1 || echo "skipped: $*" >&2; }
tweak wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
# Wine takes "prefers the keyboard" as on where the value is missing; Windows has it off.
tweak wine reg add 'HKCU\Control Panel\Accessibility\Keyboard Preference' /v On /d 0 /f
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
for f in /usr/share/fonts/truetype/liberation/LiberationSans-*.ttf /usr/share/fonts/truetype/crosextra/Carlito-*.ttf \
         /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf /usr/share/fonts/truetype/wqy/wqy-zenhei.ttc; do
  [ -f "$f" ] && cp "$f" "$WINEPREFIX/drive_c/windows/Fonts/"
done
R='HKCU\Software\Wine\Fonts\Replacements'
tweak wine reg add "$R" /v Arial /d 'Liberation Sans' /f
tweak wine reg add "$R" /v Tahoma /d 'Liberation Sans' /f
tweak wine reg add "$R" /v Calibri /d Carlito /f
# Wine looks links up by the full name of the face it chose, so bold faces need their own entries
# (without them bold Japanese captions show boxes). The Japanese font comes first: kana and kanji
# are drawn in Japanese forms from outlines. WenQuanYi Zen Hei, a Chinese font whose bitmap strikes
# at caption sizes lose strokes, only fills in what the Japanese font lacks (Chinese forms).
K='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for f in Tahoma 'Tahoma Bold' 'Liberation Sans' 'Liberation Sans Bold' Carlito 'Carlito Bold'; do
  tweak wine reg add "$K" /v "$f" /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic\0wqy-zenhei.ttc,WenQuanYi Zen Hei' /f
done
wineserver -k
wineserver -w
exit 0
