#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix:
#   wine_run.sh PREFIX PROGRAM [ARGS...]
# The prefix is created on first use; LITE_WIN_ARCH chooses the Wine loader
# (scripts/wine_env.sh). The program's exit code is returned.
set -euo pipefail
prefix=${1:?usage: wine_run.sh PREFIX PROGRAM [ARGS...]}
shift
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_env.sh"
"$here/wine_prefix.sh" "$prefix"
export WINEPREFIX="$prefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
exec "$LITE_WINE" "$@"
