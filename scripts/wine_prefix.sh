#!/usr/bin/env bash
# Creates the project's own Wine prefix at $1 once, with the settings the tests
# rely on. Never touches ~/.wine. Safe to call concurrently (it takes a lock).
set -euo pipefail
prefix=${1:?usage: wine_prefix.sh PREFIX}
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ -f "$prefix/.lite-ready-ui3" ]; then
  exit 0
fi
rm -rf "$prefix"
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and their installers would prompt.
export WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
# The Windows version is set explicitly rather than taken from Wine's default.
wine reg add 'HKCU\Software\Wine' /v Version /d win7 /f >/dev/null 2>&1
# Without a window manager EndDialog waits for one; unmanaged windows close at once.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
# "Arial" is drawn with its metric twin Liberation Sans (fonts-liberation);
# Japanese and Chinese glyphs come from a CJK font (fonts-wqy-microhei)
# through a font link.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >/dev/null 2>&1
# Bold text looks the link up under the bold face's own name.
for face in Arial 'Liberation Sans' 'Arial Bold' 'Liberation Sans Bold'; do
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
wineserver -w
touch "$prefix/.lite-ready-ui3"
