#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (ASan, UBSan),
# the fuzz harnesses for a short fixed number of executions each (clang,
# ASan, UBSan) and the Windows tests under Wine. Installs what the project needs first.
#   scripts/test.sh            build trees under ./build
#   LITE_BUILD_ROOT=DIR ...    build trees under DIR instead
#   LITE_JOBS=N                build jobs (default: the number of cores)
#   LITE_TEST_JOBS=N           Windows suites run at once (default 3: they
#                              mostly wait, so three fit on two cores)
#   LITE_NO_CCACHE=1           compile without the compiler cache
#   LITE_WIN_ARCH=i686|x86_64  the Windows tests' architecture (default: i686
#                              where this machine runs 32-bit programs, else
#                              x86_64; scripts/wine_arch.sh)
# The Windows test tree is build/win32 (i686, a win32 prefix) or, where
# 32-bit Wine cannot start, build/win64 (x86_64, a win64 prefix, the 64-bit
# Wine loader); the shipped program is i686 either way, so an x86_64 run also
# builds it in build/win32 (the product programs only) and checks its size and
# imports there.
# Work overlaps where it can: the Wine prefix is made while the Windows tree
# builds, and the native and fuzz trees build and run their tests while the
# Windows suites run. At the end a table gives the time of every test and stage.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${LITE_BUILD_ROOT:-$root/build}
jobs=${LITE_JOBS:-$(nproc)}
test_jobs=${LITE_TEST_JOBS:-3}
started=$(date +%s)

if [ "$(id -u)" -eq 0 ]; then
  "$root/scripts/setup.sh"
fi

# The compiler cache (scripts/setup.sh installs it): sources compiled before,
# in this checkout or in another checkout of the project on the machine, are
# not compiled again. Paths under the checkout are hashed relative to it, so
# a fresh clone finds what an earlier one compiled. LITE_NO_CCACHE=1 (or
# launchers of one's own) turns it off; trees keep the choice of their first
# configuration.
if [ -z "${LITE_NO_CCACHE:-}" ] && command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
  export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
fi

work=$(mktemp -d)
background=()
trap 'for pid in "${background[@]}"; do kill "$pid" 2>/dev/null || true; done; rm -rf "$work"' EXIT
status=0

stage() {  # stage NAME SECONDS: one row of the closing table
  printf '%s\t%s\n' "$1" "$2" >>"$work/stages"
}

configure_and_build() {
  local name=$1
  shift
  local dir="$build_root/$name" t0
  t0=$(date +%s)
  echo "== $name: configure and build"
  mkdir -p "$dir"
  cmake -S "$root" -B "$dir" "$@" >"$dir.configure.log" 2>&1 || {
    cat "$dir.configure.log"
    return 1
  }
  # BUILD_TARGETS (a space-separated list) builds only those.
  ${LOWER_PRIORITY:-} cmake --build "$dir" -j"$jobs" ${BUILD_TARGETS:+--target $BUILD_TARGETS} || return 1
  stage "$name build" $(($(date +%s) - t0))
}

run_tests() {  # run_tests NAME JOBS [CTEST_ARGS...]: ctest in the tree, its output kept
  local name=$1 jobs=$2 t0
  shift 2
  t0=$(date +%s)
  local result=0
  ${LOWER_PRIORITY:-} ctest --test-dir "$build_root/$name" --output-on-failure -j"$jobs" "$@" \
    >"$work/$name.ctest" 2>&1 || result=$?
  stage "$name tests" $(($(date +%s) - t0))
  return $result
}

# The architecture of the Windows tests, chosen once; every Wine helper
# started from here inherits it.
arch_choice=$("$root/scripts/wine_arch.sh")
export LITE_WIN_ARCH=${arch_choice%%$'\n'*}
arch_line="Windows suites: $LITE_WIN_ARCH (${arch_choice#*$'\n'})"
source "$root/scripts/wine_env.sh"
win=$LITE_WIN_TREE
echo "== $arch_line"
shipped_args=()
if [ "$win" != win32 ]; then
  shipped_args=(-DLITE_SHIPPED_BUILD_DIR="$build_root/win32")
fi

mkdir -p "$build_root/$win"
# The Wine prefix is made once (under its own lock) while the Windows tree
# builds.
"$root/scripts/wine_prefix.sh" "$build_root/$win/wineprefix" >"$work/prefix.log" 2>&1 &
prefix_pid=$!
background+=("$prefix_pid")

# The shipped program's own tree, when the test tree is of another
# architecture: the product programs only, built beside the test tree
# (the release test signs and tags its program, so it must be ready first).
shipped_pid=
if [ "$win" != win32 ]; then
  (BUILD_TARGETS="lite_installer lite_installer_test" \
    configure_and_build win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake") >"$work/shipped.log" 2>&1 &
  shipped_pid=$!
  background+=("$shipped_pid")
fi

win_tests_pid=
if configure_and_build "$win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$LITE_WIN_TOOLCHAIN" \
    "${shipped_args[@]}" && { [ -z "$shipped_pid" ] || wait "$shipped_pid" || { cat "$work/shipped.log"; false; }; }; then
  if wait "$prefix_pid"; then
    # The Windows suites mostly wait (on Wine, servers, timeouts): the native
    # tree builds and tests meanwhile, at a lower priority.
    echo "== $win: test (in the background)"
    run_tests "$win" "$test_jobs" &
    win_tests_pid=$!
    background+=("$win_tests_pid")
  else
    cat "$work/prefix.log"
    status=1
  fi
else
  status=1
fi

if LOWER_PRIORITY="nice -n 10" configure_and_build native; then
  LOWER_PRIORITY="nice -n 10" run_tests native 2 || status=1
else
  status=1
fi
echo "== native: test"
cat "$work/native.ctest" 2>/dev/null || true

# The fuzz harnesses (clang, libFuzzer, ASan, UBSan), each for a short fixed
# number of executions; scripts/fuzz.sh runs them for longer.
if LOWER_PRIORITY="nice -n 10" configure_and_build fuzz -DLITE_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14; then
  LOWER_PRIORITY="nice -n 10" run_tests fuzz 1 || status=1
else
  status=1
fi
echo "== fuzz: test"
cat "$work/fuzz.ctest" 2>/dev/null || true

if [ -n "$shipped_pid" ]; then
  # The shipped program's imports, in its own tree (its size was checked
  # when it was linked).
  grep 'release size' "$work/shipped.log" || true
  run_tests win32 1 -R '^installer_imports$' || status=1
  echo "== win32 (shipped program): test"
  cat "$work/win32.ctest"
fi

if [ -n "$win_tests_pid" ]; then
  wait "$win_tests_pid" || status=1
  echo "== $win: test"
  cat "$work/$win.ctest"
fi
echo "== $arch_line"
stage "total (wall)" $(($(date +%s) - started))

# One closing table of times, one line over every tree and the test share.
python3 - "$work" "$root" <<'PY'
import glob, os, re, sys
work, root = sys.argv[1], sys.argv[2]
passed = failed = 0
rows = []
for path in sorted(glob.glob(os.path.join(work, "*.ctest"))):
    tree = os.path.basename(path)[:-len(".ctest")]
    for line in open(path, errors="replace"):
        m = re.search(r"Test\s+#\d+: (\S+) \.+\s*(.*?)\s+([\d.]+) sec", line)
        if m:
            rows.append((float(m.group(3)), tree, m.group(1), m.group(2).split()[0] if m.group(2) else ""))
        m = re.search(r"(\d+)% tests passed, (\d+) tests? failed out of (\d+)", line)
        if m:
            failed += int(m.group(2))
            passed += int(m.group(3)) - int(m.group(2))
print("\nTime of each test (seconds):")
for seconds, tree, name, result in sorted(rows, reverse=True):
    print("  %8.1f  %-6s %-34s %s" % (seconds, tree, name, result))
print("Stages (seconds):")
for line in open(os.path.join(work, "stages")):
    name, seconds = line.rstrip("\n").split("\t")
    print("  %8s  %s" % (seconds, name))
print("%d passed, %d failed" % (passed, failed))

# Test share: non-blank lines of code files under tests/ over those of the
# product's folders (docs/testing.md says what is counted).
CODE_SUFFIXES = (".cc", ".h", ".c", ".rc", ".py", ".sh", ".cmake")
PRODUCT_FOLDERS = ("app", "base", "net", "brand", "trust", "install", "stats", "ui", "resources")
TEST_FOLDERS = ("tests",)

def code_lines(folders):
    count = 0
    for folder in folders:
        for directory, subfolders, files in os.walk(os.path.join(root, folder)):
            subfolders[:] = [s for s in subfolders if not s.startswith(".") and s != "__pycache__"]
            for name in files:
                if name.endswith(CODE_SUFFIXES):
                    with open(os.path.join(directory, name), errors="replace") as source:
                        count += sum(1 for line in source if line.strip())
    return count

product_lines = code_lines(PRODUCT_FOLDERS)
test_lines = code_lines(TEST_FOLDERS)
if product_lines:
    print("test share: {:,} test lines / {:,} product lines = {:.2f}".format(
        test_lines, product_lines, test_lines / product_lines))
PY
echo "$arch_line"
exit $status
