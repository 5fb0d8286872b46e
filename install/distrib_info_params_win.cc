// Loading the distribution parameters: switch or distribution tag, registry,
// and the "distrib_info" file for the setup program.
#include <windows.h>

#include "brand/distribution_tag.h"
#include "install/distrib_info_params.h"
#include "install/distrib_params_json.h"
#include "base/environment.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/registry_store.h"
#include "base/run_folder.h"
#include "base/sized_call.h"
#include "base/switches.h"
#include "base/text.h"

namespace {

constexpr wchar_t kRegistryValue[] = L"DistribInfoParams";

// Writes the parameters as "distrib_info" in the run's folder, held there
// until the setup has ended, and returns its path; empty when there are none
// or the file could not be created new, written and held (the run then ends
// before the download), so the setup never reads parameters this run did not
// write.
std::wstring CreateJsonFromDistribParams(const lite_installer::DistribParams& params) {
  if (params.empty()) return std::wstring();
  constexpr const wchar_t* kFunction = lite_installer::log_tag::kCreateJsonFromDistribParams;
  const std::wstring folder = lite_installer::RunFolderPath();
  const std::wstring path = folder + L"distrib_info";
  const std::string text = lite_installer::SerializeDistribParams(params);
  if (folder.empty()) {
    // Nothing is written outside the run's own folder.
    lite_installer::Log(lite_installer::kError, kFunction, __LINE__, L"No run folder for distrib_info");
    return std::wstring();
  }
  if (text.empty()) {
    lite_installer::Log(lite_installer::kError, kFunction, __LINE__, L"Can't create json dump");
  } else if (!lite_installer::SaveAndHoldFile(path, text)) {
    lite_installer::Log(lite_installer::kError, kFunction, __LINE__, L"Write json to file error");
  } else {
    return path;
  }
  return std::wstring();
}

// The parameter text must be printable ASCII wherever it came from: it goes
// into the registry, the log, URLs and a JSON file. Anything else marks a
// damaged or tampered text, which then counts as absent.
bool IsUsableParameterText(const std::wstring& text, const wchar_t* source) {
  bool ascii = true;
  for (wchar_t c : text) ascii = ascii && c < 0x80;
  if (ascii && lite_installer::IsPrintableAsciiText(lite_installer::Narrow(text))) return true;
  lite_installer::Log(lite_installer::kWarning, lite_installer::log_tag::kDistribInfoParamsLoad, __LINE__,
                      std::wstring(source) + L" ignored: it holds characters other than printable ASCII.");
  return false;
}

}  // namespace

bool DistribInfoParams::IsRestoring() { return false; }

void DistribInfoParams::StoreParams(const std::string& text) {
  lite_installer::StoreValueInRegistry(kRegistryValue, lite_installer::Widen(text));
}

std::wstring DistribInfoParams::GetModulePath() {
  return lite_installer::TextFromSizedCall([](wchar_t* buffer, uint32_t capacity) {
    return static_cast<uint32_t>(GetModuleFileNameW(nullptr, buffer, capacity));
  });
}

bool DistribInfoParams::Load() {
  std::string text;
  const bool restoring = IsRestoring();
  if (restoring) text = lite_installer::Narrow(lite_installer::ReadStringFromRegistry(kRegistryValue));
  const ProcessSwitches& switches = ProcessSwitches::Current();
  if (text.empty() && switches.Has("distr-info-params") &&
      IsUsableParameterText(switches.Value("distr-info-params"), L"The switch \"distr-info-params\"")) {
    text = switches.ValueNarrow("distr-info-params");
  }
  if (text.empty()) {
    text = lite_installer::ReadDistributionTag(GetModulePath());
    if (!text.empty() && text.back() == '\0') text.pop_back();
    if (!IsUsableParameterText(lite_installer::Widen(text), L"The distribution tag")) text.clear();
  }
  if (!restoring && !text.empty()) StoreParams(text);
  if (!text.empty()) lite_installer::ParseQueryString(text, params);
  return !params.empty();
}

bool DistribInfoParams::WriteJsonFile() {
  json_path = CreateJsonFromDistribParams(params);
  return !json_path.empty();
}

bool DistribInfoParams::Find(const std::string& key, std::string* value) const {
  const auto found = params.find(key);
  if (found == params.end()) return false;
  if (value != nullptr) *value = found->second;
  return true;
}
