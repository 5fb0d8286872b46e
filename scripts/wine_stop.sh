#!/usr/bin/env bash
# Stops the wineserver of the prefix at $1, if one runs, and waits for it.
prefix=${1:?usage: wine_stop.sh PREFIX}
[ -d "$prefix" ] || exit 0
WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
WINEPREFIX="$prefix" wineserver -w >/dev/null 2>&1
exit 0
