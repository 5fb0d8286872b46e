// The installer controller's steps under Wine, with the statistics requests
// captured through `request_function` and the other seams substituted by a
// test subclass.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "brand/brand_package_info.h"
#include "install/distrib_info_params.h"
#include "net/download_sink.h"
#include "install/installer.h"
#include "base/build_config.h"
#include "base/exit_codes.h"
#include "base/environment.h"
#include "base/registry_store.h"
#include "base/run_folder.h"
#include "base/text.h"

namespace {

class TestInstaller : public Installer {
 public:
  static constexpr int32_t kSetupExitCode = 7;

  TestInstaller(InstallerObserver* observer, BrandPackageInfo& brand, DistribInfoParams& params)
      : Installer(observer, brand, params) {}

  void set_pause_ms(DWORD ms) { pause_between_attempts_ms_ = ms; }
  void set_browser_poll_ms(DWORD ms) { browser_window_poll_ms_ = ms; }
  void Hold(const std::wstring& path) { held_module_ = lite_installer::OpenHeldFile(path); }
  lite_installer::RunOutcome launch_refusal() const { return launch_refusal_; }

  // When set, GetModule hands out this path without a download; with
  // `given_digest` as though it had downloaded bytes of that digest.
  std::wstring given_module;
  std::string given_digest;
  int check_calls = 0;
  int run_calls = 0;

  int GetModule(bool use_given_path, std::wstring* module_path, std::wstring* downloaded_path) override {
    if (given_module.empty()) return Installer::GetModule(use_given_path, module_path, downloaded_path);
    *module_path = given_module;
    if (!given_digest.empty()) {
      *downloaded_path = given_module;
      downloaded_digest_ = given_digest;
    }
    return 0;
  }
  bool CheckModule(const std::wstring&) override {
    ++check_calls;
    return true;
  }
  bool RunSetup(const std::wstring&) override {
    ++run_calls;
    Sleep(2);  // a setup takes time
    setup_exit_code_ = kSetupExitCode;
    return true;
  }
};

class RecordingObserver : public InstallerObserver {
 public:
  void OnSlowDownload() override { calls.push_back(L"OnSlowDownload"); }
  void OnTimeLeft(int, int) override {}
  void OnFinished() override { calls.push_back(L"OnFinished"); }
  void OnError(int result) override { calls.push_back(L"OnError " + std::to_wstring(result)); }
  intptr_t GetWindowHandle() override { return 0; }
  void SetProgress(int) override {}

  std::vector<std::wstring> calls;
};

// A local port that refuses connections at once.
std::wstring ClosedPortUrl() {
  return L"http://127.0.0.1:9/setup.arc";
}

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    work_dir_ = GetTemporaryPath() + L"installer_wintest\\";
    CreateDirectoryW(work_dir_.c_str(), nullptr);
    // Left by an earlier test process: the files are created new.
    DeleteFileW((work_dir_ + L"master_preferences").c_str());
    DeleteFileW((work_dir_ + L"clids.xml").c_str());
    brand_ = std::make_unique<BrandPackageInfo>(work_dir_);
    brand_->brand_id = "tb";
    brand_->brand_name = "tb";
  }

  // Deletes the files the controllers made and forgets their failures.
  void TearDown() override { lite_installer::RemoveRunFolder(); }

  std::unique_ptr<TestInstaller> MakeInstaller(InstallerObserver* observer = nullptr) {
    auto installer = std::make_unique<TestInstaller>(observer, *brand_, params_);
    installer->request_function = [this](const std::wstring& url, lite_installer::DownloadSink* sink,
                                         std::wstring* error_text, std::wstring*) {
      requests_.push_back(url);
      if (url.find(kMarker) != std::wstring::npos) SetEvent(marker_sent_.Get());
      sink->Reset();
      if (error_text != nullptr) *error_text = L"internet_open_url-12029";
      return false;
    };
    return installer;
  }

  // The requests sent since the last call: the reporter thread sends in
  // order, so all of them went out before a marker sent now.
  std::vector<std::wstring> SentSoFar(Installer& installer) {
    ResetEvent(marker_sent_.Get());
    installer.SendClickStat(L"test", L"marker");
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(marker_sent_.Get(), 30000));
    std::vector<std::wstring> sent(requests_.begin(), requests_.end() - 1);
    requests_.clear();
    return sent;
  }

  std::wstring ClickHost() const { return std::wstring(L"http://") + lite_installer::ClickStatsHost(); }

  std::wstring work_dir_;
  std::unique_ptr<BrandPackageInfo> brand_;
  DistribInfoParams params_;
  static constexpr wchar_t kMarker[] = L"&test=marker";
  lite_installer::ScopedHandle marker_sent_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::vector<std::wstring> requests_;  // written by the reporter thread
};

TEST_F(InstallerTest, ConstructionPreparesTheEventsAndTheSetupFilesComeLater) {
  DeleteFileW((work_dir_ + L"master_preferences").c_str());
  DeleteFileW((work_dir_ + L"clids.xml").c_str());
  auto installer = MakeInstaller();
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((work_dir_ + L"master_preferences").c_str()));
  EXPECT_TRUE(installer->WriteSetupFiles());
  EXPECT_EQ(work_dir_ + L"master_preferences", installer->installer_data_path);
  EXPECT_EQ(work_dir_ + L"clids.xml", installer->clids_path);
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(installer->installer_data_path.c_str()));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(installer->clids_path.c_str()));
  EXPECT_EQ(lite_installer::kExitNoSetupResult, installer->exit_code);
  EXPECT_TRUE(installer->install_flash);
  EXPECT_FALSE(installer->make_default);
  EXPECT_FALSE(installer->send_stats);
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(installer->stop_event.Get(), 0));
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(installer->install_event.Get(), 0));
}

TEST_F(InstallerTest, CountersCarryTheCopysIdentifiersOr2216) {
  params_.params["banerid"] = "B7";
  params_.params["korvexuid"] = "K9";
  brand_->partner_id = "P3";
  auto installer = MakeInstaller();
  installer->stored_ui = "U1";
  installer->ReportStatisticsImpl(L"cid=72981/path=ZapuskSetupArc");
  installer->SendButtonClickStat(L"install");
  installer->SendCheckboxClickStat(L"install_flash");
  installer->SendClickStat(L"clicked_link", L"http://legal/eula?lang=ru");
  const std::vector<std::wstring> sent = SentSoFar(*installer);
  ASSERT_EQ(4u, sent.size());
  EXPECT_EQ(ClickHost() + L"/jclck/dtype=stred/pid=457/cid=72981/path=ZapuskSetupArc.tb.P3.B7.U1.2216.K9/*",
            sent[0]);
  const std::wstring click = ClickHost() +
      L"/redir/dtype=stred/pid=457/cid=72696/path=kvbrowser_reinstall_dialog&dialog_window=liteinstall&";
  EXPECT_EQ(click + L"clicked_button=install", sent[1]);
  EXPECT_EQ(click + L"choosen_checkbox=install_flash", sent[2]);
  EXPECT_EQ(click + L"clicked_link=http%3A%2F%2Flegal%2Feula%3Flang%3Dru", sent[3]);
}

TEST_F(InstallerTest, ACancelledRunSendsNoStatusReportAndCompletesAsCancelled) {
  auto installer = MakeInstaller();
  installer->install_guid = L"G";
  InterlockedIncrement(&installer->cancel_count);
  installer->ReportStatus(true, L"http://x/setup.arc", 1, 10, L"", L"");
  installer->download_time = 2500000;
  installer->ReportInstallationFinished(true);
  const std::vector<std::wstring> sent = SentSoFar(*installer);
  ASSERT_EQ(2u, sent.size());
  EXPECT_NE(std::wstring::npos, sent[0].find(L"/get/browser/install?ui=G&result=cancelled&time=0"
                                             L"&download_time=2"))
      << sent[0];
  EXPECT_NE(std::wstring::npos, sent[1].find(L"/cid=72982/path=FinishUstanovki.tb."));
}

TEST_F(InstallerTest, APackageThatCannotBeStoredIsNotDownloaded) {
  auto installer = MakeInstaller();
  ASSERT_TRUE(installer->WriteSetupFiles());
  brand_->setup_url = "http://127.0.0.1:9/setup.arc";
  // The file cannot be created: its folder does not exist.
  EXPECT_EQ(lite_installer::kModuleNoFile, installer->DownloadModuleTo(work_dir_ + L"missing\\kb1.tmp"));
  // No setup address: nothing is requested, not even the start counter.
  brand_->setup_url.clear();
  EXPECT_EQ(lite_installer::kModuleNotDownloaded, installer->DownloadModuleTo(work_dir_ + L"kb_empty.tmp"));
  EXPECT_TRUE(SentSoFar(*installer).empty());
  DeleteFileW((work_dir_ + L"kb_empty.tmp").c_str());

  // No temporary file: no file to delete either.
  installer->temp_dir = work_dir_ + L"missing\\";
  std::wstring module_path;
  std::wstring downloaded_path;
  EXPECT_EQ(lite_installer::kModuleNoFile, installer->GetModule(true, &module_path, &downloaded_path));
  EXPECT_EQ(L"", downloaded_path);

  // A given package that exists is used as it is.
  module_path = installer->installer_data_path;
  EXPECT_EQ(lite_installer::kModuleReady, installer->GetModule(true, &module_path, &downloaded_path));
  EXPECT_EQ(installer->installer_data_path, module_path);
  EXPECT_EQ(L"", downloaded_path);
  EXPECT_EQ(0, installer->download_time);
  EXPECT_TRUE(SentSoFar(*installer).empty());
}

TEST_F(InstallerTest, AStopDuringThePauseEndsTheDownloadAtOnce) {
  auto installer = MakeInstaller();
  brand_->setup_url = lite_installer::Narrow(ClosedPortUrl());
  // The real 15-second pause: the stop must cut it short.
  struct Stopper {
    static DWORD WINAPI Main(void* event) {
      Sleep(500);
      SetEvent(static_cast<HANDLE>(event));
      return 0;
    }
  };
  HANDLE thread = CreateThread(nullptr, 0, &Stopper::Main, installer->stop_event.Get(), 0, nullptr);
  const DWORD start = GetTickCount();
  std::wstring module_path;
  std::wstring downloaded_path;
  EXPECT_EQ(lite_installer::kModuleNotDownloaded, installer->GetModule(true, &module_path, &downloaded_path));
  const DWORD elapsed = GetTickCount() - start;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_LT(elapsed, 5000u);
  EXPECT_EQ(module_path, downloaded_path);
  EXPECT_GT(installer->download_time, 0);
  // The start counter and one status report for the one attempt made.
  const std::vector<std::wstring> sent = SentSoFar(*installer);
  ASSERT_EQ(2u, sent.size());
  EXPECT_NE(std::wstring::npos, sent[0].find(L"cid=72978/path=StartZagruzkiSetupArc"));
  EXPECT_NE(std::wstring::npos, sent[1].find(L"?status=failed&attempt=1&downloaded=0&"));
  DeleteFileW(downloaded_path.c_str());
}

TEST_F(InstallerTest, StopWinsWhenBothEventsAreSignalled) {
  auto installer = MakeInstaller();
  installer->given_module = work_dir_ + L"given_setup.exe";
  ASSERT_TRUE(SaveBytesToFile(installer->given_module, "setup"));
  SetEvent(installer->stop_event.Get());
  SetEvent(installer->install_event.Get());
  EXPECT_EQ(lite_installer::kInstallFailed, installer->InstallBrowser());
  EXPECT_EQ(0, installer->check_calls);
  EXPECT_EQ(lite_installer::kExitNoSetupResult, installer->exit_code);
  EXPECT_EQ(0, installer->total_time);

  ResetEvent(installer->stop_event.Get());
  EXPECT_EQ(lite_installer::kInstallSucceeded, installer->InstallBrowser());
  EXPECT_EQ(1, installer->check_calls);
  EXPECT_EQ(1, installer->run_calls);
  EXPECT_EQ(TestInstaller::kSetupExitCode, installer->exit_code);
  EXPECT_GT(installer->total_time, 0);
  // A pre-downloaded package is never deleted.
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(installer->given_module.c_str()));
}

TEST_F(InstallerTest, ADownloadChangedBeforeItsHoldIsNeverChecked) {
  auto installer = MakeInstaller();
  installer->given_module = work_dir_ + L"kb_changed.tmp";
  SetEvent(installer->install_event.Get());
  for (const bool same_bytes : {false, true}) {
    ASSERT_TRUE(SaveBytesToFile(installer->given_module, "served bytes"));
    {
      lite_installer::ScopedFile file(lite_installer::OpenHeldFile(installer->given_module));
      ASSERT_TRUE(lite_installer::FileDigest(file.Get(), &installer->given_digest));
    }
    if (!same_bytes) installer->given_digest[0] ^= 1;
    installer->InstallBrowser();
    EXPECT_EQ(same_bytes ? TestInstaller::kSetupExitCode : lite_installer::kExitNotTrusted, installer->exit_code);
    EXPECT_EQ(same_bytes ? 1 : 0, installer->check_calls);
  }
}

TEST_F(InstallerTest, AFailedWindowedRunTellsTheWindowAndRemovesTheValuesNamingRunFiles) {
  RecordingObserver observer;
  auto installer = MakeInstaller(&observer);
  installer->set_browser_poll_ms(50);
  installer->temp_dir = work_dir_ + L"missing\\";  // no temporary file: result 1
  lite_installer::RemoveValueFromRegistry(L"InstallerData");
  installer->Run();
  EXPECT_EQ((std::vector<std::wstring>{L"OnError 1", L"OnFinished"}), observer.calls);
  EXPECT_EQ(L"", lite_installer::ReadStringFromRegistry(L"InstallerData"));
  EXPECT_EQ(L"", lite_installer::ReadStringFromRegistry(L"ClidsFile"));
  EXPECT_EQ(L"", lite_installer::ReadStringFromRegistry(L"BrandFile"));
  EXPECT_EQ(36u, installer->install_guid.size());
  const std::vector<std::wstring> sent = SentSoFar(*installer);
  ASSERT_GE(sent.size(), 2u);
  EXPECT_NE(std::wstring::npos, sent[sent.size() - 2].find(L"&result=failed&time=0"));

  // Being stopped, the window is told nothing.
  observer.calls.clear();
  SetEvent(installer->stop_event.Get());
  installer->Run();
  EXPECT_TRUE(observer.calls.empty());
}

TEST_F(InstallerTest, TheWaitForTheBrowserLastsWhileItsWindowExists) {
  RecordingObserver observer;
  auto installer = MakeInstaller(&observer);
  installer->set_browser_poll_ms(100);

  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"KorvexBrowser_MessageWindow";
  RegisterClassW(&window_class);
  HWND browser = CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 window_class.hInstance, nullptr);
  ASSERT_NE(nullptr, browser);

  struct Waiter {
    static DWORD WINAPI Main(void* installer) {
      static_cast<Installer*>(installer)->WaitForBrowserWindow();
      return 0;
    }
  };
  HANDLE thread = CreateThread(nullptr, 0, &Waiter::Main, installer.get(), 0, nullptr);
  EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(thread, 700));
  EXPECT_TRUE(observer.calls.empty());
  DestroyWindow(browser);
  EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(thread, 5000));
  CloseHandle(thread);
  EXPECT_EQ(std::vector<std::wstring>{L"OnFinished"}, observer.calls);

  // A stop ends the wait without OnFinished.
  observer.calls.clear();
  SetEvent(installer->stop_event.Get());
  installer->WaitForBrowserWindow();
  EXPECT_TRUE(observer.calls.empty());
}

TEST_F(InstallerTest, TheSetupsExitCodeBecomesTheResult) {
  auto installer = MakeInstaller();
  int32_t code = 0;
  const std::wstring missing = work_dir_ + L"no_such_setup.exe";
  EXPECT_FALSE(installer->RunProcessAndWait(missing, L"\"" + missing + L"\" --silent", &code));
  EXPECT_EQ(lite_installer::kExitNoSetupResult, code);
  wchar_t system[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
  const std::wstring cmd = std::wstring(system) + L"\\cmd.exe";
  const std::wstring copy = work_dir_ + L"held_cmd.exe";
  ASSERT_TRUE(CopyFileW(cmd.c_str(), copy.c_str(), FALSE));
  // Holding the copy: the system's program is not the held file, and never runs.
  installer->Hold(copy);
  EXPECT_FALSE(installer->RunProcessAndWait(cmd, L"cmd.exe /c exit 7", &code));
  EXPECT_EQ(lite_installer::RunOutcome::kNotTrusted, installer->launch_refusal());
  EXPECT_EQ(lite_installer::kExitNoSetupResult, code);
  // The held file itself runs, in the run's folder.
  EXPECT_TRUE(installer->RunProcessAndWait(copy, L"cmd.exe /c if /i \"%CD%\\\"==\"" + work_dir_ + L"\" exit 7", &code));
  EXPECT_EQ(7, code);
  installer->Hold(L"");
  DeleteFileW(copy.c_str());
}

}  // namespace
