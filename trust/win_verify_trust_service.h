// The trust verification service on the system's Authenticode verification:
// WinVerifyTrust with WINTRUST_ACTION_GENERIC_VERIFY_V2, one signature index
// at a time, and the WTHelper functions for the signer chain. wintrust.dll is
// loaded from System32 at run time; without it (or its entry points) every
// verification fails. Windows build only.
#ifndef TRUST_WIN_VERIFY_TRUST_SERVICE_H_
#define TRUST_WIN_VERIFY_TRUST_SERVICE_H_

#include <string>

#include "base/system_library.h"
#include "trust/trust_verification_service.h"
#include "trust/wintrust_signature_settings.h"

namespace lite_installer {

class WinVerifyTrustService : public TrustVerificationService {
 public:
  // `cache_only_revocation` false: revocation checked on the whole chain
  // except the root; true: no revocation check, cached URLs only. When
  // `module_file` is a file handle (not null) the system reads the module
  // through it, rewound before each verification, and never reopens the
  // path; the caller keeps it open for the service's lifetime.
  WinVerifyTrustService(const std::wstring& module_path, HANDLE module_file, bool cache_only_revocation);
  // The system opens the module at `module_path` itself.
  WinVerifyTrustService(const std::wstring& module_path, bool cache_only_revocation)
      : WinVerifyTrustService(module_path, nullptr, cache_only_revocation) {}
  ~WinVerifyTrustService() override { Close(); }
  WinVerifyTrustService(const WinVerifyTrustService&) = delete;
  WinVerifyTrustService& operator=(const WinVerifyTrustService&) = delete;

  uint32_t VerifySignature(uint32_t index) override;
  uint32_t SecondarySignatureCount() const override { return settings_.cSecondarySigs; }
  bool ReadSigners(SignerFacts* facts) override;
  void Close() override;

 private:
  // wintrust takes these by bare name while it reads a signature (delay
  // loads, which under Wine ignore the restricted search); loaded from
  // System32 first, these copies are the ones it finds.
  SystemLibrary imagehlp_{L"imagehlp.dll"};
  SystemLibrary dbghelp_{L"dbghelp.dll"};
  SystemLibrary wintrust_{L"wintrust.dll"};
  decltype(WinVerifyTrust)* verify_trust_ = nullptr;
  decltype(WTHelperProvDataFromStateData)* provider_data_ = nullptr;
  decltype(WTHelperGetProvSignerFromChain)* signer_from_chain_ = nullptr;
  decltype(WTHelperGetProvCertFromChain)* cert_from_chain_ = nullptr;
  std::wstring module_path_;
  WINTRUST_FILE_INFO file_info_ = {};
  WINTRUST_SIGNATURE_SETTINGS settings_ = {};
  WintrustDataWithSettings request_ = {};
  bool state_open_ = false;
};

}  // namespace lite_installer

#endif  // TRUST_WIN_VERIFY_TRUST_SERVICE_H_
