#!/usr/bin/env bash
# Proves that the release program is reproducible: clones one commit twice
# into two temporary folders of different names and depths, builds
# lite_installer.exe in each, and compares the two files byte for byte.
#   scripts/check_reproducible.sh [COMMIT]     (default HEAD)
#   LITE_JOBS=N      parallel jobs per build (default 2)
#   LITE_KEEP=1      keep the temporary folders
# Prints each build's SHA-256, size, PE time stamp and checksum, and ends with
# "reproducible" (exit 0) or "NOT reproducible" (exit 1). Two full builds: a
# few minutes; not part of the regular test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse --verify "${1:-HEAD}^{commit}")
jobs=${LITE_JOBS:-2}
work=$(mktemp -d /tmp/lite-repro.XXXXXX)
cleanup() { [ "${LITE_KEEP:-0}" = 1 ] || rm -rf "$work"; }
trap cleanup EXIT

# Jansson's sources come from Debian's source package; one download serves
# both builds (each unpacks its own copy inside its own build tree).
deps="$work/jansson"
if ls "$root"/build/win32/deps/jansson_2.14*.orig.tar.gz >/dev/null 2>&1; then
  mkdir -p "$deps"
  cp "$root"/build/win32/deps/jansson_2.14*.orig.tar.gz "$deps/"
else
  "$root/scripts/fetch_jansson.sh" "$deps"
fi

pe_field() {  # FILE OFFSET-FROM-PE-SIGNATURE: a 32-bit little-endian field
  python3 - "$1" "$2" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
print("0x%08x" % struct.unpack_from("<I", data, pe + int(sys.argv[2]))[0])
PY
}

build_one() {  # FOLDER
  local src=$1/src build=$1/build
  git clone -q --no-local "$root" "$src"
  git -C "$src" checkout -q --detach "$commit"
  mkdir -p "$build/deps"
  cp "$deps"/jansson_2.14*.orig.tar.gz "$build/deps/"
  cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" \
    >"$1.configure.log" 2>&1 || { cat "$1.configure.log"; return 1; }
  cmake --build "$build" -j"$jobs" --target lite_installer >"$1.build.log" 2>&1 ||
    { tail -30 "$1.build.log"; return 1; }
}

one="$work/one"
two="$work/a-second/folder-with-a-longer-name"
mkdir -p "$one" "$two"
echo "commit $commit"
for dir in "$one" "$two"; do
  start=$(date +%s)
  build_one "$dir"
  echo "built in $dir ($(( $(date +%s) - start )) s)"
done

status=0
first=""
for dir in "$one" "$two"; do
  exe="$dir/build/bin/lite_installer.exe"
  sum=$(sha256sum "$exe" | cut -d' ' -f1)
  printf '%s  %s bytes  time stamp %s  checksum %s  %s\n' "$sum" "$(stat -c %s "$exe")" \
    "$(pe_field "$exe" 8)" "$(pe_field "$exe" 88)" "$exe"
  if [ -z "$first" ]; then first=$sum; elif [ "$sum" != "$first" ]; then status=1; fi
done
if [ $status -eq 0 ]; then
  echo "reproducible"
else
  cmp -l "$one/build/bin/lite_installer.exe" "$two/build/bin/lite_installer.exe" | head -20 || true
  echo "NOT reproducible"
fi
exit $status
