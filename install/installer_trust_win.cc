// The controller's trust decision. This build carries no trust verifier yet,
// so no package is ever run: every check answers "not trusted".
#include "install/installer.h"

#include "installer/log.h"

bool Installer::CheckModule(const std::wstring& module_path) {
  return CheckModuleWithDescription(module_path, std::string(), false);
}

bool Installer::CheckModuleWithDescription(const std::wstring& module_path, const std::string&, bool) {
  lite_installer::Log(lite_installer::kWarning, L"Installer::CheckModuleWithDescription", __LINE__,
                      L"No trust verifier is available; the module is not trusted: " + module_path);
  return false;
}

bool Installer::CheckModuleWithVerifier(const std::wstring&, lite_installer::KorvexTrustVerifier&, bool) {
  return false;
}
