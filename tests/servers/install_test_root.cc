// Adds a DER certificate to the machine's Root store of the Wine prefix it
// runs in, so that the test servers' https certificates are trusted there:
//   install_test_root.exe CERT.der
// Exit code 0 when the certificate is in the store.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <string>

#include "installer/environment.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: install_test_root CERT.der\n");
    return 2;
  }
  const std::string der = LoadFileBytes(argv[1]);
  if (der.empty()) {
    std::fprintf(stderr, "cannot read the certificate\n");
    return 1;
  }
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                                   CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
  if (store == nullptr) {
    std::fprintf(stderr, "CertOpenStore failed: %lu\n", GetLastError());
    return 1;
  }
  const BOOL added = CertAddEncodedCertificateToStore(
      store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
      static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  const DWORD error = GetLastError();
  CertCloseStore(store, 0);
  if (!added) {
    std::fprintf(stderr, "CertAddEncodedCertificateToStore failed: 0x%lx\n", error);
    return 1;
  }
  return 0;
}
