#include "tests/trust/test_root_store.h"

#include <windows.h>
#include <wincrypt.h>

#include "base/environment.h"

namespace lite_installer {
namespace testing {

bool AddTestRootCertificate(const std::wstring& der_path) {
  const std::string der = LoadFileBytes(der_path);
  if (der.empty()) return false;
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
  if (store == nullptr) return false;
  const BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING,
                                                      reinterpret_cast<const BYTE*>(der.data()),
                                                      static_cast<DWORD>(der.size()), CERT_STORE_ADD_USE_EXISTING,
                                                      nullptr);
  CertCloseStore(store, 0);
  return added != FALSE;
}

}  // namespace testing
}  // namespace lite_installer
