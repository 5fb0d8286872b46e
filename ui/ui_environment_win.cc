#include "ui/ui_environment.h"

#include <commctrl.h>
#include <objbase.h>

#include "ui/window_layer.h"

namespace {

struct UiEnvironmentState {
  HINSTANCE module_instance = nullptr;
  bool initialized = false;
};

UiEnvironmentState* g_environment = nullptr;
volatile LONG g_owner_claimed = 0;

UiEnvironmentState& Environment() {
  if (g_environment == nullptr) g_environment = new UiEnvironmentState();
  return *g_environment;
}

}  // namespace

bool UiEnvironment::ClaimOwnership() {
  return InterlockedCompareExchange(&g_owner_claimed, 1, 0) == 0;
}

void UiEnvironment::ShutdownIfOwner(bool owner) {
  if (!owner) return;
  if (g_environment != nullptr) {
    UiEnvironmentState& state = *g_environment;
    if (state.initialized) {
      lite_installer::WindowLayer::Shutdown();
      CoUninitialize();
      state.initialized = false;
    }
    delete g_environment;
    g_environment = nullptr;
  }
  InterlockedExchange(&g_owner_claimed, 0);
}

void UiEnvironment::Startup() {
  UiEnvironmentState& state = Environment();
  if (state.initialized) return;
  state.module_instance = GetModuleHandleW(nullptr);
  CoInitialize(nullptr);
  DefWindowProcW(nullptr, 0, 0, 0);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LINK_CLASS | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  lite_installer::WindowLayer::Initialize();
  state.initialized = true;
}

HINSTANCE UiEnvironment::ModuleInstance() {
  return g_environment != nullptr ? g_environment->module_instance : GetModuleHandleW(nullptr);
}

bool UiEnvironment::IsInitialized() {
  return g_environment != nullptr && g_environment->initialized;
}
