// Build configuration that the people who ship the installer choose: the host
// names of the endpoints and web pages. A host may carry ":port".
#ifndef BASE_BUILD_CONFIG_H_
#define BASE_BUILD_CONFIG_H_

#include <string>

namespace lite_installer {

// Serves the browser's full setup packages (default setup address).
const wchar_t* DownloadHost();
// Serves the licence and privacy documents.
const wchar_t* LegalHost();
// Receives the status and completion reports (over https).
const wchar_t* StatusHost();
// Receives the milestone counters and click reports (over http).
const wchar_t* ClickStatsHost();
// The product site's host without its top-level domain, ending in a dot.
const wchar_t* ProductSiteStem();

// The address the setup package is downloaded from, for the brand's setup
// address `setup_url`: the address itself in the shipped program; the test
// variant moves an address on the build's download host to the test host.
std::wstring SetupDownloadUrl(const std::wstring& setup_url);

// False in the shipped program: the run's folder is removed when the run
// ends. The test variant keeps it when LITE_TEST_KEEP_RUN_FOLDER is "1", so
// that suites about the files' contents can read them afterwards.
bool KeepRunFolder();

}  // namespace lite_installer

#endif  // BASE_BUILD_CONFIG_H_
