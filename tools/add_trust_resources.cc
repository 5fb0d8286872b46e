// add_trust_resources.exe PACKAGE DESCRIPTION.json SIGNATURE.dat
// Writes a trusted description and its signature into an existing program as
// the resources "TRUSTED.JSON" (type "TRUSTED_JSON") and "SIGNATURE.DAT"
// (type "SIGNATURE_DAT"), replacing earlier ones. Sign the package with
// Authenticode afterwards: changing resources invalidates a signature.
// Exit code 0 on success.
#include <windows.h>

#include <string>

#include "base/environment.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const std::string description = LoadFileBytes(argv[2]);
  const std::string signature = LoadFileBytes(argv[3]);
  if (description.empty() || signature.size() <= 2) return 3;
  HANDLE update = BeginUpdateResourceW(argv[1], FALSE);
  if (update == nullptr) return 4;
  const WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
  const bool written =
      UpdateResourceW(update, L"TRUSTED_JSON", L"TRUSTED.JSON", language, const_cast<char*>(description.data()),
                      static_cast<DWORD>(description.size())) &&
      UpdateResourceW(update, L"SIGNATURE_DAT", L"SIGNATURE.DAT", language, const_cast<char*>(signature.data()),
                      static_cast<DWORD>(signature.size()));
  if (!EndUpdateResourceW(update, written ? FALSE : TRUE) || !written) return 5;
  return 0;
}
