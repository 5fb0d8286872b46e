// The controller's trust check of the setup package: the trusted description
// comes from the module itself, and the module's signer must be listed in it.
#include "install/installer.h"
#include "trust/korvex_trust_verifier.h"

bool Installer::CheckModule(const std::wstring& module_path) {
  const std::string description = lite_installer::KorvexTrustVerifier::GetTrustJsonFromModule(module_path);
  return CheckModuleWithDescription(module_path, description, false);
}

bool Installer::CheckModuleWithDescription(const std::wstring& module_path, const std::string& trusted_description,
                                           bool retry_flag) {
  lite_installer::KorvexTrustVerifier verifier(trusted_description);
  if (CheckModuleWithVerifier(module_path, verifier, retry_flag)) return true;
  // A check limited to cached revocation data that failed is repeated once
  // with the full revocation check.
  return retry_flag && CheckModuleWithVerifier(module_path, verifier, false);
}

bool Installer::CheckModuleWithVerifier(const std::wstring& module_path,
                                        lite_installer::KorvexTrustVerifier& verifier, bool flag) {
  return verifier.VerifyModule(module_path, flag);
}
