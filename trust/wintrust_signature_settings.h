// Declarations of the signature-selection extension of WINTRUST_DATA
// (Windows 8 and later), which MinGW-w64's <wintrust.h> lacks. Older systems
// ignore the trailing member because cbStruct tells them the shorter size
// they know. Windows build only.
#ifndef TRUST_WINTRUST_SIGNATURE_SETTINGS_H_
#define TRUST_WINTRUST_SIGNATURE_SETTINGS_H_

#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>

#ifndef WSS_VERIFY_SPECIFIC
#define WSS_VERIFY_SPECIFIC 0x00000001
#define WSS_GET_SECONDARY_SIG_COUNT 0x00000002

typedef struct WINTRUST_SIGNATURE_SETTINGS_ {
  DWORD cbStruct;
  DWORD dwIndex;
  DWORD dwFlags;
  DWORD cSecondarySigs;
  DWORD dwVerifiedSigIndex;
  void* pCryptoPolicy;  // PCERT_STRONG_SIGN_PARA; unused here
} WINTRUST_SIGNATURE_SETTINGS, *PWINTRUST_SIGNATURE_SETTINGS;
#endif

namespace lite_installer {

// WINTRUST_DATA with its pSignatureSettings member, laid out as the system
// expects: the classic structure followed directly by the pointer.
struct WintrustDataWithSettings {
  WINTRUST_DATA data;
  WINTRUST_SIGNATURE_SETTINGS* pSignatureSettings;
};

static_assert(sizeof(WINTRUST_SIGNATURE_SETTINGS) == 6 * 4 || sizeof(void*) != 4,
              "WINTRUST_SIGNATURE_SETTINGS layout");

}  // namespace lite_installer

#endif  // TRUST_WINTRUST_SIGNATURE_SETTINGS_H_
