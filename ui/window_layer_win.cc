#include "ui/window_layer.h"

namespace lite_installer {

namespace {
volatile LONG g_window_thread_id = 0;
}  // namespace

void WindowLayer::Initialize() {
  InterlockedExchange(&g_window_thread_id, static_cast<LONG>(GetCurrentThreadId()));
}

void WindowLayer::Shutdown() {
  InterlockedExchange(&g_window_thread_id, 0);
}

DWORD WindowLayer::WindowThreadId() {
  return static_cast<DWORD>(g_window_thread_id);
}

}  // namespace lite_installer
