// The controller's statistics operations: each hands the run's values to the
// reporter (stats/reporter.h), which builds and sends the request.
#include <windows.h>

#include "brand/brand_package_info.h"
#include "install/distrib_info_params.h"
#include "install/installer.h"

lite_installer::RunReportValues Installer::ReportValues() {
  lite_installer::RunReportValues values;
  values.install_guid = install_guid;
  values.cancelled = InterlockedExchangeAdd(&cancel_count, 0) > 0;
  values.total_time_us = total_time;
  values.download_time_us = download_time;
  values.install_time_us = install_time;
  return values;
}

lite_installer::CounterIds Installer::CounterIdsNow() const {
  return lite_installer::CopyCounterIds(brand.brand_id, brand.partner_id, stored_ui, distrib_params.params);
}

void Installer::ReportStatus(bool success, const std::wstring& url, int attempt, int downloaded,
                             const std::wstring& error_text, const std::wstring& redirect_url) {
  reporter_.SendStatus(ReportValues(), success, url, attempt, downloaded, error_text, redirect_url);
}

void Installer::ReportInstallationFinished(bool success) {
  reporter_.SendCompletion(ReportValues(), success, CounterIdsNow());
}

void Installer::ReportStatisticsImpl(const std::wstring& counter_path) {
  reporter_.SendCounter(counter_path, CounterIdsNow());
}

void Installer::SendClickStat(const std::wstring& name, const std::wstring& value) {
  reporter_.SendClick(name, value);
}

void Installer::SendButtonClickStat(const std::wstring& value) { reporter_.SendButtonClick(value); }

void Installer::SendCheckboxClickStat(const std::wstring& value) { reporter_.SendCheckboxClick(value); }
