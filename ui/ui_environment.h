// The process-wide UI state: COM and the common controls.
// The first window starts it; the scope that claimed ownership (wWinMain)
// shuts it down. Windows build only.
#ifndef UI_UI_ENVIRONMENT_H_
#define UI_UI_ENVIRONMENT_H_

#include <windows.h>

class UiEnvironment {
 public:
  // Claims the owner marker when nobody holds it; true when this call did.
  static bool ClaimOwnership();
  // Shuts the environment down and clears the marker, if `owner` is true.
  static void ShutdownIfOwner(bool owner);

  // Starts COM and the link and progress controls once per process; later
  // calls do nothing. Called at the start of each window's initialisation.
  static void Startup();

  static HINSTANCE ModuleInstance();
  static bool IsInitialized();
};

#endif  // UI_UI_ENVIRONMENT_H_
