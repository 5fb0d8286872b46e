#!/usr/bin/env bash
# Fetches and unpacks Debian's jansson source package into $1 (the build
# tree's deps folder). Nothing of it is committed.
set -euo pipefail
dest=${1:?usage: fetch_jansson.sh DEST}
mkdir -p "$dest"
cd "$dest"
if [ -f jansson-2.14/CMakeLists.txt ]; then
  exit 0
fi
if ! ls jansson_2.14*.orig.tar.gz >/dev/null 2>&1; then
  apt-get source --download-only jansson >/dev/null 2>&1 || {
    echo "fetch_jansson.sh: apt-get source failed; run scripts/setup.sh first" >&2
    exit 1
  }
fi
tar xzf jansson_2.14*.orig.tar.gz
test -f jansson-2.14/CMakeLists.txt
