# Sourced by the Wine helpers: sets LITE_WIN_ARCH (scripts/wine_arch.sh
# decides when it is unset), WINEARCH for a prefix of that architecture,
# LITE_WINE, the Wine loader that runs its programs, and the name and
# toolchain file of the Windows tree whose programs run here
# (LITE_WIN_TREE, LITE_WIN_TOOLCHAIN). The 64-bit loader is
# named directly: the `wine` command prefers the 32-bit one whenever it is
# installed, even where it cannot start.
if [ -z "${LITE_WIN_ARCH:-}" ]; then
  LITE_WIN_ARCH=$("$(dirname "${BASH_SOURCE[0]}")/wine_arch.sh" | sed -n 1p)
fi
case $LITE_WIN_ARCH in
  x86_64)
    WINEARCH=win64
    LITE_WIN_TREE=win64
    LITE_WIN_TOOLCHAIN=mingw-x86_64.cmake
    LITE_WINE=/usr/lib/wine/wine64
    export WINELOADER=$LITE_WINE ;;
  i686)
    WINEARCH=win32
    LITE_WIN_TREE=win32
    LITE_WIN_TOOLCHAIN=mingw-i686.cmake
    LITE_WINE=wine ;;
  *) echo "LITE_WIN_ARCH must be i686 or x86_64, not '$LITE_WIN_ARCH'" >&2; exit 2 ;;
esac
export LITE_WIN_ARCH WINEARCH LITE_WINE LITE_WIN_TREE LITE_WIN_TOOLCHAIN

# lite_build_windows_targets ROOT TARGET...: configures the Windows tree
# (LITE_BUILD_DIR, or build/LITE_WIN_TREE under ROOT) when it has never been
# configured, builds TARGETs in it and leaves its path in LITE_BUILD.
lite_build_windows_targets() {
  local root=$1
  shift
  LITE_BUILD=${LITE_BUILD_DIR:-$root/build/$LITE_WIN_TREE}
  if [ ! -f "$LITE_BUILD/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$LITE_BUILD" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$LITE_WIN_TOOLCHAIN" >/dev/null
  fi
  cmake --build "$LITE_BUILD" -j2 --target "$@" >/dev/null
}
