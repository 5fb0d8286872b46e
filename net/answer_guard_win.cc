#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <psapi.h>

#include "net/answer_guard.h"

#include "base/system_library.h"

namespace lite_installer {

namespace {

// Handle values searched for the request's socket. Sockets are handles, and
// a process's handles are small multiples of four.
constexpr uintptr_t kFirstHandle = 4;
constexpr uintptr_t kHandleEnd = 0x10000;
constexpr uintptr_t kHandleStep = 4;
// Sockets held by guards at once.
constexpr int kHeldSockets = 16;

struct SocketApi {
  decltype(::getpeername)* getpeername;
  decltype(::shutdown)* shutdown;
  decltype(::GetProcessMemoryInfo)* GetProcessMemoryInfo;
};

// Loaded once, from System32, and kept (like wininet.dll): published with an
// interlocked exchange, so a race only loads twice.
const SocketApi* LoadSocketApi() {
  static SocketApi* g_api = nullptr;
  SocketApi* loaded = static_cast<SocketApi*>(InterlockedCompareExchangePointer(
      reinterpret_cast<void* volatile*>(&g_api), nullptr, nullptr));
  if (loaded != nullptr) return loaded;
  HMODULE winsock = LoadSystemLibrary(L"ws2_32.dll");
  HMODULE process_status = LoadSystemLibrary(L"psapi.dll");
  SocketApi api = {
      LookupExport<decltype(::getpeername)>(winsock, "getpeername"),
      LookupExport<decltype(::shutdown)>(winsock, "shutdown"),
      LookupExport<decltype(::GetProcessMemoryInfo)>(process_status, "GetProcessMemoryInfo")};
  SocketApi* table = new SocketApi(api);
  SocketApi* winner = static_cast<SocketApi*>(InterlockedCompareExchangePointer(
      reinterpret_cast<void* volatile*>(&g_api), table, nullptr));
  if (winner == nullptr) return table;
  delete table;
  return winner;
}

// The sockets held by guards, and the spin lock over them (held for a few
// comparisons only).
volatile uintptr_t g_held[kHeldSockets] = {};
volatile LONG g_held_lock = 0;

class HeldLock {
 public:
  HeldLock() {
    while (InterlockedExchange(&g_held_lock, 1) != 0) Sleep(0);
  }
  ~HeldLock() { InterlockedExchange(&g_held_lock, 0); }
};

bool IsHeld(uintptr_t socket) {
  for (uintptr_t held : g_held) {
    if (held == socket) return true;
  }
  return false;
}

}  // namespace

size_t ProcessMemoryBytes() {
  const SocketApi* api = LoadSocketApi();
  if (api->GetProcessMemoryInfo == nullptr) return 0;
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  if (!api->GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
  return counters.WorkingSetSize;
}

bool AnswerConnection::Find(uint16_t port) {
  Forget();
  const SocketApi* api = LoadSocketApi();
  if (api->getpeername == nullptr) return false;
  HeldLock lock;
  int free_slot = -1;
  for (int i = 0; i < kHeldSockets; ++i) {
    if (g_held[i] == 0) free_slot = i;
  }
  if (free_slot < 0) return false;
  for (uintptr_t handle = kFirstHandle; handle < kHandleEnd; handle += kHandleStep) {
    sockaddr_storage peer = {};
    int length = sizeof(peer);
    if (api->getpeername(static_cast<SOCKET>(handle), reinterpret_cast<sockaddr*>(&peer),
                         &length) != 0) {
      continue;
    }
    uint16_t peer_port = 0;
    if (peer.ss_family == AF_INET) {
      peer_port = reinterpret_cast<const sockaddr_in*>(&peer)->sin_port;
    } else if (peer.ss_family == AF_INET6) {
      peer_port = reinterpret_cast<const sockaddr_in6*>(&peer)->sin6_port;
    }
    // The port in network byte order.
    if (peer_port != static_cast<uint16_t>((port >> 8) | (port << 8)) || IsHeld(handle)) continue;
    g_held[free_slot] = handle;
    socket_ = handle;
    return true;
  }
  return false;
}

bool AnswerConnection::ShutDown() {
  const uintptr_t socket = socket_;
  if (socket == 0) return false;
  return LoadSocketApi()->shutdown(static_cast<SOCKET>(socket), SD_BOTH) == 0;
}

void AnswerConnection::Forget() {
  const uintptr_t socket = socket_;
  if (socket == 0) return;
  HeldLock lock;
  for (volatile uintptr_t& held : g_held) {
    if (held == socket) held = 0;
  }
  socket_ = 0;
}

}  // namespace lite_installer
