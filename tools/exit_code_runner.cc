// Runs a Windows program, waits for it and prints its full 32-bit exit code,
// which the Linux side of Wine would otherwise cut to 8 bits:
//   exit_code_runner.exe PROGRAM [ARGS...]   prints "exit_code=<decimal>"
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "base/switches.h"

int wmain() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count < 2) {
    std::fprintf(stderr, "usage: exit_code_runner.exe PROGRAM [ARGS...]\n");
    return 2;
  }
  std::wstring line;
  for (int i = 1; i < count; ++i) {
    if (i > 1) line += L' ';
    line += ProcessSwitches::QuoteArgument(arguments[i]);
    // An empty argument must survive as "".
    if (arguments[i][0] == L'\0') line += L"\"\"";
  }
  LocalFree(arguments);
  STARTUPINFOW startup = {sizeof(startup)};
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "exit_code_runner: cannot start the program (error %lu)\n",
                 GetLastError());
    return 2;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exit_code = 0;
  GetExitCodeProcess(process.hProcess, &exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::printf("exit_code=%ld\n", static_cast<long>(exit_code));
  std::fflush(stdout);
  return static_cast<int>(exit_code);
}
