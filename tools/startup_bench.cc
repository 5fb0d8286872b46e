// The start-up benchmark's watcher (scripts/bench_startup.sh): starts two
// programs in turn, ROUNDS times each, interleaved (the order alternates each
// round), and times each start from just before CreateProcess to the first
// look that finds a visible dialog of that process, looking every
// millisecond. The window is then closed (the system close command) and the
// process awaited before the next start. Never shipped.
//   startup_bench.exe ROUNDS INSTALLER REFERENCE
// prints one line per start, "installer_ms=T" or "reference_ms=T" (T with
// a tenth of a millisecond), or "..._ms=timeout"; exit code 1 when a window
// did not show.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "base/switches.h"
#include "base/unique_handle.h"

namespace {

constexpr DWORD kShowLimitMs = 20000;
constexpr DWORD kExitLimitMs = 20000;
// Lets the ended process's leftovers (its Wine helpers) settle first.
constexpr DWORD kPauseBetweenStartsMs = 300;

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<Search*>(lparam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->pid || !IsWindowVisible(window)) return TRUE;
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  if (std::wcscmp(class_name, L"#32770") != 0) return TRUE;
  search->found = window;
  return FALSE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Starts `program`, prints its time to a visible dialog under `label`,
// closes it and waits for its end. False when no dialog showed.
bool TimeOneStart(const wchar_t* label, const wchar_t* program) {
  std::wstring line = ProcessSwitches::QuoteArgument(program);
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  STARTUPINFOW startup = {sizeof(startup)};
  PROCESS_INFORMATION process = {};
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::printf("%ls_ms=not_started\n", label);
    return false;
  }
  const lite_installer::ScopedHandle owned_process(process.hProcess), owned_thread(process.hThread);
  Search search = {process.dwProcessId, nullptr};
  for (;;) {
    EnumWindows(&FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
    QueryPerformanceCounter(&now);
    if (search.found != nullptr || Milliseconds(start, now, frequency) > kShowLimitMs) break;
    if (WaitForSingleObject(process.hProcess, 1) != WAIT_TIMEOUT) break;
  }
  if (search.found != nullptr) {
    std::printf("%ls_ms=%.1f\n", label, Milliseconds(start, now, frequency));
    PostMessageW(search.found, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else {
    std::printf("%ls_ms=timeout\n", label);
  }
  std::fflush(stdout);
  if (WaitForSingleObject(process.hProcess, kExitLimitMs) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  Sleep(kPauseBetweenStartsMs);
  return search.found != nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: startup_bench.exe ROUNDS INSTALLER REFERENCE\n");
    return 2;
  }
  const int rounds = _wtoi(argv[1]);
  bool all_shown = true;
  for (int round = 0; round < rounds; ++round) {
    const bool installer_first = round % 2 == 0;
    all_shown = TimeOneStart(installer_first ? L"installer" : L"reference", argv[installer_first ? 2 : 3]) &&
                all_shown;
    all_shown = TimeOneStart(installer_first ? L"reference" : L"installer", argv[installer_first ? 3 : 2]) &&
                all_shown;
  }
  return all_shown ? 0 : 1;
}
