// The installer's run (app/roads.h) for the integration tests: the program's
// own start-up and roads, with the seams only tests substitute.
//   Controller (both roads), from these variables:
//   LITE_PROBE_TRUST=all        CheckModule answers "trusted" without a check
//   LITE_PROBE_PAUSE_MS=N       pause between download attempts
//   LITE_PROBE_SILENCE_MS=N     longest silence of a package download attempt
//   LITE_PROBE_BROWSER_POLL_MS=N period of the wait for the browser window
//   LITE_PROBE_STOP_WAIT_MS=N   Installer::Stop's time limit
//   Window (the road follows the command line, as in the program):
//   LITE_PROBE_ROAD=window      the test means the windowed road (no
//                               --silent); without it, the silent road
//                               (--silent). A command line that takes the
//                               other road ends the probe with exit code 3.
//   LITE_PROBE_CLICK=never      the probe window never gives the install
//                               signal (default: at once)
//   LITE_PROBE_CANCEL_MS=N      the user cancels N ms after the start: the
//                               cancel count goes up and the window ends as
//                               the cancel button ends the installer window
// The probe window is message-only (no display needed) and logs every
// observer call and every registered message it receives under the name
// "ProbeWindow"; it ends with "the run is over" on OnFinished, on OnError and
// on the close-window message (after Installer::Stop). It logs "Window
// closed." when it ends and "Controller destroyed." once its controller is
// gone. Hosts come from the LITE_TEST_* variables, like
// lite_installer_test.exe.
#include <windows.h>

#include <memory>
#include <string>

#include "app/roads.h"
#include "base/log.h"
#include "base/text.h"
#include "install/installer.h"
#include "ui/main_window.h"

using lite_installer::kInfo;
using lite_installer::Log;

namespace {

constexpr wchar_t kWindowName[] = L"ProbeWindow";
constexpr UINT kEndMessage = WM_APP + 20;
constexpr UINT_PTR kCancelTimer = 1;
// The road the command line takes is not the one LITE_PROBE_ROAD names.
constexpr UINT kRoadMismatchExitCode = 3;

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[256];
  const DWORD length = GetEnvironmentVariableW(name, buffer, 256);
  return (length > 0 && length < 256) ? std::wstring(buffer, length) : std::wstring();
}

DWORD EnvironmentMs(const wchar_t* name, DWORD fallback) {
  const std::wstring text = Environment(name);
  return text.empty() ? fallback : static_cast<DWORD>(wcstoul(text.c_str(), nullptr, 10));
}

// Ends the probe when the road taken is not the one the test means.
void ExpectRoad(bool windowed) {
  if ((Environment(L"LITE_PROBE_ROAD") == L"window") == windowed) return;
  Log(lite_installer::kError, L"wWinMain", __LINE__, L"LITE_PROBE_ROAD does not match the command line.");
  ExitProcess(kRoadMismatchExitCode);
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

std::unique_ptr<Installer> MakeProbeInstaller(InstallerObserver* observer, BrandPackageInfo& brand,
                                              DistribInfoParams& params) {
  if (observer == nullptr) ExpectRoad(false);
  return std::make_unique<ProbeInstaller>(observer, brand, params);
}

// Plays the installer window: a real window whose handle the setup receives.
// Like the installer window it makes its controller and starts the worker
// when it is made.
class ProbeWindow : public lite_installer::RoadWindow, public InstallerObserver {
 public:
  ProbeWindow(BrandPackageInfo& brand, DistribInfoParams& params, lite_installer::InstallerFactory make_installer) {
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
    installer_ = make_installer(this, brand, params);
    started_ = window_ != nullptr && installer_->StartWorker();
    if (!started_) return;
    if (Environment(L"LITE_PROBE_CLICK") != L"never") SetEvent(installer_->install_event.Get());
    const DWORD cancel_ms = EnvironmentMs(L"LITE_PROBE_CANCEL_MS", 0);
    if (cancel_ms != 0) SetTimer(window_, kCancelTimer, cancel_ms, nullptr);
  }
  // The controller goes first: its worker calls this window until it ends.
  ~ProbeWindow() override {
    installer_.reset();
    Record(L"Controller destroyed.");
    if (window_ != nullptr) DestroyWindow(window_);
  }

  // Runs the window's messages until the window ends.
  INT_PTR ShowModal() override {
    if (!started_) return -1;
    MSG message;
    while (result_ == kNoResult && GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Record(L"Window closed.");
    return result_;
  }
  Installer& controller() override { return *installer_; }

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

 private:
  static constexpr INT_PTR kNoResult = 0;

  static std::wstring Number(int value) { return lite_installer::ToDecimal(static_cast<int64_t>(value)); }
  static void Record(const std::wstring& text) { Log(kInfo, kWindowName, __LINE__, text); }

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<ProbeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr) {
      if (message == kEndMessage) {
        self->result_ = lite_installer::kResultRunOver;
        return 0;
      }
      if (message == WM_TIMER && wparam == kCancelTimer) {
        KillTimer(window, kCancelTimer);
        Record(L"cancel");
        InterlockedIncrement(&self->installer_->cancel_count);
        self->result_ = lite_installer::kResultCancel;
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
        self->installer_->Stop();
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
  std::unique_ptr<Installer> installer_;
  bool started_ = false;
  INT_PTR result_ = kNoResult;
  UINT install_progress_ = 0;
  UINT import_progress_ = 0;
  UINT close_window_ = 0;
  UINT higher_version_ = 0;
};

std::unique_ptr<lite_installer::RoadWindow> MakeProbeWindow(BrandPackageInfo& brand, DistribInfoParams& params,
                                                            lite_installer::InstallerFactory make_installer) {
  ExpectRoad(true);
  return std::make_unique<ProbeWindow>(brand, params, make_installer);
}

}  // namespace

// The program's entry with the probe's controller and window.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  lite_installer::RoadSeams seams;
  seams.make_installer = &MakeProbeInstaller;
  seams.make_window = &MakeProbeWindow;
  return lite_installer::RunInstaller(seams);
}
