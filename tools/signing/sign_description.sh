#!/usr/bin/env bash
# Writes the "SIGNATURE.DAT" resource for a trusted description: key_id as an
# unsigned 16-bit little-endian number, then the RSA PKCS #1 v1.5 SHA-1
# signature over every byte of the description (most significant byte first).
#   sign_description.sh DESCRIPTION.json PRIVATE_KEY.pem KEY_ID OUT.dat
set -euo pipefail
json=${1:?} key=${2:?} key_id=${3:?} out=${4:?}
printf "\\x$(printf %02x $((key_id & 255)))\\x$(printf %02x $(((key_id >> 8) & 255)))" > "$out"
openssl dgst -sha1 -sign "$key" "$json" >> "$out"
