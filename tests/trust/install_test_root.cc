// install_test_root.exe ROOT.der: trusts a test root CA in the current Wine
// prefix, so packages signed with the test PKI verify. Exit code 0 on success.
#include <windows.h>

#include "tests/trust/test_root_store.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  return lite_installer::testing::AddTestRootCertificate(argv[1]) ? 0 : 1;
}
