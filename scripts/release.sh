#!/usr/bin/env bash
# Builds, signs and tags the installer for publication in one command:
#
#   scripts/release.sh [OPTIONS] TAG_LIST
#
#   --cert FILE          code-signing certificate chain (PEM or DER), and
#   --key FILE           its private key; default: the TEST PKI made by
#                        tools/signing/make_test_pki.sh (not for shipping)
#   --key-pass-file FILE passphrase of the key
#   --ca-file FILE       roots that verify the signatures (default: the test
#                        root with the test PKI, else the system's roots)
#   --trust-keys FILE    the built-in package trust keys (LITE_TRUST_KEY_FILE)
#   --build-dir DIR      release build tree (default: build/release)
#   --reader-dir DIR     Windows build tree whose read_distribution_tag.exe
#                        reads the tags back under Wine, in its prefix
#                        (default: the release tree; where 32-bit Wine cannot
#                        start, the x86_64 tree build/win64)
#   --out DIR            where the copies are published (default:
#                        DIR/published-<commit>); must be new or empty
#
# Steps: check every line of TAG_LIST (one tag per line, see
# scripts/release_tags.py); build lite_installer.exe; sign it with
# osslsigncode; stamp one copy per tag with tools/stamp_distribution_tag.py;
# verify every copy's signature with `osslsigncode verify`; read every tag
# back with the installer's own reader under Wine; print the table (file,
# size, SHA-256, language, tag). The copies are prepared in a staging folder
# and moved to the output folder only when every check has passed: a bad tag
# line, a failed signature or a tag read back wrong publishes nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${LITE_BUILD_ROOT:-$root/build}

die() { echo "release: $*" >&2; exit 1; }
usage() { sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2; }

cert="" key="" key_pass="" ca_file="" trust_keys="" build="$build_root/release" reader="" out="" list=""
while [ $# -gt 0 ]; do
  case $1 in
    --cert) cert=${2:?}; shift 2 ;;
    --key) key=${2:?}; shift 2 ;;
    --key-pass-file) key_pass=${2:?}; shift 2 ;;
    --ca-file) ca_file=${2:?}; shift 2 ;;
    --trust-keys) trust_keys=${2:?}; shift 2 ;;
    --build-dir) build=${2:?}; shift 2 ;;
    --reader-dir) reader=${2:?}; shift 2 ;;
    --out) out=${2:?}; shift 2 ;;
    -h|--help) usage ;;
    -*) die "unknown option $1 (see --help)" ;;
    *) [ -z "$list" ] || die "one tag list only"; list=$1; shift ;;
  esac
done
[ -n "$list" ] || usage
build=$(realpath -m "$build")
# The reader runs under this machine's Wine (scripts/wine_env.sh).
source "$root/scripts/wine_env.sh"
if [ -z "$reader" ]; then
  if [ "$LITE_WIN_ARCH" = i686 ]; then reader=$build; else reader=$build_root/$LITE_WIN_TREE; fi
fi
reader=$(realpath -m "$reader")
[ -z "$out" ] || out=$(realpath -m "$out")
[ -f "$list" ] || die "no tag list at $list"
[ -z "$trust_keys" ] || [ -f "$trust_keys" ] || die "no trust key file at $trust_keys"
if [ -n "$cert$key" ] && { [ -z "$cert" ] || [ -z "$key" ]; }; then
  die "--cert and --key go together"
fi

# 1. The tag list, before anything is built or written.
tags=$(mktemp)
trap 'rm -f "$tags"' EXIT
python3 "$root/scripts/release_tags.py" check "$list" >"$tags" || die "bad tag list $list: nothing published"
count=$(wc -l <"$tags")

commit=$(git -C "$root" rev-parse --short=12 HEAD 2>/dev/null || echo unknown)
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  echo "release: WARNING: the working tree has uncommitted changes; the program is not that of commit $commit" >&2
  commit="$commit-modified"
fi
out=${out:-$build/published-$commit}
if [ -e "$out" ] && [ -n "$(ls -A "$out")" ]; then
  die "$out already holds files; remove it or choose --out"
fi

# 2. The release program.
if [ ! -f "$build/CMakeCache.txt" ] || [ -n "$trust_keys" ]; then
  config=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel)
  [ -z "$trust_keys" ] || config+=(-DLITE_TRUST_KEY_FILE="$(realpath "$trust_keys")")
  cmake -S "$root" -B "$build" "${config[@]}" >"$build.configure.log" 2>&1 ||
    { cat "$build.configure.log" >&2; die "configuring $build failed"; }
fi
key_file=$(sed -n 's/^LITE_TRUST_KEY_FILE:[A-Z]*=//p' "$build/CMakeCache.txt")
if [ "$(realpath -m "$key_file")" = "$(realpath "$root/trust/keys/demo_public_keys.txt")" ]; then
  echo "release: WARNING: this program trusts the DEMO package keys (use --trust-keys)" >&2
fi
if [ "$reader" = "$build" ]; then
  targets=(lite_installer read_distribution_tag)
else
  targets=(lite_installer)
  if [ ! -f "$reader/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$reader" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$LITE_WIN_TOOLCHAIN" >"$reader.configure.log" 2>&1 ||
      { cat "$reader.configure.log" >&2; die "configuring $reader failed"; }
  fi
  cmake --build "$reader" -j"${LITE_JOBS:-2}" --target read_distribution_tag >"$reader.build.log" 2>&1 ||
    { tail -30 "$reader.build.log" >&2; die "building the tag reader failed"; }
fi
cmake --build "$build" -j"${LITE_JOBS:-2}" --target "${targets[@]}" >"$build.build.log" 2>&1 ||
  { tail -30 "$build.build.log" >&2; die "building the release program failed"; }
program="$build/bin/lite_installer.exe"

# 3. Signing.
if [ -z "$cert" ]; then
  pki="$build/test_pki"
  "$root/tools/signing/make_test_pki.sh" "$pki"
  cert="$pki/leaf_sha256.chain.pem" key="$pki/leaf_sha256.key"
  ca_file=${ca_file:-$pki/root_ca.pem}
  echo "release: WARNING: signed with the TEST certificate; do not publish these copies" >&2
fi
ca_file=${ca_file:-/etc/ssl/certs/ca-certificates.crt}
mkdir -p "$(dirname "$out")"
staging=$(mktemp -d "$(dirname "$out")/.staging.XXXXXX")
trap 'rm -f "$tags"; rm -rf "$staging"' EXIT
sign=(osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n "Korvex Browser")
[ -z "$key_pass" ] || sign+=(-readpass "$key_pass")
"${sign[@]}" -in "$program" -out "$staging/lite_installer.exe" >"$staging.sign.log" 2>&1 ||
  { cat "$staging.sign.log" >&2; rm -f "$staging.sign.log"; die "signing failed"; }
rm -f "$staging.sign.log"

# 4. One stamped copy per tag.
files=("$staging/lite_installer.exe")
width=${#count}; [ "$width" -ge 2 ] || width=2
n=0
while IFS= read -r tag; do
  n=$((n + 1))
  copy=$(printf '%s/lite_installer-%0*d.exe' "$staging" "$width" "$n")
  python3 "$root/tools/stamp_distribution_tag.py" "$staging/lite_installer.exe" "$copy" "$tag" ||
    die "stamping copy $n failed: nothing published"
  files+=("$copy")
done <"$tags"

# 5. Every signature, and every tag as the installer itself reads it.
for file in "${files[@]}"; do
  osslsigncode verify -CAfile "$ca_file" -in "$file" >"$staging.verify.log" 2>&1 ||
    { cat "$staging.verify.log" >&2; rm -f "$staging.verify.log"; die "$(basename "$file"): signature does not verify: nothing published"; }
done
rm -f "$staging.verify.log"
prefix=${LITE_WINEPREFIX:-$reader/wineprefix}
windows_files=()
for file in "${files[@]}"; do windows_files+=("Z:$file"); done
"$root/scripts/wine_run.sh" "$prefix" "$reader/bin/read_distribution_tag.exe" "${windows_files[@]}" \
  >"$staging/reader.txt" 2>"$staging/reader.err" ||
  { cat "$staging/reader.err" >&2; die "the tag reader failed under Wine: nothing published"; }
[ "${LITE_RELEASE_KEEP_WINESERVER:-0}" = 1 ] || "$root/scripts/wine_stop.sh" "$prefix"
echo "program: $(stat -c %s "$program") bytes, SHA-256 $(sha256sum "$program" | cut -d' ' -f1) (unsigned; any build of commit $commit with the same configuration gives these bytes)"
python3 "$root/scripts/release_tags.py" table "$list" "$staging/reader.txt" "${files[@]}" ||
  die "a copy's tag does not read back as listed: nothing published"
rm -f "$staging/reader.txt" "$staging/reader.err"

# 6. Publish.
chmod 755 "$staging"
rmdir "$out" 2>/dev/null || true
mv "$staging" "$out"
trap 'rm -f "$tags"' EXIT
echo "published $((count + 1)) files (the signed program and $count tagged copies) in $out"
