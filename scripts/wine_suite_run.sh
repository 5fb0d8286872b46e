#!/usr/bin/env bash
# Runs a Windows program on a fresh copy of a ready prefix, in a session of
# its own, and stops that session afterwards:
#   wine_suite_run.sh TEMPLATE PREFIX PROGRAM [ARGS...]
# The program's exit code is returned.
set -uo pipefail
template=${1:?usage: wine_suite_run.sh TEMPLATE PREFIX PROGRAM [ARGS...]}
prefix=${2:?usage: wine_suite_run.sh TEMPLATE PREFIX PROGRAM [ARGS...]}
shift 2
here=$(cd "$(dirname "$0")" && pwd)
"$here/wine_prefix_copy.sh" "$template" "$prefix" || exit 1
"$here/wine_run.sh" "$prefix" "$@"
status=$?
"$here/wine_stop.sh" "$prefix"
exit $status
