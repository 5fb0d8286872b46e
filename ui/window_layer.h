// Per-process bookkeeping of the window layer: the thread that owns the
// windows. Windows build only.
#ifndef UI_WINDOW_LAYER_H_
#define UI_WINDOW_LAYER_H_

#include <windows.h>

namespace lite_installer {

class WindowLayer {
 public:
  // Records the calling thread as the window thread.
  static void Initialize();
  static void Shutdown();
  // The window thread's id, or 0 before Initialize.
  static DWORD WindowThreadId();
};

}  // namespace lite_installer

#endif  // UI_WINDOW_LAYER_H_
