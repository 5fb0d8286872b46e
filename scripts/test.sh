#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (ASan, UBSan),
# the fuzz harnesses for a short fixed number of executions each (clang,
# ASan, UBSan) and the Windows tests under Wine. Installs what the project needs first.
#   scripts/test.sh            build trees under ./build
#   LITE_BUILD_ROOT=DIR ...    build trees under DIR instead
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${LITE_BUILD_ROOT:-$root/build}
jobs=${LITE_JOBS:-$(nproc)}

if [ "$(id -u)" -eq 0 ]; then
  "$root/scripts/setup.sh"
fi

summary=$(mktemp)
trap 'rm -f "$summary"' EXIT
status=0

run_tree() {
  local name=$1
  shift
  local dir="$build_root/$name"
  echo "== $name: configure and build"
  cmake -S "$root" -B "$dir" "$@" >"$dir.configure.log" 2>&1 || {
    cat "$dir.configure.log"
    return 1
  }
  cmake --build "$dir" -j"$jobs"
  echo "== $name: test"
  ctest --test-dir "$dir" --output-on-failure -j1 | tee -a "$summary" || return 1
}

mkdir -p "$build_root"
run_tree native || status=1
run_tree fuzz -DLITE_FUZZ=ON -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 || status=1
run_tree win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" || status=1

# One closing line over both trees.
python3 - "$summary" <<'PY'
import re, sys
passed = failed = 0
for line in open(sys.argv[1], errors="replace"):
    m = re.search(r"(\d+)% tests passed, (\d+) tests? failed out of (\d+)", line)
    if m:
        failed += int(m.group(2))
        passed += int(m.group(3)) - int(m.group(2))
print("%d passed, %d failed" % (passed, failed))
PY
exit $status
