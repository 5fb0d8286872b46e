// Runs the installer controller the way the installer program does, with the
// seams that only tests may substitute, for the integration tests:
//   LITE_PROBE_TRUST=all        CheckModule answers "trusted" without a check
//   LITE_PROBE_PAUSE_MS=N       pause between download attempts
//   LITE_PROBE_SILENCE_MS=N     longest silence of a package download attempt
//   LITE_PROBE_BROWSER_POLL_MS=N period of the wait for the browser window
//   LITE_PROBE_STOP_WAIT_MS=N   Installer::Stop's time limit
//   LITE_PROBE_ROAD=window      the windowed road with a probe window as
//                               observer (default: the silent road)
//   LITE_PROBE_CLICK=never      the probe window never gives the install
//                               signal (default: at once)
//   LITE_PROBE_CANCEL_MS=N      the user cancels N ms after the start: the
//                               cancel count goes up and the window closes
// The probe window logs every observer call and every registered message it
// receives under the name "ProbeWindow", closes on OnFinished, on OnError and
// on the close-window message (after Installer::Stop), and the probe then
// destroys the controller and exits with its exit code. Hosts come from the
// LITE_TEST_* variables, like lite_installer_test.exe.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "brand/brand_package_info.h"
#include "install/distrib_info_params.h"
#include "install/installer.h"
#include "base/environment.h"
#include "base/log.h"
#include "base/switches.h"
#include "base/text.h"

using lite_installer::kInfo;
using lite_installer::Log;

namespace {

constexpr wchar_t kWindowName[] = L"ProbeWindow";
constexpr UINT kEndMessage = WM_APP + 20;
constexpr UINT_PTR kCancelTimer = 1;

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[256];
  const DWORD length = GetEnvironmentVariableW(name, buffer, 256);
  return (length > 0 && length < 256) ? std::wstring(buffer, length) : std::wstring();
}

DWORD EnvironmentMs(const wchar_t* name, DWORD fallback) {
  const std::wstring text = Environment(name);
  return text.empty() ? fallback : static_cast<DWORD>(wcstoul(text.c_str(), nullptr, 10));
}

class ProbeInstaller : public Installer {
 public:
  ProbeInstaller(InstallerObserver* observer, BrandPackageInfo& brand, DistribInfoParams& params)
      : Installer(observer, brand, params), trust_all_(Environment(L"LITE_PROBE_TRUST") == L"all") {
    pause_between_attempts_ms_ = EnvironmentMs(L"LITE_PROBE_PAUSE_MS", pause_between_attempts_ms_);
    package_limits_.silence_ms = EnvironmentMs(L"LITE_PROBE_SILENCE_MS", package_limits_.silence_ms);
    browser_window_poll_ms_ = EnvironmentMs(L"LITE_PROBE_BROWSER_POLL_MS", browser_window_poll_ms_);
    stop_wait_ms_ = EnvironmentMs(L"LITE_PROBE_STOP_WAIT_MS", stop_wait_ms_);
  }

  bool CheckModule(const std::wstring& module_path) override {
    if (!trust_all_) return Installer::CheckModule(module_path);
    Log(kInfo, L"ProbeInstaller::CheckModule", __LINE__, L"Trusted without a check: " + module_path);
    return true;
  }

 private:
  bool trust_all_;
};

// Plays the installer window: a real window whose handle the setup receives.
class ProbeWindow : public InstallerObserver {
 public:
  ProbeWindow() {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = &ProbeWindow::WindowProc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"LiteInstallerProbeWindow";
    RegisterClassW(&window_class);
    // Message-only: it needs no display, and the setup's messages reach it.
    window_ = CreateWindowExW(0, window_class.lpszClassName, L"probe", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              window_class.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    install_progress_ = RegisterWindowMessageW(L"korvex.lite.set_install_progress");
    import_progress_ = RegisterWindowMessageW(L"korvex.lite.set_import_progress");
    close_window_ = RegisterWindowMessageW(L"korvex.lite.close_window");
    higher_version_ = RegisterWindowMessageW(L"korvex.higher_version_exist");
  }
  ~ProbeWindow() override {
    if (window_ != nullptr) DestroyWindow(window_);
  }

  void set_installer(Installer* installer) { installer_ = installer; }
  void CancelAfter(DWORD ms) { SetTimer(window_, kCancelTimer, ms, nullptr); }

  void OnSlowDownload() override { Record(L"OnSlowDownload"); }
  void OnTimeLeft(int seconds, int state) override {
    Record(L"OnTimeLeft " + Number(seconds) + L" " + Number(state));
  }
  void OnFinished() override {
    Record(L"OnFinished");
    PostMessageW(window_, kEndMessage, 0, 0);
  }
  void OnError(int result) override {
    Record(L"OnError " + Number(result));
    PostMessageW(window_, kEndMessage, 0, 0);
  }
  intptr_t GetWindowHandle() override { return reinterpret_cast<intptr_t>(window_); }
  void SetProgress(int percent) override { Record(L"SetProgress " + Number(percent)); }

  // Runs the window's messages until the window ends.
  void RunMessageLoop() {
    MSG message;
    while (!ended_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

 private:
  static std::wstring Number(int value) { return lite_installer::ToDecimal(static_cast<int64_t>(value)); }
  static void Record(const std::wstring& text) { Log(kInfo, kWindowName, __LINE__, text); }

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<ProbeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr) {
      if (message == kEndMessage) {
        self->ended_ = true;
        return 0;
      }
      if (message == WM_TIMER && wparam == kCancelTimer) {
        KillTimer(window, kCancelTimer);
        Record(L"cancel");
        if (self->installer_ != nullptr) InterlockedIncrement(&self->installer_->cancel_count);
        self->ended_ = true;
        return 0;
      }
      if (message == self->install_progress_) {
        Record(L"set_install_progress " + Number(static_cast<int>(wparam)));
        return 0;
      }
      if (message == self->import_progress_) {
        Record(L"set_import_progress " + Number(static_cast<int>(wparam)) + L" " +
               Number(static_cast<int>(lparam)));
        return 0;
      }
      if (message == self->higher_version_) {
        Record(L"higher_version_exist");
        return 0;
      }
      if (message == self->close_window_) {
        Record(L"close_window");
        if (self->installer_ != nullptr) self->installer_->Stop();
        Record(L"Stop returned");
        // A sent message is handled inside GetMessageW: end the loop with a
        // posted one.
        PostMessageW(window, kEndMessage, 0, 0);
        return 0;
      }
    }
    return DefWindowProcW(window, message, wparam, lparam);
  }

  HWND window_ = nullptr;
  Installer* installer_ = nullptr;
  bool ended_ = false;
  UINT install_progress_ = 0;
  UINT import_progress_ = 0;
  UINT close_window_ = 0;
  UINT higher_version_ = 0;
};

int RunSilent(BrandPackageInfo& brand, DistribInfoParams& params) {
  const ProcessSwitches& switches = ProcessSwitches::Current();
  ProbeInstaller installer(nullptr, brand, params);
  installer.make_default = switches.Has("make-browser-default-after-import");
  installer.send_stats = switches.Has("send-statistics");
  ResetEvent(installer.stop_event.Get());
  SetEvent(installer.install_event.Get());
  installer.Run();
  return installer.exit_code;
}

int RunWindowed(BrandPackageInfo& brand, DistribInfoParams& params) {
  ProbeWindow window;
  int exit_code = 0;
  {
    // Declared after the window: destroyed (and its worker waited for)
    // while the window it calls still exists.
    ProbeInstaller installer(&window, brand, params);
    window.set_installer(&installer);
    if (window.GetWindowHandle() == 0 || !installer.StartWorker()) return 1;
    if (Environment(L"LITE_PROBE_CLICK") != L"never") SetEvent(installer.install_event.Get());
    const DWORD cancel_ms = EnvironmentMs(L"LITE_PROBE_CANCEL_MS", 0);
    if (cancel_ms != 0) window.CancelAfter(cancel_ms);
    window.RunMessageLoop();
    Log(kInfo, kWindowName, __LINE__, L"Window closed.");
    exit_code = installer.exit_code;
  }
  Log(kInfo, kWindowName, __LINE__, L"Controller destroyed.");
  return exit_code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::wstring temporary_path = GetTemporaryPath();
  lite_installer::SetLogPath(temporary_path + L"lite_installer.log");
  Log(kInfo, L"wWinMain", __LINE__, L"Installer probe.");

  DistribInfoParams params;
  params.Load();
  BrandPackageInfo brand(temporary_path);
  brand.GetInfo(ProcessSwitches::Current().ValueNarrow("brand-name"));
  brand.SetDefaults();

  const int exit_code = Environment(L"LITE_PROBE_ROAD") == L"window" ? RunWindowed(brand, params)
                                                                     : RunSilent(brand, params);
  lite_installer::LogFormat(kInfo, L"wWinMain", __LINE__, L"Probe exit with code: %d", exit_code);
  return exit_code;
}
