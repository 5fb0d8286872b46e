#!/usr/bin/env bash
# Makes a DEMO setup package from any Windows program: a trusted description
# listing the test SHA-256 code-signing certificate, signed with demo key 0,
# written into the program's resources, then an Authenticode SHA-256
# signature from the test PKI. A build that embeds the demo keys and whose
# Wine prefix trusts the test root accepts the result.
#   make_demo_package.sh IN.exe OUT.exe [WIN32_BUILD_DIR]
# WIN32_BUILD_DIR (default build/win32, or build/win64 where 32-bit Wine
# cannot start: scripts/wine_env.sh) must hold bin/add_trust_resources.exe
# and bin/install_test_root.exe; the test PKI is kept in WIN32_BUILD_DIR/demo_pki
# and its root is installed into LITE_WINEPREFIX when set (a test suite's
# own prefix), else into WIN32_BUILD_DIR/wineprefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
in=${1:?usage: make_demo_package.sh IN.exe OUT.exe [WIN32_BUILD_DIR]}
out=${2:?usage: make_demo_package.sh IN.exe OUT.exe [WIN32_BUILD_DIR]}
source "$root/scripts/wine_env.sh"
build=$(cd "${3:-$root/build/$LITE_WIN_TREE}" && pwd)
prefix=${LITE_WINEPREFIX:-$build/wineprefix}
signing=$root/tools/signing
pki=$build/demo_pki
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$signing/make_test_pki.sh" "$pki"
identity=$("$signing/signer_identity.sh" "$pki/leaf_sha256.pem" "$pki/root_ca.pem")
printf '{"trusted_info": {"certificates": [{"id": "%s"}]}}' "$identity" > "$work/trusted.json"
"$signing/sign_description.sh" "$work/trusted.json" "$root/tests/fixtures/demo_keys/demo_key_0.pem" 0 "$work/signature.dat"

# The resource tool runs under Wine, which reaches the files through drive Z:.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
cp "$in" "$work/package.exe"
"$root/scripts/wine_run.sh" "$prefix" "$build/bin/add_trust_resources.exe" "$(winpath "$work/package.exe")" \
  "$(winpath "$work/trusted.json")" "$(winpath "$work/signature.dat")"
"$root/scripts/wine_run.sh" "$prefix" "$build/bin/install_test_root.exe" "$(winpath "$pki/root_ca.der")"

rm -f "$out"
osslsigncode sign -certs "$pki/leaf_sha256.chain.pem" -key "$pki/leaf_sha256.key" -h sha256 \
  -n "Demo setup package" -in "$work/package.exe" -out "$out" >/dev/null
echo "Signed demo package: $out"
