#!/usr/bin/env bash
# Download benchmark (not part of the test suite; takes about a minute):
# the installer's downloader under Wine, a bare WinINet loop under Wine and
# curl, on one nginx on 127.0.0.1. Builds the Windows tree first.
#   scripts/bench_download.sh [--size-mib 256] [--rate-mib 20] [--runs 3]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine_env.sh"
lite_build_windows_targets "$root" download_bench
build=$LITE_BUILD
LITE_BUILD_DIR=$build exec python3 "$root/scripts/bench_download.py" "$@"
