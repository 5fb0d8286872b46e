// Takes the browser setup program's place in tests and in the demo. It
// records what the installer handed it, can talk to the installer window
// through the registered progress messages, can leave a "browser" behind
// (a process owning the browser's message-only window), and exits with a
// chosen code. Its own behaviour is chosen by switches that start with
// "stand-in-" (an installer passes its own switches on, so a test can give
// them to the installer):
//   --stand-in-record=PATH   where to write the JSON record; otherwise the
//                            environment variable LITE_STAND_IN_RECORD, else
//                            this program's own path + ".record.json"
//   --stand-in-messages=LIST messages for the "progress-window" handle, in
//                            order, comma separated: install:STAGE,
//                            import:PERCENT:STAGE, close, higher
//   --stand-in-progress      the messages of a typical setup: install 5 and 6,
//                            import 0/1, 50/2, 100/3
//   --stand-in-browser-ms=N  start the browser, which keeps a message-only
//                            window of class "KorvexBrowser_MessageWindow"
//                            for N milliseconds
//   --stand-in-browser-close-ms=M  the browser sends the close-window
//                            message to the progress window after M ms
//   --stand-in-sleep-ms=N    wait N milliseconds before exiting
//   --stand-in-exit-code=N   the exit code (default 0)
// When the environment variable LITE_STAND_IN_COPY names a file, the program
// copies its own file there (so that a test can compare the package the
// installer downloaded and ran with the one it served).
#include <windows.h>
#include <shellapi.h>

#include <jansson.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/environment.h"
#include "base/switches.h"
#include "base/text.h"

namespace {

constexpr wchar_t kBrowserWindowClass[] = L"KorvexBrowser_MessageWindow";
constexpr DWORD kMessageTimeoutMs = 10000;

// The files the installer hands to the setup, by switch.
const char* const kHandedFiles[] = {"installerdata", "clids-file", "distr-info-file", "brand-package",
                                    "partner-package"};

ProcessSwitches ParseOwnCommandLine() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr) return ProcessSwitches();
  std::vector<std::wstring> list(arguments, arguments + count);
  LocalFree(arguments);
  return ProcessSwitches::FromArguments(list);
}

int64_t ParseInteger(const std::wstring& text, int64_t fallback) {
  if (text.empty()) return fallback;
  wchar_t* end = nullptr;
  const long long value = wcstoll(text.c_str(), &end, 0);
  return (end != nullptr && *end == L'\0') ? static_cast<int64_t>(value) : fallback;
}

std::wstring OwnPath() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, length < MAX_PATH ? length : 0);
}

json_t* WideJson(const std::wstring& text) {
  return json_string(lite_installer::WideToUtf8(text).c_str());
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

// One message for the progress window; false when the text is not one.
struct ProgressMessage {
  const wchar_t* name;
  WPARAM wparam;
  LPARAM lparam;
};

bool ParseMessage(const std::wstring& text, ProgressMessage* message) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (;;) {
    const size_t colon = text.find(L':', start);
    parts.push_back(text.substr(start, colon == std::wstring::npos ? std::wstring::npos : colon - start));
    if (colon == std::wstring::npos) break;
    start = colon + 1;
  }
  if (parts[0] == L"install" && parts.size() == 2) {
    *message = {L"korvex.lite.set_install_progress", static_cast<WPARAM>(ParseInteger(parts[1], 0)), 0};
  } else if (parts[0] == L"import" && parts.size() == 3) {
    *message = {L"korvex.lite.set_import_progress", static_cast<WPARAM>(ParseInteger(parts[1], 0)),
                static_cast<LPARAM>(ParseInteger(parts[2], 0))};
  } else if (parts[0] == L"close" && parts.size() == 1) {
    *message = {L"korvex.lite.close_window", 0, 0};
  } else if (parts[0] == L"higher" && parts.size() == 1) {
    *message = {L"korvex.higher_version_exist", 0, 0};
  } else {
    return false;
  }
  return true;
}

// Sends one registered message and waits for the window to handle it, so
// that the order of several messages is kept. Returns the entry recorded.
json_t* SendProgressMessage(HWND window, const std::wstring& text) {
  json_t* entry = json_object();
  json_object_set_new(entry, "message", WideJson(text));
  ProgressMessage message;
  if (!ParseMessage(text, &message)) {
    json_object_set_new(entry, "sent", json_false());
    json_object_set_new(entry, "error", json_string("unknown message"));
    return entry;
  }
  const UINT id = RegisterWindowMessageW(message.name);
  DWORD_PTR result = 0;
  const bool sent = window != nullptr && id != 0 &&
                    SendMessageTimeoutW(window, id, message.wparam, message.lparam, SMTO_ABORTIFHUNG,
                                        kMessageTimeoutMs, &result) != 0;
  json_object_set_new(entry, "sent", json_boolean(sent));
  return entry;
}

HWND ProgressWindow(const ProcessSwitches& switches) {
  return reinterpret_cast<HWND>(static_cast<intptr_t>(ParseInteger(switches.Value("progress-window"), 0)));
}

// The browser: owns the message-only window for `lifetime_ms`, and
// optionally asks the installer window to close after `close_after_ms`.
int RunBrowser(const ProcessSwitches& switches) {
  const int64_t lifetime_ms = ParseInteger(switches.Value("stand-in-browser-window-ms"), 0);
  const int64_t close_after_ms = ParseInteger(switches.Value("stand-in-browser-close-ms"), -1);
  const HWND progress_window = ProgressWindow(switches);

  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = kBrowserWindowClass;
  RegisterClassW(&window_class);
  const HWND window = CreateWindowExW(0, kBrowserWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) return 1;

  const DWORD start = GetTickCount();
  bool close_sent = close_after_ms < 0;
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= lifetime_ms) break;
    if (!close_sent && elapsed >= close_after_ms) {
      DWORD_PTR result = 0;
      SendMessageTimeoutW(progress_window, RegisterWindowMessageW(L"korvex.lite.close_window"), 0, 0,
                          SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result);
      close_sent = true;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  DestroyWindow(window);
  return 0;
}

// Starts this program again as the browser, without waiting for it.
bool StartBrowser(const ProcessSwitches& switches) {
  ProcessSwitches browser;
  browser.SetProgram(OwnPath());
  browser.Set("stand-in-browser-window-ms", switches.Value("stand-in-browser-ms"));
  if (switches.Has("stand-in-browser-close-ms")) {
    browser.Set("stand-in-browser-close-ms", switches.Value("stand-in-browser-close-ms"));
  }
  browser.Set("progress-window", switches.Value("progress-window"));
  std::wstring line = browser.ToCommandLine();
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  // The window must exist before the setup ends: the installer looks for it
  // right after the setup's exit.
  for (int i = 0; i < 200; ++i) {
    if (FindWindowExW(HWND_MESSAGE, nullptr, kBrowserWindowClass, nullptr) != nullptr) break;
    if (WaitForSingleObject(process.hProcess, 25) == WAIT_OBJECT_0) break;
  }
  CloseHandle(process.hProcess);
  return true;
}

std::wstring EnvironmentValue(const wchar_t* name) {
  wchar_t buffer[1024];
  const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
  return (length > 0 && length < 1024) ? std::wstring(buffer, length) : std::wstring();
}

std::wstring RecordPath(const ProcessSwitches& switches) {
  if (switches.Has("stand-in-record")) return switches.Value("stand-in-record");
  const std::wstring path = EnvironmentValue(L"LITE_STAND_IN_RECORD");
  return path.empty() ? OwnPath() + L".record.json" : path;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const ProcessSwitches switches = ParseOwnCommandLine();
  if (switches.Has("stand-in-browser-window-ms")) return RunBrowser(switches);

  json_t* record = json_object();
  json_object_set_new(record, "command_line", WideJson(GetCommandLineW()));
  json_object_set_new(record, "program", WideJson(OwnPath()));
  {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(needed, L'\0');
    const DWORD length = needed == 0 ? 0 : GetCurrentDirectoryW(needed, &folder[0]);
    folder.resize(length < needed ? length : 0);
    json_object_set_new(record, "current_folder", WideJson(folder));
  }
  json_t* switch_table = json_object();
  for (const auto& entry : switches.switches()) {
    json_object_set_new(switch_table, entry.first.c_str(), WideJson(entry.second));
  }
  json_object_set_new(record, "switches", switch_table);

  json_t* files = json_object();
  for (const char* name : kHandedFiles) {
    if (!switches.Has(name)) continue;
    const std::wstring path = switches.Value(name);
    json_t* file = json_object();
    json_object_set_new(file, "path", WideJson(path));
    const bool exists = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    json_object_set_new(file, "exists", json_boolean(exists));
    if (exists) json_object_set_new(file, "content_hex", json_string(Hex(LoadFileBytes(path)).c_str()));
    json_object_set_new(files, name, file);
  }
  json_object_set_new(record, "files", files);

  std::wstring messages = switches.Value("stand-in-messages");
  if (switches.Has("stand-in-progress")) messages = L"install:5,install:6,import:0:1,import:50:2,import:100:3";
  json_t* sent = json_array();
  const HWND window = ProgressWindow(switches);
  size_t start = 0;
  while (!messages.empty() && start <= messages.size()) {
    const size_t comma = messages.find(L',', start);
    const std::wstring item =
        messages.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
    json_array_append_new(sent, SendProgressMessage(window, item));
    if (comma == std::wstring::npos) break;
    start = comma + 1;
  }
  json_object_set_new(record, "messages", sent);

  if (switches.Has("stand-in-browser-ms")) {
    json_object_set_new(record, "browser_started", json_boolean(StartBrowser(switches)));
  }

  const std::wstring copy_path = EnvironmentValue(L"LITE_STAND_IN_COPY");
  if (!copy_path.empty()) {
    json_object_set_new(record, "program_copied", json_boolean(CopyFileW(OwnPath().c_str(), copy_path.c_str(), FALSE)));
  }

  char* text = json_dumps(record, JSON_INDENT(2) | JSON_SORT_KEYS);
  if (text != nullptr) {
    SaveBytesToFile(RecordPath(switches), std::string(text));
    free(text);
  }
  json_decref(record);

  const int64_t sleep_ms = ParseInteger(switches.Value("stand-in-sleep-ms"), 0);
  if (sleep_ms > 0) Sleep(static_cast<DWORD>(sleep_ms));
  return static_cast<int>(static_cast<uint32_t>(ParseInteger(switches.Value("stand-in-exit-code"), 0)));
}
