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
cp -a "$template" "$prefix.partial"
mv "$prefix.partial" "$prefix"
