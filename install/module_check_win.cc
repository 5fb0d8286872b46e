// The controller's trust check of the setup package: the trusted description
// comes from the module itself, and the module's signer must be listed in it.
#include "install/installer.h"
#include "trust/korvex_trust_verifier.h"

// Both the description and the signatures are read through the held package
// when there is one; otherwise (a check outside a run) the path is opened for
// the check alone.
bool Installer::CheckModule(const std::wstring& module_path) {
  const std::string description =
      held_module_.IsValid()
          ? lite_installer::KorvexTrustVerifier::GetTrustJsonFromModule(module_path, held_module_.Get())
          : lite_installer::KorvexTrustVerifier::GetTrustJsonFromModule(module_path);
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
  return verifier.VerifyModule(module_path, held_module_.IsValid() ? held_module_.Get() : nullptr, flag);
}
