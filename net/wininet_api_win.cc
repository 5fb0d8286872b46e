#include "net/wininet_api.h"

#include "base/system_library.h"

namespace lite_installer {

namespace {

// Published once by LoadWinInet; zero-initialised, so no guard is needed.
WinInetApi* g_wininet = nullptr;

template <typename Function>
bool Find(HMODULE module, const char* name, Function** target) {
  *target = reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return *target != nullptr;
}

}  // namespace

const WinInetApi* LoadWinInet() {
  WinInetApi* loaded = static_cast<WinInetApi*>(
      InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&g_wininet), nullptr,
                                        nullptr));
  if (loaded != nullptr) return loaded;

  // Each loading thread takes its own reference; the module is never freed.
  HMODULE module = LoadSystemLibrary(L"wininet.dll");
  if (module == nullptr) return nullptr;
  WinInetApi api = {};
  const bool complete =
      Find(module, "InternetOpenW", &api.InternetOpenW) &&
      Find(module, "InternetConnectW", &api.InternetConnectW) &&
      Find(module, "HttpOpenRequestW", &api.HttpOpenRequestW) &&
      Find(module, "HttpSendRequestW", &api.HttpSendRequestW) &&
      Find(module, "HttpQueryInfoW", &api.HttpQueryInfoW) &&
      Find(module, "InternetReadFileExW", &api.InternetReadFileExW) &&
      Find(module, "InternetCloseHandle", &api.InternetCloseHandle) &&
      Find(module, "InternetSetStatusCallbackW", &api.InternetSetStatusCallbackW) &&
      Find(module, "InternetSetOptionW", &api.InternetSetOptionW) &&
      Find(module, "InternetCrackUrlW", &api.InternetCrackUrlW) &&
      Find(module, "InternetCombineUrlW", &api.InternetCombineUrlW) &&
      Find(module, "InternetCanonicalizeUrlW", &api.InternetCanonicalizeUrlW);
  if (!complete) {
    const DWORD error = GetLastError();
    FreeLibrary(module);
    SetLastError(error);
    return nullptr;
  }
  WinInetApi* table = new WinInetApi(api);
  WinInetApi* winner = static_cast<WinInetApi*>(InterlockedCompareExchangePointer(
      reinterpret_cast<void* volatile*>(&g_wininet), table, nullptr));
  if (winner == nullptr) return table;
  // Another thread published its table first; this thread's reference to
  // the DLL stays (it is never freed), only the copy of the table goes.
  delete table;
  return winner;
}

}  // namespace lite_installer
