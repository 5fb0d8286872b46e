#!/usr/bin/env bash
# Replaces PREFIX with a fresh copy of the ready prefix TEMPLATE (made first
# when missing), so that a test suite can change its prefix freely while
# other suites run on copies of their own:
#   wine_prefix_copy.sh TEMPLATE PREFIX
set -euo pipefail
template=${1:?usage: wine_prefix_copy.sh TEMPLATE PREFIX}
prefix=${2:?usage: wine_prefix_copy.sh TEMPLATE PREFIX}
here=$(cd "$(dirname "$0")" && pwd)
"$here/wine_prefix.sh" "$template"
# Copy a quiet template: no wineserver may be saving its registry meanwhile.
exec 9>"$template.lock"
flock 9
WINEPREFIX="$template" wineserver -w >/dev/null 2>&1 || true
# A session left on the old copy by a killed suite ends first.
"$here/wine_stop.sh" "$prefix"
rm -rf "$prefix" "$prefix.partial"
mkdir -p "$(dirname "$prefix")"
# Wine's own modules (about 580 MB of the prefix's 590) are shared through
# hard links: Wine never writes them, and a test must not either (replace a
# module by rename, never by writing into it). Everything else (registry,
# profile, settings files) becomes a copy of its own.
cp -a --link "$template" "$prefix.partial"
find "$prefix.partial" -type f ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' \
  -o -iname '*.sys' -o -iname '*.ocx' -o -iname '*.cpl' -o -iname '*.acm' -o -iname '*.ax' \
  -o -iname '*.tlb' -o -iname '*.nls' -o -iname '*.ttf' -o -iname '*.ttc' \) \
  -exec sh -c 'for f; do cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f"; done' sh {} +
mv "$prefix.partial" "$prefix"
