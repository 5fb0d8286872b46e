// The process-wide UI state: COM, the common controls and the image decoder.
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

  // Starts COM, the link and progress controls and the image decoder once per
  // process; later calls do nothing. Called at the start of each window's
  // initialisation, before it loads images.
  static void Startup();

  static HINSTANCE ModuleInstance();
  static bool IsInitialized();
};

#endif  // UI_UI_ENVIRONMENT_H_
