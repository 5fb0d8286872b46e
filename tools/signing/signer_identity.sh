#!/usr/bin/env bash
# Prints the Base64 signer identity of a code-signing certificate as trusted
# descriptions list it: the issuer's serial number followed by the signing
# certificate's, each most significant byte first as in DER.
#   signer_identity.sh LEAF.pem ISSUER.pem
set -euo pipefail
serial_hex() {
  # The DER INTEGER's content bytes, including a leading 00 where the high bit is set.
  openssl x509 -in "$1" -noout -serial | sed 's/^serial=//' |
    python3 -c 'import sys; h=sys.stdin.read().strip(); h=("0"+h) if len(h)%2 else h; b=bytes.fromhex(h); b=(b"\0"+b) if b[0]&0x80 else b; print(b.hex())'
}
python3 -c 'import base64, sys; print(base64.b64encode(bytes.fromhex(sys.argv[1] + sys.argv[2])).decode())' \
  "$(serial_hex "$2")" "$(serial_hex "$1")"
