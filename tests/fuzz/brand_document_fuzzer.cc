// The brand document reader and the defaults: any document text fills the
// record without fault, every summary record stays one line (checked by the
// harness log), and the links built from it are one well-formed address.
#include "brand/brand_document.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  BrandRecord record;
  lite_installer::ReadBrandDocument(content, record);
  lite_installer::ReadBrandDocument(content, record);
  lite_installer::FillBrandDefaults(size % 2 == 0 ? "" : "uk", record);
  FUZZ_CHECK(!record.brand_id.empty());
  FUZZ_CHECK(!record.setup_url.empty());
  FUZZ_CHECK(!record.interface_language.empty());
  for (const std::wstring& link : {record.LicenseLinkUrl(), record.PrivacyLinkUrl()}) {
    for (wchar_t c : link) FUZZ_CHECK(c > 0x20 && c < 0x7F && c != L'"');
    const size_t lang = link.rfind(L"?lang=");
    FUZZ_CHECK(lang != std::wstring::npos);
    FUZZ_CHECK(lite_installer::fuzz::IsPercentEncoded(link.substr(lang + 6)));
  }
  return 0;
}
