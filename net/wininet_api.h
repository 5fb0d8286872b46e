// The WinINet functions the installer uses, looked up at run time in
// wininet.dll loaded from System32 (never from the program's folder).
// Windows build only.
#ifndef NET_WININET_API_H_
#define NET_WININET_API_H_

#include <windows.h>
#include <wininet.h>

namespace lite_installer {

struct WinInetApi {
  decltype(::InternetOpenW)* InternetOpenW;
  decltype(::InternetConnectW)* InternetConnectW;
  decltype(::HttpOpenRequestW)* HttpOpenRequestW;
  decltype(::HttpSendRequestW)* HttpSendRequestW;
  decltype(::HttpQueryInfoW)* HttpQueryInfoW;
  decltype(::InternetReadFileExW)* InternetReadFileExW;
  decltype(::InternetCloseHandle)* InternetCloseHandle;
  decltype(::InternetSetStatusCallbackW)* InternetSetStatusCallbackW;
  decltype(::InternetSetOptionW)* InternetSetOptionW;
  decltype(::InternetCrackUrlW)* InternetCrackUrlW;
  decltype(::InternetCombineUrlW)* InternetCombineUrlW;
  decltype(::InternetCanonicalizeUrlW)* InternetCanonicalizeUrlW;
};

// The table, loaded on the first call and kept for the rest of the process:
// a request abandoned by a stop may still be finishing on WinINet's own
// threads, so the DLL is never unloaded. Safe to call from any thread.
// Null when the DLL or one of the functions is missing (the last error then
// says why); callers fail their request with an error text.
const WinInetApi* LoadWinInet();

struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  // A handle exists only when the table was loaded.
  static void Close(Handle h) { LoadWinInet()->InternetCloseHandle(h); }
};

}  // namespace lite_installer

#endif  // NET_WININET_API_H_
