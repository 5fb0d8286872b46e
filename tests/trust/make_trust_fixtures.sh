#!/usr/bin/env bash
# Builds the trust tests' packages into OUT: the test PKI, trusted
# descriptions signed with the demo keys, stand-in modules carrying them as
# resources (windres), Authenticode signatures (osslsigncode), and the faulty
# variants. Everything is regenerated only when this script or its inputs change.
#   make_trust_fixtures.sh OUT SOURCE_ROOT CC WINDRES
set -euo pipefail
out=${1:?} src=${2:?} cc=${3:?} windres=${4:?}
signing=$src/tools/signing
demo_keys=$src/tests/fixtures/demo_keys
mkdir -p "$out/work"
cd "$out"

"$signing/make_test_pki.sh" "$out/pki"
pki=$out/pki
sha1_id=$("$signing/signer_identity.sh" "$pki/leaf_sha1.pem" "$pki/root_ca.pem")
sha256_id=$("$signing/signer_identity.sh" "$pki/leaf_sha256.pem" "$pki/root_ca.pem")
other_id=$("$signing/signer_identity.sh" "$pki/leaf_other_root.pem" "$pki/other_root.pem")
printf '%s\n' "$sha1_id" > identity_sha1.txt
printf '%s\n' "$sha256_id" > identity_sha256.txt

"$cc" -Os -c "$src/tests/trust/fixture_program.c" -o work/program.o
"$cc" -Os -c "$src/tests/trust/fixture_library.c" -o work/library.o

description() {  # identity... -> JSON text
  local entries="" id
  for id in "$@"; do entries="$entries${entries:+, }{\"id\": \"$id\"}"; done
  printf '{"trusted_info": {"certificates": [%s]}}' "$entries"
}

# module NAME KIND(program|library) JSON_FILE SIGNATURE_FILE (either may be "-")
module() {
  local name=$1 kind=$2 json=$3 sig=$4 rc=work/$1.rc
  : > "$rc"
  [ "$json" != - ] && echo "TRUSTED.JSON TRUSTED_JSON \"$json\"" >> "$rc"
  [ "$sig" != - ] && echo "SIGNATURE.DAT SIGNATURE_DAT \"$sig\"" >> "$rc"
  "$windres" "$rc" -O coff -o "work/$name.res.o"
  if [ "$kind" = library ]; then
    "$cc" -shared -s "work/library.o" "work/$name.res.o" -o "work/$name.unsigned"
  else
    "$cc" -s "work/program.o" "work/$name.res.o" -o "work/$name.unsigned"
  fi
}

# authenticode IN OUT LEAF DIGEST
authenticode() {
  rm -f "$2"
  osslsigncode sign -certs "$pki/$3.chain.pem" -key "$pki/$3.key" -h "$4" -n "Lite Installer Test Package" \
    -in "$1" -out "$2" >/dev/null
}

# signed_module NAME KIND KEY_ID JSON_TEXT LEAF DIGEST
signed_module() {
  printf '%s' "$4" > "work/$1.json"
  "$signing/sign_description.sh" "work/$1.json" "$demo_keys/demo_key_$3.pem" "$3" "work/$1.sig"
  module "$1" "$2" "work/$1.json" "work/$1.sig"
  local ext=exe
  [ "$2" = library ] && ext=dll
  authenticode "work/$1.unsigned" "$1.$ext" "$5" "$6"
}

signed_module good_sha1 program 1 "$(description "$sha1_id")" leaf_sha1 sha1
signed_module good_sha256 program 0 "$(description "$sha256_id")" leaf_sha256 sha256
signed_module not_listed program 2 "$(description "$sha256_id")" leaf_sha1 sha1
signed_module untrusted_root program 3 "$(description "$other_id")" leaf_other_root sha256
signed_module library library 9 "$(description "$sha1_id")" leaf_sha1 sha1
printf '{"trusted_info": {"certificates": {"id": "%s"}}}' "$sha1_id" > work/certificates_object.json
signed_module certificates_object program 4 "$(cat work/certificates_object.json)" leaf_sha1 sha1

# Dual signature: SHA-1 first, SHA-256 nested second, both identities listed.
signed_module dual program 5 "$(description "$sha1_id" "$sha256_id")" leaf_sha1 sha1
rm -f work/dual.nested
osslsigncode sign -nest -certs "$pki/leaf_sha256.chain.pem" -key "$pki/leaf_sha256.key" -h sha256 \
  -in dual.exe -out work/dual.nested >/dev/null
mv work/dual.nested dual.exe

# The description differs by one byte from the bytes that were signed.
printf '%s' "$(description "$sha1_id")" > work/altered.signed.json
"$signing/sign_description.sh" work/altered.signed.json "$demo_keys/demo_key_1.pem" 1 work/altered.sig
sed 's/trusted_info/trusted_infO/' work/altered.signed.json > work/altered.json
module altered_description program work/altered.json work/altered.sig
authenticode work/altered_description.unsigned altered_description.exe leaf_sha1 sha1

# key_id 256 (bytes 00 01) and 10; the signature itself is valid for key 1.
for id in 256 10; do
  "$signing/sign_description.sh" work/good_sha1.json "$demo_keys/demo_key_1.pem" 1 "work/key_$id.sig"
  python3 -c 'import sys; p=sys.argv[1]; b=open(p,"rb").read(); open(p,"wb").write(int(sys.argv[2]).to_bytes(2,"little")+b[2:])' \
    "work/key_$id.sig" "$id"
  module "key_$id" program work/good_sha1.json "work/key_$id.sig"
  authenticode "work/key_$id.unsigned" "key_$id.exe" leaf_sha1 sha1
done

# A signature resource of only the two key_id bytes, and no description at all.
printf '\x01\x00' > work/short.sig
module short_signature program work/good_sha1.json work/short.sig
authenticode work/short_signature.unsigned short_signature.exe leaf_sha1 sha1
module no_description program - work/good_sha1.sig
authenticode work/no_description.unsigned no_description.exe leaf_sha1 sha1

# A code-signing certificate issued by the SHA-256 leaf, an end-entity
# certificate (its issuer's basic constraints say CA:false), listed as signer.
openssl req -new -newkey rsa:2048 -nodes -keyout work/leaf_issued.key -out work/leaf_issued.csr \
  -subj "/O=Lite Installer Tests/CN=Test Code Signing Issued By A Leaf" 2>/dev/null
openssl x509 -req -in work/leaf_issued.csr -CA "$pki/leaf_sha256.pem" -CAkey "$pki/leaf_sha256.key" \
  -set_serial 0x31323334 -days 7300 -sha256 -extfile "$pki/ext.cnf" -extensions leaf \
  -out work/leaf_issued.pem 2>/dev/null
cat work/leaf_issued.pem "$pki/leaf_sha256.pem" "$pki/root_ca.pem" > work/leaf_issued.chain.pem
leaf_issued_id=$("$signing/signer_identity.sh" work/leaf_issued.pem "$pki/leaf_sha256.pem")
printf '%s' "$(description "$leaf_issued_id")" > work/leaf_issued.json
"$signing/sign_description.sh" work/leaf_issued.json "$demo_keys/demo_key_6.pem" 6 work/leaf_issued.sig
module leaf_issued program work/leaf_issued.json work/leaf_issued.sig
rm -f leaf_issued.exe
osslsigncode sign -certs work/leaf_issued.chain.pem -key work/leaf_issued.key -h sha256 \
  -n "Lite Installer Test Package" -in work/leaf_issued.unsigned -out leaf_issued.exe >/dev/null

# Right description, no Authenticode signature.
cp work/good_sha1.unsigned unsigned.exe

# One byte of code changed after signing.
python3 - good_sha1.exe changed_after_signing.exe <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
pe = struct.unpack_from("<I", data, 0x3C)[0]
sections = struct.unpack_from("<H", data, pe + 6)[0]
optional_size = struct.unpack_from("<H", data, pe + 20)[0]
table = pe + 24 + optional_size
for i in range(sections):
    entry = table + 40 * i
    if data[entry:entry + 5] == b".text":
        raw = struct.unpack_from("<I", data, entry + 20)[0]
        data[raw + 16] ^= 0xFF
        break
else:
    sys.exit("no .text section")
open(sys.argv[2], "wb").write(data)
PY

# A plain program without description or signature, for the demo package.
"$cc" -s work/program.o -o plain_program.exe

# Not a PE file at all.
printf 'This is not a program.\n' > not_a_pe.exe

rm -f work/*.unsigned
touch stamp
