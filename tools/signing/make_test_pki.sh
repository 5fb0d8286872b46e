#!/usr/bin/env bash
# Creates a TEST public-key infrastructure for code signing in DIR (once; an
# existing complete DIR is kept):
#   root_ca.{key,pem,der}          test root CA (install it as trusted)
#   leaf_sha1.{key,pem}            code-signing certificate signed with SHA-1
#   leaf_sha256.{key,pem}          code-signing certificate signed with SHA-256
#   other_root.{key,pem}           a second root that nobody trusts
#   leaf_other_root.{key,pem}      SHA-256 code-signing certificate from it
#   <leaf>.chain.pem               the leaf followed by its root, for signing
# Serial numbers are fixed so that signer identities are known in advance.
# For tests and demos only: nothing here may sign a shipped package.
#   make_test_pki.sh DIR
set -euo pipefail
dir=${1:?usage: make_test_pki.sh DIR}
mkdir -p "$dir"
cd "$dir"
# Callers running at once make the PKI only once.
exec 8>"$dir.lock"
flock 8
[ -f .complete ] && exit 0

days=7300
cat > ext.cnf <<'CNF'
[root]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[leaf]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
CNF

make_root() {  # name serial common-name
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days $days -sha256 \
    -set_serial "$2" -subj "/O=Lite Installer Tests/CN=$3" -extensions root -config ext.cnf \
    2>/dev/null
  openssl x509 -in "$1.pem" -outform DER -out "$1.der"
}

make_leaf() {  # name serial digest issuer common-name
  openssl req -new -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" \
    -subj "/O=Lite Installer Tests/CN=$5" 2>/dev/null
  openssl x509 -req -in "$1.csr" -CA "$4.pem" -CAkey "$4.key" -set_serial "$2" -days $days "-$3" \
    -extfile ext.cnf -extensions leaf -out "$1.pem" 2>/dev/null
  cat "$1.pem" "$4.pem" > "$1.chain.pem"
  rm -f "$1.csr"
}

make_root root_ca 0x1A2B3C4D5E "Test Root CA (untrusted outside tests)"
make_leaf leaf_sha1 0x0102030405060708 sha1 root_ca "Test Code Signing SHA-1"
make_leaf leaf_sha256 0x11223344556677 sha256 root_ca "Test Code Signing SHA-256"
make_root other_root 0x5A5B5C5D "Test Root CA Nobody Trusts"
make_leaf leaf_other_root 0x21222324 sha256 other_root "Test Code Signing Untrusted Root"
touch .complete
