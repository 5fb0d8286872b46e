// A second process for the log tests:
//   log_peer.exe write LOGPATH COUNT TAG  writes COUNT records through the log
//   log_peer.exe hold MILLISECONDS        holds the log mutex that long; sets
//                                         the event "lite_log_peer_holding"
//                                         once it holds it
#include <windows.h>

#include <cwchar>
#include <string>

#include "base/log.h"

int wmain(int argc, wchar_t** argv) {
  if (argc >= 5 && std::wstring(argv[1]) == L"write") {
    lite_installer::SetLogPath(argv[2]);
    const int count = _wtoi(argv[3]);
    for (int i = 0; i < count; ++i) {
      lite_installer::LogFormat(lite_installer::kInfo, L"LogPeer::Write", __LINE__,
                                L"%ls record %d of %d", argv[4], i, count);
    }
    return 0;
  }
  if (argc >= 3 && std::wstring(argv[1]) == L"hold") {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"3E40F524-16FA-440A-B919-B44AB355B174");
    if (mutex == nullptr || WaitForSingleObject(mutex, INFINITE) != WAIT_OBJECT_0) return 2;
    HANDLE holding = CreateEventW(nullptr, TRUE, FALSE, L"lite_log_peer_holding");
    SetEvent(holding);
    Sleep(static_cast<DWORD>(_wtoi(argv[2])));
    ReleaseMutex(mutex);
    CloseHandle(holding);
    CloseHandle(mutex);
    return 0;
  }
  return 1;
}
