#!/usr/bin/env bash
# Start-up benchmark (not part of the test suite; under a minute): the time
# from process start to a visible window of the installer (the test variant,
# windowed road, every host a dead local port) and of a one-button reference
# dialog built alike (tools/startup_reference.cc), interleaved, under Wine on
# an Xvfb display of its own; prints both medians and their ratio. Builds
# what it runs first.
#   scripts/bench_startup.sh [--rounds 15]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine_env.sh"
lite_build_windows_targets "$root" lite_installer_test startup_reference startup_bench
build=$LITE_BUILD
"$root/scripts/wine_prefix.sh" "$build/wineprefix" >/dev/null
status=0
LITE_BUILD_DIR=$build LITE_SOURCE_DIR=$root LITE_WINEPREFIX=$build/wineprefix \
  python3 "$root/scripts/bench_startup.py" "$@" || status=$?
"$root/scripts/wine_stop.sh" "$build/wineprefix" >/dev/null 2>&1 || true
exit $status
