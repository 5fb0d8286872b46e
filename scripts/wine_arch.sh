#!/usr/bin/env bash
# Prints the architecture the Windows test tree is built for and run on under
# Wine, then on a second line why:
#   i686    32-bit programs, a win32 prefix, the 32-bit Wine loader (the
#           shipped program's own architecture);
#   x86_64  64-bit programs, a win64 prefix, the 64-bit Wine loader, for
#           machines whose kernel cannot run 32-bit x86 programs at all (and
#           so cannot start 32-bit Wine).
# LITE_WIN_ARCH=i686|x86_64 chooses instead of the check.
set -euo pipefail
case ${LITE_WIN_ARCH:-} in
  i686|x86_64)
    printf '%s\nLITE_WIN_ARCH=%s was set\n' "$LITE_WIN_ARCH" "$LITE_WIN_ARCH"
    exit 0 ;;
  "") ;;
  *) echo "wine_arch.sh: LITE_WIN_ARCH must be i686 or x86_64, not '$LITE_WIN_ARCH'" >&2; exit 2 ;;
esac
# The 32-bit dynamic loader is a 32-bit program: it runs only where the
# kernel executes 32-bit code.
loader=/lib/ld-linux.so.2
if [ -x "$loader" ] && "$loader" --version >/dev/null 2>&1; then
  printf 'i686\nthis machine runs 32-bit programs (%s starts)\n' "$loader"
elif [ -e "$loader" ]; then
  printf 'x86_64\nthis machine cannot run 32-bit programs (%s does not start)\n' "$loader"
else
  printf 'x86_64\nthis machine has no 32-bit loader (%s)\n' "$loader"
fi
