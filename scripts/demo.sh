#!/usr/bin/env bash
# The installer's main job on this machine: builds the Windows programs and
# runs the whole silent road, then the windowed road, under Wine in the
# project's own prefix. A server on 127.0.0.1 serves a demo setup package
# signed with the test PKI and carrying a description signed with a demo key;
# the installer downloads it, verifies it and runs it. Prints the installer's exit code (the setup's), the
# setup's command line and the tail of the log.
# Windowed road: with a display (DISPLAY set) the installer window opens on it
# and you click Install yourself; headless (or with LITE_DEMO_HEADLESS=1) it
# runs on its own Xvfb display, clicks Install itself and saves screenshots of
# the welcome screen, the progress screen and the end into
# build/win32/demo/screenshots/ (build/win64/... where the Windows programs are
# x86_64, scripts/wine_arch.sh; LITE_DEMO_SCREENSHOTS changes the folder).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${LITE_BUILD_ROOT:-$root/build}
# The Windows tree whose programs this machine's Wine runs (scripts/wine_env.sh).
source "$root/scripts/wine_env.sh"
dir="$build_root/$LITE_WIN_TREE"

if [ "$(id -u)" -eq 0 ]; then
  "$root/scripts/setup.sh"
fi
mkdir -p "$build_root"
cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$LITE_WIN_TOOLCHAIN" >"$dir.configure.log" 2>&1 ||
  { cat "$dir.configure.log"; exit 1; }
cmake --build "$dir" -j"$(nproc)" --target lite_installer lite_installer_test exit_code_runner \
  add_trust_resources install_test_root trust_fixtures stand_in_setup ui_driver

prefix="$dir/wineprefix"
"$root/scripts/wine_prefix.sh" "$prefix"

# The setup program the demo serves: LITE_DEMO_SETUP if given, otherwise the
# build's stand-in setup, otherwise a plain program that only exits with 23.
setup=${LITE_DEMO_SETUP:-}
if [ -z "$setup" ]; then
  setup=$(ls "$dir"/bin/*stand*in*setup*.exe "$dir"/bin/*setup*stand*in*.exe 2>/dev/null | head -n 1 || true)
fi
[ -n "$setup" ] || setup="$dir/trust_fixtures/plain_program.exe"
echo "== Setup program: $setup"

# Signed like a real package, but with the test PKI and demo key 0, which
# this build trusts because it embeds the demo keys (see docs/security.md).
package="$dir/demo/browser-setup.arc"
mkdir -p "$dir/demo"
"$root/tools/signing/make_demo_package.sh" "$setup" "$package" "$dir"

set +e
python3 "$root/scripts/demo_silent_road.py" "$dir" "$package"
status=$?
if [ $status -eq 0 ]; then
  echo
  echo "== Windowed road"
  python3 "$root/scripts/demo_windowed_road.py" "$dir" "$package" \
    "${LITE_DEMO_SCREENSHOTS:-$dir/demo/screenshots}"
  status=$?
fi
set -e
"$root/scripts/wine_stop.sh" "$prefix"
exit $status
