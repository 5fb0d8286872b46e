#include "trust/win_verify_trust_service.h"

#include <softpub.h>

namespace lite_installer {

WinVerifyTrustService::WinVerifyTrustService(const std::wstring& module_path, HANDLE module_file,
                                             bool cache_only_revocation)
    : module_path_(module_path) {
  verify_trust_ = wintrust_.Lookup<decltype(WinVerifyTrust)>("WinVerifyTrust");
  provider_data_ = wintrust_.Lookup<decltype(WTHelperProvDataFromStateData)>("WTHelperProvDataFromStateData");
  signer_from_chain_ = wintrust_.Lookup<decltype(WTHelperGetProvSignerFromChain)>("WTHelperGetProvSignerFromChain");
  cert_from_chain_ = wintrust_.Lookup<decltype(WTHelperGetProvCertFromChain)>("WTHelperGetProvCertFromChain");
  file_info_.cbStruct = sizeof(file_info_);
  file_info_.pcwszFilePath = module_path_.c_str();
  file_info_.hFile = module_file == INVALID_HANDLE_VALUE ? nullptr : module_file;
  file_info_.pgKnownSubject = nullptr;

  settings_.cbStruct = sizeof(settings_);
  settings_.dwFlags = WSS_VERIFY_SPECIFIC | WSS_GET_SECONDARY_SIG_COUNT;
  settings_.dwIndex = 0;

  WINTRUST_DATA& data = request_.data;
  data.cbStruct = sizeof(request_);
  data.dwUIChoice = WTD_UI_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file_info_;
  data.dwUIContext = WTD_UICONTEXT_INSTALL;
  if (cache_only_revocation) {
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
  } else {
    data.fdwRevocationChecks = WTD_REVOKE_WHOLECHAIN;
    data.dwProvFlags = WTD_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT;
  }
  request_.pSignatureSettings = &settings_;
}

uint32_t WinVerifyTrustService::VerifySignature(uint32_t index) {
  Close();
  settings_.dwIndex = index;
  // Without the system's verifier nothing can be trusted.
  if (verify_trust_ == nullptr) return static_cast<uint32_t>(TRUST_E_PROVIDER_UNKNOWN);
  if (file_info_.hFile != nullptr) {
    LARGE_INTEGER start = {};
    SetFilePointerEx(file_info_.hFile, start, nullptr, FILE_BEGIN);
  }
  request_.data.dwStateAction = WTD_STATEACTION_VERIFY;
  request_.data.hWVTStateData = nullptr;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  const LONG result = verify_trust_(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &request_.data);
  state_open_ = true;
  return static_cast<uint32_t>(result);
}

bool WinVerifyTrustService::ReadSigners(SignerFacts* facts) {
  *facts = SignerFacts();
  if (!state_open_ || provider_data_ == nullptr || signer_from_chain_ == nullptr || cert_from_chain_ == nullptr) {
    return false;
  }
  CRYPT_PROVIDER_DATA* provider = provider_data_(request_.data.hWVTStateData);
  if (provider == nullptr) return false;
  facts->signer_count = provider->csSigners;
  CRYPT_PROVIDER_SGNR* signer = signer_from_chain_(provider, 0, FALSE, 0);
  if (signer == nullptr) return false;
  if (signer->pChainContext != nullptr) facts->chain_error_status = signer->pChainContext->TrustStatus.dwErrorStatus;
  facts->chain_length = signer->csCertChain;
  for (DWORD i = 0; i < signer->csCertChain; ++i) {
    CRYPT_PROVIDER_CERT* element = cert_from_chain_(signer, i);
    if (element == nullptr || element->pCert == nullptr || element->pCert->pCertInfo == nullptr) break;
    const CERT_INFO* info = element->pCert->pCertInfo;
    CertificateFacts certificate;
    certificate.serial_number.assign(reinterpret_cast<const char*>(info->SerialNumber.pbData),
                                     info->SerialNumber.cbData);
    if (info->SignatureAlgorithm.pszObjId != nullptr) {
      certificate.signature_algorithm = info->SignatureAlgorithm.pszObjId;
    }
    facts->chain.push_back(certificate);
  }
  return true;
}

void WinVerifyTrustService::Close() {
  if (!state_open_) return;
  request_.data.dwStateAction = WTD_STATEACTION_CLOSE;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  verify_trust_(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &request_.data);
  request_.data.hWVTStateData = nullptr;
  state_open_ = false;
}

}  // namespace lite_installer
