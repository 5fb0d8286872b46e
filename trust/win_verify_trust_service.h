// The trust verification service on the system's Authenticode verification:
// WinVerifyTrust with WINTRUST_ACTION_GENERIC_VERIFY_V2, one signature index
// at a time, and the WTHelper functions for the signer chain. Windows build
// only.
#ifndef TRUST_WIN_VERIFY_TRUST_SERVICE_H_
#define TRUST_WIN_VERIFY_TRUST_SERVICE_H_

#include <string>

#include "trust/trust_verification_service.h"
#include "trust/wintrust_signature_settings.h"

namespace lite_installer {

class WinVerifyTrustService : public TrustVerificationService {
 public:
  // `cache_only_revocation` false: revocation checked on the whole chain
  // except the root; true: no revocation check, cached URLs only.
  WinVerifyTrustService(const std::wstring& module_path, bool cache_only_revocation);
  ~WinVerifyTrustService() override { Close(); }
  WinVerifyTrustService(const WinVerifyTrustService&) = delete;
  WinVerifyTrustService& operator=(const WinVerifyTrustService&) = delete;

  uint32_t VerifySignature(uint32_t index) override;
  uint32_t SecondarySignatureCount() const override { return settings_.cSecondarySigs; }
  bool ReadSigners(SignerFacts* facts) override;
  void Close() override;

 private:
  std::wstring module_path_;
  WINTRUST_FILE_INFO file_info_ = {};
  WINTRUST_SIGNATURE_SETTINGS settings_ = {};
  WintrustDataWithSettings request_ = {};
  bool state_open_ = false;
};

}  // namespace lite_installer

#endif  // TRUST_WIN_VERIFY_TRUST_SERVICE_H_
