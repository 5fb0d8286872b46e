#!/usr/bin/env bash
# Fault matrix (not part of the test suite; a few minutes): the silent road
# (installer_probe.exe with the real time limits, trust check off, a 1 s
# pause between attempts) against the Python fault server and nginx through
# each network fault, one line per fault, then a summary; a stalled counter
# host also on the product's windowed road, under Xvfb. The full-disk fault
# needs root (a small tmpfs over the prefix's temporary folder).
#   scripts/fault_matrix.sh [NAME_FILTER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine_env.sh"
lite_build_windows_targets "$root" installer_probe stand_in_setup exit_code_runner \
  install_test_root lite_installer_test ui_driver message_dialog_runner
build=$LITE_BUILD
"$root/scripts/wine_prefix.sh" "$build/wineprefix" >/dev/null
status=0
LITE_BUILD_DIR=$build LITE_SOURCE_DIR=$root LITE_WINEPREFIX=$build/wineprefix \
  python3 "$root/scripts/fault_matrix.py" "$@" || status=$?
"$root/scripts/wine_stop.sh" "$build/wineprefix" >/dev/null 2>&1 || true
exit $status
