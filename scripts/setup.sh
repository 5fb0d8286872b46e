#!/usr/bin/env bash
# Installs every Debian package the project needs and fetches Jansson's source
# package for the MinGW build. Safe to run again: it only updates the package
# lists and installs when something is missing.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
  # The Windows tests' x86_64 build and 64-bit Wine, for machines that cannot
  # run 32-bit programs (scripts/wine_arch.sh).
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine32:i386 wine64
  xvfb xcompmgr x11-utils imagemagick fonts-liberation
  libjansson-dev googletest libgtest-dev
  gcab openssl osslsigncode nginx-light python3
  dpkg-dev file
  # Compiler cache for scripts/test.sh: unchanged sources are not compiled
  # again, in any checkout of the project on the machine.
  ccache
  # The fuzz tree: clang with libFuzzer and the sanitizer runtimes.
  clang-14 libclang-rt-14-dev
  # UI test bench: a CJK font for Japanese and Chinese dialogs, and the
  # locales that switch Wine's interface language.
  fonts-wqy-microhei locales
)

if [ "$(id -u)" -ne 0 ]; then
  echo "setup.sh: run as root (it installs Debian packages)" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
need_update=0

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

src_list=/etc/apt/sources.list.d/lite-installer-src.sources
if [ ! -f "$src_list" ]; then
  cat > "$src_list" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done

# The i386 lists must exist before wine32:i386 can be found.
if [ ${#missing[@]} -gt 0 ] && ! ls /var/lib/apt/lists/*i386_Packages* >/dev/null 2>&1; then
  need_update=1
fi
if [ ! -e /var/lib/apt/lists/*bookworm_main_source_Sources* ] 2>/dev/null; then
  ls /var/lib/apt/lists/*_source_Sources* >/dev/null 2>&1 || need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
  if [ $need_update -eq 1 ] || [ ${#missing[@]} -gt 0 ]; then
    apt-get update -q
  fi
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup.sh: installing ${missing[*]}"
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Locales for windowed runs in other interface languages (LC_ALL=de_DE.UTF-8).
ui_locales=(de_DE.UTF-8 ru_RU.UTF-8 ja_JP.UTF-8)
locales_missing=0
for l in "${ui_locales[@]}"; do
  locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}" || locales_missing=1
done
if [ $locales_missing -eq 1 ]; then
  for l in "${ui_locales[@]}"; do
    grep -qx "$l UTF-8" /etc/locale.gen 2>/dev/null || echo "$l UTF-8" >> /etc/locale.gen
  done
  locale-gen >/dev/null
fi

echo "setup.sh: packages ready"
