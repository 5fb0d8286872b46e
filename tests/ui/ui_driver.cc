// Drives another program's windows from outside, for the UI tests:
//   ui_driver.exe find PROCESS CLASS TIMEOUT_MS  top-level window of a process
//                                             (a pid or "name:IMAGE.exe")
//                                             with class CLASS ("*": any);
//                                             prints "hwnd=N"
//   ui_driver.exe dump HWND                   the window and each child (in
//                                             z-order, the Tab order), one
//                                             JSON object per line
//   ui_driver.exe click HWND ID               posts BM_CLICK to child ID; prints "tick=T"
//   ui_driver.exe mouse HWND ID               posts a left click to child ID
//   ui_driver.exe key HWND VK                 posts the key to the focused child
//   ui_driver.exe send HWND MSG WPARAM LPARAM sends a message; prints "result=N"
//   ui_driver.exe gone HWND TIMEOUT_MS        waits until the window is gone
//   ui_driver.exe register NAME               prints "message=N", the id of a
//                                             registered window message
//   ui_driver.exe run TIMEOUT_MS EXE [ARGS...] starts EXE; prints "hwnd=N visible_ms=T" once
//       a dialog of it shows (looked for every 2 ms), "exit_tick=T exit_code=N" when it ends
//   ui_driver.exe ping HWND COUNT PERIOD_MS   sends WM_NULL COUNT times, PERIOD_MS apart;
//       prints "max_ms=T failed=N" (failed: no answer within 5 s)
// Exit code 0 on success, 1 when the window is not found or not gone.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "base/switches.h"
#include "base/unique_handle.h"
#include "base/text.h"
#include "ui/child_controls.h"

namespace {

struct FindRequest {
  DWORD pid;           // 0: match by image name
  std::wstring image;  // lower-case file name of the process image
  std::wstring window_class;
  HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM lparam) {
  auto* request = reinterpret_cast<FindRequest*>(lparam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (!IsWindowVisible(window)) return TRUE;
  if (request->pid != 0 && pid != request->pid) return TRUE;
  if (request->pid == 0) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) return TRUE;
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const BOOL named = QueryFullProcessImageNameW(process, 0, path, &size);
    CloseHandle(process);
    if (!named) return TRUE;
    std::wstring name = path;
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name = name.substr(slash + 1);
    for (wchar_t& c : name) c = static_cast<wchar_t>(towlower(c));
    if (name != request->image) return TRUE;
  }
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  if (request->window_class != L"*" && request->window_class != name) return TRUE;
  request->found = window;
  return FALSE;
}

long long HandleNumber(HWND window) { return static_cast<long long>(reinterpret_cast<INT_PTR>(window)); }

std::string Json(const std::wstring& text) {
  std::string out = "\"";
  for (unsigned char c : lite_installer::WideToUtf8(text)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  // WM_GETTEXT works across processes (the system marshals it).
  SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}

// The focused window of `window`'s thread, or null.
HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void PrintWindow(HWND window, HWND parent) {
  RECT rect;
  GetWindowRect(window, &rect);
  if (parent != nullptr) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  RECT client;
  GetClientRect(window, &client);
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const LONG ex_style = GetWindowLongW(window, GWL_EXSTYLE);
  LRESULT check = -1;
  if (lstrcmpiW(name, L"Button") == 0) check = SendMessageW(window, BM_GETCHECK, 0, 0);
  std::printf(
      "{\"hwnd\": %lld, \"id\": %d, \"class\": %s, \"left\": %ld, \"top\": %ld, \"right\": %ld, "
      "\"bottom\": %ld, \"client_width\": %ld, \"client_height\": %ld, \"visible\": %d, "
      "\"enabled\": %d, \"style\": %lu, \"ex_style\": %lu, \"check\": %ld, \"focused\": %d, \"text\": %s}\n",
      HandleNumber(window),
      parent != nullptr ? lite_installer::ControlId(window) : 0,
      Json(name).c_str(), rect.left, rect.top, rect.right, rect.bottom, client.right,
      client.bottom, IsWindowVisible(window) ? 1 : 0, IsWindowEnabled(window) ? 1 : 0,
      static_cast<unsigned long>(style), static_cast<unsigned long>(ex_style),
      static_cast<long>(check), FocusOf(window) == window ? 1 : 0, Json(TextOf(window)).c_str());
}

// Window handles travel as signed decimal numbers (HandleNumber): handles
// are sign-extended 32-bit values in 64-bit processes.
HWND HandleArg(const wchar_t* text) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(_wcstoi64(text, nullptr, 10)));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"find" && argc >= 5) {
    // PROCESS is a pid or "name:<image file name>".
    std::wstring process = argv[2];
    FindRequest request = {0, L"", argv[3], nullptr};
    if (process.compare(0, 5, L"name:") == 0) {
      request.image = process.substr(5);
      for (wchar_t& c : request.image) c = static_cast<wchar_t>(towlower(c));
    } else {
      request.pid = static_cast<DWORD>(wcstoul(argv[2], nullptr, 10));
    }
    const DWORD deadline = GetTickCount() + wcstoul(argv[4], nullptr, 10);
    do {
      request.found = nullptr;
      EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&request));
      if (request.found != nullptr) {
        std::printf("hwnd=%lld\n", HandleNumber(request.found));
        return 0;
      }
      Sleep(50);
    } while (static_cast<LONG>(deadline - GetTickCount()) > 0);
    return 1;
  }
  if (command == L"dump" && argc >= 3) {
    HWND window = HandleArg(argv[2]);
    if (!IsWindow(window)) return 1;
    PrintWindow(window, nullptr);
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      PrintWindow(child, window);
    }
    return 0;
  }
  if (command == L"click" && argc >= 4) {
    HWND child = GetDlgItem(HandleArg(argv[2]), _wtoi(argv[3]));
    if (child == nullptr) return 1;
    if (!PostMessageW(child, BM_CLICK, 0, 0)) return 1;
    return std::printf("tick=%lu\n", GetTickCount()) > 0 ? 0 : 1;
  }
  if (command == L"mouse" && argc >= 4) {
    HWND window = HandleArg(argv[2]);
    HWND child = nullptr;
    // The first child with the id (link pieces share theirs).
    for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      if (lite_installer::ControlId(c) == _wtoi(argv[3])) {
        child = c;
        break;
      }
    }
    if (child == nullptr) return 1;
    PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    return 0;
  }
  if (command == L"key" && argc >= 4) {
    HWND window = HandleArg(argv[2]);
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
        info.hwndFocus != nullptr) {
      target = info.hwndFocus;
    }
    const WPARAM key = static_cast<WPARAM>(_wtoi(argv[3]));
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    return 0;
  }
  if (command == L"send" && argc >= 6) {
    const LRESULT result = SendMessageW(HandleArg(argv[2]), wcstoul(argv[3], nullptr, 10),
                                        static_cast<WPARAM>(_wcstoui64(argv[4], nullptr, 10)),
                                        static_cast<LPARAM>(_wcstoi64(argv[5], nullptr, 10)));
    std::printf("result=%lld\n", static_cast<long long>(result));
    return 0;
  }
  if (command == L"gone" && argc >= 4) {
    HWND window = HandleArg(argv[2]);
    const DWORD deadline = GetTickCount() + wcstoul(argv[3], nullptr, 10);
    while (IsWindow(window)) {
      if (static_cast<LONG>(deadline - GetTickCount()) <= 0) return 1;
      Sleep(50);
    }
    return 0;
  }
  if (command == L"run" && argc >= 4) {
    std::wstring line;
    for (int i = 3; i < argc; ++i) line += (i > 3 ? L" " : L"") + ProcessSwitches::QuoteArgument(argv[i]);
    const DWORD start = GetTickCount();
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      return 1;
    }
    const lite_installer::ScopedHandle owned_process(process.hProcess), owned_thread(process.hThread);
    FindRequest request = {process.dwProcessId, L"", L"#32770", nullptr};
    while (request.found == nullptr && GetTickCount() - start < wcstoul(argv[2], nullptr, 10) &&
           WaitForSingleObject(process.hProcess, 2) == WAIT_TIMEOUT) {
      EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&request));
    }
    const DWORD visible_ms = GetTickCount() - start;
    if (request.found != nullptr) std::printf("hwnd=%lld visible_ms=%lu\n", HandleNumber(request.found), visible_ms);
    std::fflush(stdout);
    constexpr DWORD kLongestRunMs = 600000;
    WaitForSingleObject(process.hProcess, kLongestRunMs);
    DWORD exit_code = 0;
    GetExitCodeProcess(process.hProcess, &exit_code);
    std::printf("exit_tick=%lu exit_code=%ld\n", GetTickCount(), static_cast<long>(exit_code));
    return 0;
  }
  if (command == L"ping" && argc >= 5) {
    constexpr UINT kAnswerLimitMs = 5000;
    DWORD longest = 0;
    int failed = 0;
    for (int i = 0; i < _wtoi(argv[3]); Sleep(wcstoul(argv[4], nullptr, 10)), ++i) {
      const DWORD sent = GetTickCount();
      DWORD_PTR answer = 0;
      if (!SendMessageTimeoutW(HandleArg(argv[2]), WM_NULL, 0, 0, SMTO_NORMAL, kAnswerLimitMs, &answer)) ++failed;
      if (GetTickCount() - sent > longest) longest = GetTickCount() - sent;
    }
    std::printf("max_ms=%lu failed=%d\n", longest, failed);
    return 0;
  }
  if (command == L"register" && argc >= 3) {
    std::printf("message=%u\n", RegisterWindowMessageW(argv[2]));
    return 0;
  }
  std::fprintf(stderr, "usage: ui_driver find|dump|click|key|send|gone ...\n");
  return 2;
}
