// The shipped installer's hosts, fixed at build time.
#include "base/build_config.h"

#include "build_config_values.h"

namespace lite_installer {

const wchar_t* DownloadHost() { return LITE_DOWNLOAD_HOST; }
const wchar_t* LegalHost() { return LITE_LEGAL_HOST; }
const wchar_t* StatusHost() { return LITE_STATS_HOST; }
const wchar_t* ClickStatsHost() { return LITE_CLICK_STATS_HOST; }
const wchar_t* ProductSiteStem() { return LITE_PRODUCT_SITE_STEM; }
std::wstring SetupDownloadUrl(const std::wstring& setup_url) { return setup_url; }
bool KeepRunFolder() { return false; }

}  // namespace lite_installer
