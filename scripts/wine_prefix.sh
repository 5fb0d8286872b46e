#!/usr/bin/env bash
# Creates the project's own Wine prefix at $1 once, with the settings the tests
# rely on. Never touches ~/.wine. Safe to call concurrently (it takes a lock).
# The prefix is win32 or win64 as LITE_WIN_ARCH says (scripts/wine_env.sh).
set -euo pipefail
prefix=${1:?usage: wine_prefix.sh PREFIX}
source "$(dirname "$0")/wine_env.sh"
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
ready="$prefix/.lite-ready-ui3-$WINEARCH"
if [ -f "$ready" ]; then
  exit 0
fi
rm -rf "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and their installers would prompt.
export WINEDLLOVERRIDES="mscoree,mshtml="
# A win64 prefix also gets 32-bit folders (syswow64); where 32-bit Wine
# cannot start, wineboot's 32-bit step fails harmlessly.
log="$prefix.wineboot.log"
boot=0
"$LITE_WINE" wineboot -i >"$log" 2>&1 || boot=$?
wineserver -w
if [ "$boot" -ne 0 ] || [ ! -f "$prefix/system.reg" ]; then
  echo "wine_prefix.sh: wineboot ($LITE_WINE, $WINEARCH) failed for $prefix:" >&2
  tail -20 "$log" >&2
  exit 1
fi
# The Windows version is set explicitly rather than taken from Wine's default.
"$LITE_WINE" reg add 'HKCU\Software\Wine' /v Version /d win7 /f >/dev/null 2>&1
# Without a window manager EndDialog waits for one; unmanaged windows close at once.
"$LITE_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
"$LITE_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
# "Arial" is drawn with its metric twin Liberation Sans (fonts-liberation);
# Japanese and Chinese glyphs come from a CJK font (fonts-wqy-microhei)
# through a font link.
"$LITE_WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >/dev/null 2>&1
# Bold text looks the link up under the bold face's own name.
for face in Arial 'Liberation Sans' 'Arial Bold' 'Liberation Sans Bold'; do
  "$LITE_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
wineserver -w
touch "$ready"
