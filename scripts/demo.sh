#!/usr/bin/env bash
# The installer's main job on this machine: builds the Windows program, runs
# it in silent mode under Wine in the project's own prefix, and prints its
# exit code and its log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${LITE_BUILD_ROOT:-$root/build}
dir="$build_root/win32"

if [ "$(id -u)" -eq 0 ]; then
  "$root/scripts/setup.sh"
fi
mkdir -p "$build_root"
cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >"$dir.configure.log" 2>&1 ||
  { cat "$dir.configure.log"; exit 1; }
cmake --build "$dir" -j"$(nproc)" --target lite_installer lite_installer_test exit_code_runner

prefix="$dir/wineprefix"
temp_dir() { ls -d "$prefix"/drive_c/users/*/Temp | grep -v /Public/ | head -n 1; }
"$root/scripts/wine_prefix.sh" "$prefix"
log="$(temp_dir)/lite_installer.log"
rm -f "$log"

echo "== Running: wine lite_installer.exe --silent"
set +e
output=$("$root/scripts/wine_run.sh" "$prefix" "$dir/bin/exit_code_runner.exe" \
         "$dir/bin/lite_installer.exe" --silent)
set -e
"$root/scripts/wine_stop.sh" "$prefix"
echo "== Installer exit code: ${output#exit_code=}"
echo "== Installer log ($log):"
python3 -c 'import sys; sys.stdout.write(open(sys.argv[1], "rb").read().decode("utf-16"))' "$log"
