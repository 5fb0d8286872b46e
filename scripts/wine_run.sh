#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix:
#   wine_run.sh PREFIX PROGRAM [ARGS...]
# The prefix is created on first use. The program's exit code is returned.
set -euo pipefail
prefix=${1:?usage: wine_run.sh PREFIX PROGRAM [ARGS...]}
shift
here=$(cd "$(dirname "$0")" && pwd)
"$here/wine_prefix.sh" "$prefix"
export WINEPREFIX="$prefix" WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
